// The packer's output, read back by the skin reader, holds the skin folder's
// files unchanged: Options.dat first, then the images in name order.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "skin/model/acSkinPack.h"

namespace kv {
namespace {

TacBytes ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return TacBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(skinpack, PacksTheDefaultSkinFolderEntryForEntry) {
  std::unique_ptr<TacSkinConvertor> pack;
  LoadPackedSkinFile(KV_DEFAULT_SKIN_FILE, pack, true);
  ASSERT_TRUE(pack);
  ASSERT_TRUE(pack->OptionsData);
  const std::string dir = std::string(KV_DEFAULT_SKIN_DIR) + "/";
  EXPECT_EQ(*pack->OptionsData, ReadFile(dir + "Options.dat"));
  ASSERT_EQ(pack->ImageEntries.size(), 1u);
  EXPECT_EQ(pack->LastEntryIndex, 1);
  const TacImageItem& master = pack->ImageEntries[0];
  EXPECT_EQ(master.EntryName, "MASTER.BMP");
  EXPECT_TRUE(master.IsBitmap);
  EXPECT_EQ(master.EntryData, ReadFile(dir + "MASTER.BMP"));
}

TEST(skinpack, WritesTheOptionsEntryFirstSoThatItsHeaderStartsTheFile) {
  const TacBytes file = ReadFile(KV_DEFAULT_SKIN_FILE);
  ASSERT_GE(file.size(), 23u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "ASzf");
  EXPECT_EQ(file[4], 2);   // two entries
  EXPECT_EQ(file[8], 11);  // the name length of "Options.dat"
  EXPECT_EQ(std::string(file.begin() + 12, file.begin() + 23), "Options.dat");
}

}  // namespace
}  // namespace kv
