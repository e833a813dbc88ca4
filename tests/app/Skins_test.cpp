#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../base/TempFolder.h"
#include "app/Skins_Unt.h"
#include "base/Streams.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

using Paths = std::vector<std::string>;

TEST(SkinsMenu, NoSkinFileGivesNoItem) {
  test::TempFolder program;
  WriteFileBytes(program.File("kvconfig.exe"), "x");
  WriteFileBytes(program.File("notes.asz.txt"), "x");
  EXPECT_TRUE(FindSkinFiles(program.Path()).empty());
}

TEST(SkinsMenu, FindsSkinsInSubfoldersSortedIgnoringCase) {
  test::TempFolder program;
  const std::string skins = program.Folder("Skins");
  const std::string deep = program.Folder("Skins" + std::string(1, PathDelim()) + "more");
  WriteFileBytes(program.File("green.asz"), "x");
  WriteFileBytes(skins + "Blue.asz", "x");
  WriteFileBytes(deep + "Dark.ASZ", "x");
  WriteFileBytes(skins + "readme.txt", "x");
  const Paths files = FindSkinFiles(program.Path());
  EXPECT_EQ((Paths{program.File("green.asz"), skins + "Blue.asz", deep + "Dark.ASZ"}), files);
  EXPECT_EQ("Blue", SkinMenuCaption(files[1]));
  EXPECT_EQ("Dark", SkinMenuCaption(files[2]));
}

TEST(SkinsMenu, ChoosingAnItemGivesItsFolderAndName) {
  const std::string d(1, PathDelim());
  const std::string program = d + "kv" + d;
  const Paths files = {program + "Skins" + d + "Blue.asz", program + "Skins" + d + "Dark.ASZ"};
  const auto blue = SkinForMenuCaption(files, "&Blue");
  ASSERT_TRUE(blue);
  EXPECT_EQ(program + "Skins" + d, blue->SkinDirectory);
  EXPECT_EQ("Blue", blue->SkinName);
  const auto dark = SkinForMenuCaption(files, "Dark");
  ASSERT_TRUE(dark);
  EXPECT_EQ("Dark", dark->SkinName);
  EXPECT_FALSE(SkinForMenuCaption(files, "Green"));
  EXPECT_FALSE(SkinForMenuCaption({}, "Blue"));
}

TEST(SkinsMenu, SkinsAreMatchedByExactFileName) {
  const std::string d(1, PathDelim());
  // A name that also ends another file's name, and a folder holding the name.
  const Paths files = {d + "kv" + d + "DarkBlue.asz", d + "kv" + d + "Blue.asz" + d + "Blue.asz"};
  const auto blue = SkinForMenuCaption(files, "Blue");
  ASSERT_TRUE(blue);
  EXPECT_EQ(d + "kv" + d + "Blue.asz" + d, blue->SkinDirectory);
  const auto darkBlue = SkinForMenuCaption(files, "DarkBlue");
  ASSERT_TRUE(darkBlue);
  EXPECT_EQ(d + "kv" + d, darkBlue->SkinDirectory);
  EXPECT_FALSE(SkinForMenuCaption(files, "lue"));
}

}  // namespace
}  // namespace kv
