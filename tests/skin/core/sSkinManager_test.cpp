// Where a skin manager looks for its skin, and the names its skin list offers.
#include "skin/core/sSkinManager.h"

#include <gtest/gtest.h>

#include <set>

#include "skin/core/acUtils.h"
#include "skin/model/sStoredSkins.h"

namespace kv {
namespace {

constexpr const char* kProgram = "C:\\Apps\\kv\\";

struct ResolveCase {
  const char* dir;
  const char* resolved;
};

class ResolveSkinDirectoryTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveSkinDirectoryTest, ResolvesAgainstTheProgramFolder) {
  EXPECT_EQ(ResolveSkinDirectory(GetParam().dir, kProgram), GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(Forms, ResolveSkinDirectoryTest,
                         ::testing::Values(ResolveCase{"..\\Skins", "C:\\Apps\\Skins"},
                                           ResolveCase{".\\Skins", "C:\\Apps\\kv\\Skins"},
                                           ResolveCase{"./Skins", "C:\\Apps\\kv\\Skins"},
                                           ResolveCase{"Skins", "C:\\Apps\\kv\\Skins"},
                                           ResolveCase{"Skins\\Blue", "C:\\Apps\\kv\\Skins\\Blue"},
                                           ResolveCase{"c:\\Skins", "c:\\Skins"},
                                           ResolveCase{"\\\\server\\share", "\\\\server\\share"}));

// A disk holding some files; the location order is checked over each form of
// SkinDirectory against the same disk, relative to the program folder.
struct LocateCase {
  const char* name;
  std::set<std::string> files;
  std::vector<std::string> stored;
  TsSkinSource source;
  const char* path;
  const char* skinName;
};

class LocateSkinTest : public ::testing::TestWithParam<LocateCase> {};

TEST_P(LocateSkinTest, TriesPackedFolderSameNameThenFirstStored) {
  const LocateCase& c = GetParam();
  for (const char* dir : {"..\\kv\\Skins", ".\\Skins", "Skins", "C:\\Apps\\kv\\Skins"}) {
    const TsSkinLocation loc =
        LocateSkin(dir, c.name, kProgram, c.stored,
                   [&](const std::string& f) { return c.files.count(f) != 0; });
    EXPECT_EQ(loc.Source, c.source) << dir;
    EXPECT_EQ(loc.Path, c.path) << dir;
    EXPECT_EQ(loc.SkinName, c.skinName) << dir;
  }
}

const std::string kPacked = "C:\\Apps\\kv\\Skins\\Blue.asz";
const std::string kFolder = "C:\\Apps\\kv\\Skins\\Blue\\Options.dat";

INSTANTIATE_TEST_SUITE_P(
    Order, LocateSkinTest,
    ::testing::Values(
        LocateCase{"Blue", {kPacked, kFolder}, {"Blue"}, TsSkinSource::Packed, kPacked.c_str(), "Blue"},
        LocateCase{"Blue", {kFolder}, {"Blue"}, TsSkinSource::Folder, "C:\\Apps\\kv\\Skins\\Blue\\", "Blue"},
        LocateCase{"Blue", {}, {"Vista", "Blue"}, TsSkinSource::Stored, "", "Blue"},
        LocateCase{"blue", {}, {"Vista", "Blue"}, TsSkinSource::Stored, "", "Vista"},
        LocateCase{"Green", {kPacked}, {}, TsSkinSource::None, "", "Green"},
        LocateCase{"", {}, {"Vista"}, TsSkinSource::Stored, "", "Vista"}));

TEST(LocateSkin, StoredIndexNamesTheSkinUsed) {
  const auto none = [](const std::string&) { return false; };
  EXPECT_EQ(LocateSkin("x", "B", kProgram, {"A", "B"}, none).StoredIndex, 1);
  EXPECT_EQ(LocateSkin("x", "C", kProgram, {"A", "B"}, none).StoredIndex, 0);
}

TEST(SkinListNames, ListsEachKindSortedWithoutDotEntries) {
  const std::vector<TsSkinDirEntry> entries{
      {"zeta.ASZ", false, false}, {"Folder", true, true},  {"Empty", true, false},
      {".hidden.asz", false, false}, {"My.Blue.asz", false, false}, {"readme.txt", false, false},
      {".", true, true}};
  std::string first;
  EXPECT_EQ(SkinListNames({"Vista"}, entries, 0, first), (std::vector<std::string>{"Folder", "Vista"}));
  EXPECT_EQ(first, "Vista");
  EXPECT_EQ(SkinListNames({}, entries, 1, first),
            (std::vector<std::string>{"My.Blue", "zeta"}));
  EXPECT_EQ(first, "zeta");
  EXPECT_EQ(SkinListNames({}, entries, 2, first),
            (std::vector<std::string>{"Folder", "My.Blue", "zeta"}));
  EXPECT_EQ(SkinListNames({}, {}, 2, first), std::vector<std::string>{});
  EXPECT_EQ(first, "");
}

TEST(AddTrailingBackslash, EndsADirectoryTextWithOneBackslash) {
  EXPECT_EQ(AddTrailingBackslash(""), "");
  EXPECT_EQ(AddTrailingBackslash("c:\\Skins\\"), "c:\\Skins\\");
  EXPECT_EQ(AddTrailingBackslash("c:/Skins/"), "c:/Skins\\");
  EXPECT_EQ(AddTrailingBackslash("d"), "d:\\");
  EXPECT_EQ(AddTrailingBackslash("c:\\Skins"), "c:\\Skins\\");
}

struct LookCase {
  TacMsgType type;
  TacMsgButtons buttons;
  std::uint32_t style;
  const char* caption;
};

class MessageBoxLookTest : public ::testing::TestWithParam<LookCase> {};

TEST_P(MessageBoxLookTest, IconButtonsAndDefaultCaption) {
  const TacMessageBoxLook look = MessageBoxLook(GetParam().type, GetParam().buttons, "");
  EXPECT_EQ(look.Style, GetParam().style | 0x50000u) << "always foreground and topmost";
  EXPECT_EQ(look.Caption, GetParam().caption);
}

using namespace msgbtn;
INSTANTIATE_TEST_SUITE_P(
    Table, MessageBoxLookTest,
    ::testing::Values(LookCase{TacMsgType::Warning, OK, 0x30, "Warning"},
                      LookCase{TacMsgType::Error, OK | Cancel, 0x11, "Error"},
                      LookCase{TacMsgType::Information, Abort | Retry | Ignore, 0x42, "Information"},
                      LookCase{TacMsgType::Confirmation, Yes | No | Cancel, 0x23, "Confirm"},
                      LookCase{TacMsgType::Custom, Retry | Cancel, 0x5, ""},
                      LookCase{TacMsgType::Warning, OK | Help, 0x4030, "Warning"}));

TEST(StoredSkins, IndexOfIsExactAndDefaultsHold) {
  TsStoredSkins skins;
  skins.Add().Name = "Vista";
  skins.Add().Name = "Blue";
  EXPECT_EQ(skins.IndexOf("Blue"), 1);
  EXPECT_EQ(skins.IndexOf("vista"), -1);
  EXPECT_EQ(skins.Items(0).Shadow1Blur, -1);
  EXPECT_EQ(skins.Items(0).BorderColor, TransparentColor);
  const TacAnimEffects effects;
  EXPECT_EQ(effects.Buttons.Events, beMouseEnter | beMouseLeave | beMouseDown | beMouseUp);
  EXPECT_EQ(effects.SkinChanging.Time, 100);
  EXPECT_EQ(effects.FormShow.Time, 0);
  EXPECT_TRUE(effects.DialogShow.Active);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(ToolkitUtils, RectanglesAndNumbers) {
  const TRect r{10, 0, 5, 4};
  EXPECT_EQ(RectWidth(r), -5);
  EXPECT_EQ(RectWidth(r, true), 0);
  EXPECT_EQ(RectIntersection({0, 0, 10, 10}, {5, 5, 20, 20}), (TRect{5, 5, 10, 10}));
  EXPECT_TRUE(RectsOverlap({0, 0, 10, 10}, {9, 9, 12, 12}));
  EXPECT_FALSE(RectsOverlap({0, 0, 10, 10}, {10, 0, 12, 12}));
  EXPECT_FALSE(RectsOverlap({0, 0, 10, 10}, {2, 2, 2, 8})) << "an empty rectangle overlaps nothing";
  EXPECT_TRUE(RectWithinRect({0, 0, 10, 10}, {0, 0, 10, 10}));
  EXPECT_FALSE(RectWithinRect({0, 0, 10, 10}, {0, 0, 11, 10}));
  EXPECT_EQ(ClampToRange(12, 0, 9), 9);
  EXPECT_EQ(ClampToByte(-1), 0);
}

TEST(ToolkitUtils, WordsAndStrings) {
  const TacCharSet semicolon = MakeCharSet(";");
  EXPECT_EQ(CountWords("a;;b;", semicolon), 2);
  EXPECT_EQ(NthWord(2, "a;;b;", semicolon), "b");
  EXPECT_EQ(NthWordPos(2, "a;;b;", semicolon), 4u);
  EXPECT_EQ(NthWord(3, "a;;b;", semicolon), "");
  EXPECT_EQ(NthWordPos(3, "a;;b;", semicolon), 0u);
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(ToolkitStart, VersionBoxIsAskedForByAcverInAnyCase) {
  EXPECT_TRUE(AsksForToolkitVersion({"kvconfig.exe", "/x", "/ACVER"}));
  EXPECT_TRUE(AsksForToolkitVersion({"kvconfig.exe", "/acver"}));
  EXPECT_FALSE(AsksForToolkitVersion({"/acver"})) << "the program's own name is no parameter";
  EXPECT_FALSE(AsksForToolkitVersion({"kvconfig.exe", "acver", "/acver2"}));
}

TEST(ExtBorderMargins, ComeFromTheSkinsPictureOrTheBuiltInShadow) {
  const TacExBorderMask own{20, 18, 22, 24};
  struct Case {
    std::optional<TacExBorderMask> exBorder;
    int borderMode;
    bool builtIn, composition;
    TRect expected;
  };
  const Case cases[] = {
      {own, 0, true, true, {12, 10, 14, 16}},  // the picture's margins less FORMOFFSET
      {own, 1, true, true, {8, 8, 8, 8}},      // FORMOFFSET all round
      {std::nullopt, 0, true, false, {11, 7, 11, 11}},
      {std::nullopt, 0, true, true, {12, 8, 12, 12}},  // one more under composition
      {std::nullopt, 0, false, true, {0, 0, 0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExtBorderMargins(c.exBorder, c.borderMode, 8, c.builtIn, c.composition), c.expected)
        << "mode " << c.borderMode << " built-in " << c.builtIn;
}

}  // namespace
}  // namespace kv
