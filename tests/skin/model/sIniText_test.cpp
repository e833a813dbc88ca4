#include "skin/model/sIniText.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(sIniText, KeepsSectionAndKeyOrderAndFindsNamesWithoutCase) {
  const TsIniText ini(
      "; a comment\r\n[Button]\r\nCOLOR=123\r\nHotColor=$FF\r\nCOLOR=5\r\n\r\n[EDIT]\nX=1\n"
      "FONTCOLOR=0x10\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Button", "EDIT"}));
  EXPECT_EQ(ini.ReadSection("BUTTON"), (std::vector<std::string>{"COLOR", "HotColor"}));
  EXPECT_EQ(ini.ReadInteger("button", "color", -1), 123);  // the first value stays
  EXPECT_EQ(ini.ReadInteger("BUTTON", "HOTCOLOR", -1), 255);
  EXPECT_EQ(ini.ReadInteger("EDIT", "FONTCOLOR", -1), 16);
  EXPECT_EQ(ini.ReadString("EDIT", "Y", "?"), "?");
  EXPECT_FALSE(ini.SectionExists("PANEL"));
  EXPECT_TRUE(ini.ValueExists("edit", "x"));
}

// The manager's CommonSections text: lines count as written, blanks included.
TEST(sIniText, AsWrittenTakesLinesUnchangedAndARepeatedSectionAsASecondOne) {
  const TsIniText ini(
      "[ A ]\nK=1\n[B]\nK=2\nSPACED = 7 \nTAIL=x \n  ; not a comment\n [C]\n[b]\nK=3\nONLY=4\n",
      TsIniLines::AsWritten);
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{" A ", "B", "b"}));
  EXPECT_EQ(ini.ReadString(" A ", "K", "?"), "1");
  EXPECT_FALSE(ini.SectionExists("A"));
  // The first of two sections of one name answers; the second's keys are not merged.
  EXPECT_EQ(ini.ReadString("b", "K", "?"), "2");
  EXPECT_EQ(ini.ReadString("B", "ONLY", "?"), "?");
  EXPECT_EQ(ini.ReadSection("B"), (std::vector<std::string>{"K", "SPACED ", "TAIL"}));
  // A key is all before the '=', its value all after it.
  EXPECT_EQ(ini.ReadString("B", "SPACED", "?"), "?");
  EXPECT_EQ(ini.ReadString("B", "SPACED ", "?"), " 7 ");
  EXPECT_EQ(ini.ReadString("B", "TAIL", "?"), "x ");
  EXPECT_FALSE(ini.SectionExists("C"));
}

// The skin options: every line, section name, key and value loses its blanks
// and tabs, so a skin written with "KEY = value" reads as "KEY=value".
TEST(sIniText, TrimmedDropsBlanksAndTabsAroundLinesNamesKeysAndValues) {
  const TsIniText ini(
      "[ A ]\nK=1\n\t[B]  \nK=2\nSPACED = 7 \nTAB\t=\tx\t\n  ; a comment\n \t \n"
      "[b]\nK=3\nONLY=4\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B", "b"}));
  EXPECT_EQ(ini.ReadString("A", "K", "?"), "1");
  EXPECT_EQ(ini.ReadSection("B"), (std::vector<std::string>{"K", "SPACED", "TAB"}));
  EXPECT_EQ(ini.ReadInteger("B", "SPACED", -1), 7);
  EXPECT_EQ(ini.ReadString("B", "TAB", "?"), "x");
  EXPECT_EQ(ini.ReadString("B", "ONLY", "?"), "?") << "the first of two sections answers";
}

TEST(sIniText, ReadsTheIntegerFormsOfTheOptionsAndTheDefaultForTheRest) {
  const struct {
    const char* value;
    int expected;
  } cases[] = {{"0x1F", 31},
               {"$1F", 31},
               {"12", 12},
               {" 12", 12},
               {"-16777201", -16777201},
               {"$FF00000F", -16777201},
               {"0x", -5},
               {"", -5},
               {"x", -5},
               {"12x", -5},
               {"99999999999", -5}};
  for (const auto& c : cases) {
    const TsIniText ini(std::string("[S]\nK=") + c.value + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -5), c.expected) << c.value;
  }
}

TEST(sIniText, LinesOutsideSectionsAndWithoutEqualsAreIgnored) {
  const TsIniText ini("X=1\n[A\n[B]\njunk\n=5\nK=v=w\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"B"}));
  EXPECT_EQ(ini.ReadString("B", "K", ""), "v=w");
}

TEST(sIniText, SkipsAByteOrderMarkBeforeTheFirstSection) {
  const TsIniText ini("\xEF\xBB\xBF[GLOBALINFO]\r\nVERSION=7.0\r\n");
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "VERSION", ""), "7.0");
}

}  // namespace
}  // namespace kv
