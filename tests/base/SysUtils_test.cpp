#include "base/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TempFolder.h"
#include "base/Streams.h"

namespace kv {
namespace {

TEST(SysUtils, ReadsDecimalAndHexadecimalIntegers) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {
      {"12", true, 12},
      {"-7", true, -7},
      {"+7", true, 7},
      {"  42", true, 42},
      {"$1F", true, 31},
      {"0x1F", true, 31},
      {"0X1f", true, 31},
      {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"$100000000", false, 0},
      {"", false, 0},
      {"0x", false, 0},
      {"$", false, 0},
      {"12 ", false, 0},
      {"1.5", false, 0},
      {"abc", false, 0},
      {"-", false, 0},
  };
  for (const Case& c : cases) {
    int32_t value = 0;
    EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
    EXPECT_EQ(StrToIntDef(c.text, -99), c.ok ? c.value : -99) << c.text;
  }
}

TEST(SysUtils, ReadsDecimalsOnlyAndHoldsLongOnesOutOfRange) {
  for (const char* text : {"$20", "0x10", "12 ", "", "-"})
    EXPECT_EQ(-99, StrToDecimalDef(text, -99)) << text;
  EXPECT_EQ(-7, StrToDecimalDef("  -7", 0));
  EXPECT_EQ(INT32_MAX, StrToDecimalDef("99999999999", 0));
  EXPECT_EQ(INT32_MIN, StrToDecimalDef("-99999999999", 0));
}

TEST(SysUtils, StrToIntNamesTheBadTextInItsError) {
  try {
    StrToInt("12a");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
    EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
  }
}

TEST(SysUtils, FormatsNumbers) {
  EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(FormatTenths(123), "12.3");
  EXPECT_EQ(FormatTenths(-5), "-0.5");
  EXPECT_EQ(FormatTenths(0), "0.0");
  EXPECT_EQ(FormatTenths(-550), "-55.0");
}

TEST(SysUtils, ReadsFloatsWithADotWhateverTheLocale) {
  double v = 0;
  EXPECT_TRUE(TryStrToFloat(" 1.5 ", v));
  EXPECT_EQ(v, 1.5);
  EXPECT_TRUE(TryStrToFloat("-0.25", v));
  EXPECT_EQ(v, -0.25);
  EXPECT_TRUE(TryStrToFloat("+2e3", v));
  EXPECT_EQ(v, 2000.0);
  for (const char* bad : {"", "1,5", "abc", "1.5x", "--1", "+-1", "+"}) {
    EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
  }
  EXPECT_EQ(StrToFloatDef("x", 7.5), 7.5);
}

TEST(SysUtils, FormatFloatRoundsHalfAwayFromZeroOnTheDecimalValue) {
  struct Case {
    const char* pattern;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {"0.0", 0.05, "0.1"},    {"0.0", 0.04, "0.0"},     {"0.0", -0.05, "-0.1"},
      {"0.0", -0.04, "0.0"},   {"0.00", 2.675, "2.68"},  {"0.0", 25.25, "25.3"},
      {"0.0", 99.95, "100.0"}, {"0", 2.5, "3"},          {"0.0", 123456.7, "123456.7"},
      {"0.0", 0, "0.0"},       {"0.000", 1e-9, "0.000"}, {"0.0", -12.34, "-12.3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFloat(c.pattern, c.value), c.expected) << c.pattern << " " << c.value;
  }
}

TEST(SysUtils, TrimsBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\na b\x01 "), "a b");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("温度 "), "温度");  // bytes above 0x7F are text
}

TEST(SysUtils, ComparesTextWithoutRegardToAsciiCase) {
  EXPECT_EQ(CompareText("COM10", "com3"), -1);
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_EQ(CompareText("ab", "abc"), -1);
  EXPECT_EQ(CompareText("b", "A"), 1);
  EXPECT_TRUE(SameText("lvDo", "LVDO"));
  EXPECT_FALSE(SameText("lvDo", "lvD"));
  EXPECT_EQ(UpperCase("abz温"), "ABZ温");
  EXPECT_EQ(LowerCase("ABZ"), "abz");
}

TEST(SysUtils, FindsAndReplacesText) {
  EXPECT_EQ(Pos(".ini", "a.INI"), 0u);
  EXPECT_EQ(Pos(".ini", "x.ini.bak"), 2u);
  EXPECT_EQ(Pos("", "abc"), 0u);
  EXPECT_EQ(StringReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(StringReplaceAll("a:b:c", ":", ","), "a,b,c");
  EXPECT_EQ(StringReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(StringReplaceAll("aa", "a", "aa"), "aaaa");  // replacements are not searched
  EXPECT_TRUE(EndsText(".CSV", "x.csv"));
  EXPECT_TRUE(StartsText("0X", "0x1F"));
}

TEST(SysUtils, SplitsFileNames) {
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFilePath("C:b.txt"), "C:");
  EXPECT_EQ(ExtractFileName("/tmp/x/y.ini"), "y.ini");
  EXPECT_EQ(ExtractFileExt("C:\\a.dir\\b"), "");
  EXPECT_EQ(ExtractFileExt("C:\\a\\b.tar.ASZ"), ".ASZ");
  EXPECT_EQ(ChangeFileExt("C:\\a\\b.txt", ".ini"), "C:\\a\\b.ini");
  EXPECT_EQ(ChangeFileExt("C:\\a.d\\b", ".ini"), "C:\\a.d\\b.ini");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a"), std::string("a") + PathDelim());
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a/"), "a");
}

TEST(SysUtils, MatchesFileMasksWithoutRegardToCase) {
  EXPECT_TRUE(MatchesMask("skin.ASZ", "*.asz"));
  EXPECT_TRUE(MatchesMask("noext", "*.*"));
  EXPECT_TRUE(MatchesMask("abc.txt", "a?c.*"));
  EXPECT_FALSE(MatchesMask("abcd.txt", "a?c.*"));
  EXPECT_FALSE(MatchesMask("skin.asz.bak", "*.asz"));
  EXPECT_TRUE(MatchesMask("a.b.asz", "*.asz"));
}

TEST(SysUtils, FindsFilesInFoldersAndSubfolders) {
  test::TempFolder tmp;
  const std::string sub = tmp.Folder("皮肤");  // non-ASCII folder name
  WriteFileBytes(tmp.File("a.asz"), "1");
  WriteFileBytes(tmp.File("b.txt"), "2");
  WriteFileBytes(sub + "C.ASZ", "3");

  std::vector<std::string> flat = FindFiles(tmp.Path(), "*.asz", false);
  ASSERT_EQ(flat.size(), 1u);
  EXPECT_EQ(flat[0], tmp.File("a.asz"));

  std::vector<std::string> deep = FindFiles(tmp.Path(), "*.asz", true);
  std::sort(deep.begin(), deep.end());
  ASSERT_EQ(deep.size(), 2u);
  EXPECT_EQ(deep[0], tmp.File("a.asz"));
  EXPECT_EQ(deep[1], sub + "C.ASZ");

  EXPECT_EQ(FindFiles(tmp.Path(), "*", true).size(), 3u);
  EXPECT_TRUE(FindFiles(tmp.File("missing"), "*", true).empty());
}

TEST(SysUtils, TellsFilesFromFolders) {
  test::TempFolder tmp;
  WriteFileBytes(tmp.File("温度.ini"), "x");
  EXPECT_TRUE(FileExists(tmp.File("温度.ini")));
  EXPECT_FALSE(DirectoryExists(tmp.File("温度.ini")));
  EXPECT_TRUE(DirectoryExists(tmp.Path()));
  EXPECT_FALSE(FileExists(tmp.Path()));
  EXPECT_FALSE(FileExists(tmp.File("none")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DeleteFileUtf8(tmp.File("温度.ini")));
  EXPECT_FALSE(FileExists(tmp.File("温度.ini")));
}

}  // namespace
}  // namespace kv
