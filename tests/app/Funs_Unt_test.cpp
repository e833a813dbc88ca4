#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../base/TempFolder.h"
#include "app/Funs_Unt.h"
#include "base/Streams.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

using Paths = std::vector<std::string>;

// A folder as a program's folder may hold it: extensions in either case, a
// file with none, a subfolder whose name has a dot.
class FindFilesRecursiveTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string d(1, PathDelim());
    sub_ = folder_.Folder("v1.asz");
    deep_ = folder_.Folder("v1.asz" + d + "more");
    for (const std::string& file : {folder_.File("b.asz"), folder_.File("README"),
                                    sub_ + "A.ASZ", deep_ + "c.Asz", deep_ + "c.asz.bak"})
      WriteFileBytes(file, "x");
  }
  test::TempFolder folder_;
  std::string sub_, deep_;
};

TEST_F(FindFilesRecursiveTest, TakesTheExtensionInAnyCaseSortedIgnoringCase) {
  EXPECT_EQ((Paths{folder_.File("b.asz"), sub_ + "A.ASZ", deep_ + "c.Asz"}),
            FindFilesRecursive(folder_.Path(), ".asz"));
}

TEST_F(FindFilesRecursiveTest, TakesEveryFileForDotStar) {
  EXPECT_EQ((Paths{folder_.File("b.asz"), folder_.File("README"), sub_ + "A.ASZ",
                   deep_ + "c.Asz", deep_ + "c.asz.bak"}),
            FindFilesRecursive("  " + folder_.Path() + " ", ".*"));
}

TEST_F(FindFilesRecursiveTest, FindsNothingInAFolderThatDoesNotExist) {
  EXPECT_TRUE(FindFilesRecursive(folder_.File("missing"), ".*").empty());
}

}  // namespace
}  // namespace kv
