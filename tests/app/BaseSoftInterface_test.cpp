#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BaseSoftInterface_Unt.h"
#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftTelephone_Unt.h"

namespace kv {
namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string kTick = "\xE2\x88\x9A";

TEST(ListRows, NumberedRowsHaveOneEmptySubItemPerColumn) {
  TListRows rows;
  FillNumberedRows(rows, 1, 10, 11);
  ASSERT_EQ(10u, rows.size());
  EXPECT_EQ("  1", rows[0].Caption);
  EXPECT_EQ("  10", rows[9].Caption);
  EXPECT_EQ(std::vector<std::string>(11), rows[9].SubItems);
  TListRows phones, timers;
  FillPhoneRows(phones);
  FillTimerRows(timers);
  EXPECT_EQ(rows, phones);
  EXPECT_EQ(6u, timers[0].SubItems.size());
}

TEST(ListRows, ClearingKeepsRowsAndCaptions) {
  TListRows rows;
  FillNumberedRows(rows, 1, 2, 2);
  rows[0].SubItems = {"a", "b"};
  rows[1].SubItems = {"c", "d"};
  ClearRowSubItems(rows, -1, true);
  ClearRowSubItems(rows, 0, false);
  ClearRowSubItems(rows, 5, true);
  EXPECT_EQ("a", rows[0].Cell(1));
  ClearRowSubItems(rows, 0, true);
  EXPECT_EQ((std::vector<std::string>{"", ""}), rows[0].SubItems);
  EXPECT_EQ("c", rows[1].Cell(1));
  ClearAllSubItems(rows);
  EXPECT_EQ("", rows[1].Cell(2));
  EXPECT_EQ("  2", rows[1].Caption);
  EXPECT_EQ("", rows[1].Cell(7));
}

TEST(ListRows, FindItemContainingCannotTellAMissFromTheFirstEntry) {
  const std::vector<std::string> week = TimerWeekTexts(LanguageEnglish);
  EXPECT_EQ(1, FindItemContaining("Monday", week));
  EXPECT_EQ(3, FindItemContaining("dnes", week));
  EXPECT_EQ(0, FindItemContaining("", week));
  EXPECT_EQ(0, FindItemContaining("Holiday", week));
  EXPECT_EQ(-1, IndexOfContaining("Holiday", week));
  EXPECT_EQ(0, FindItemContaining("monday", week));  // case-sensitive
  EXPECT_EQ(7, IndexOfText("Everyday", week));
  EXPECT_EQ(-1, IndexOfText("Every", week));
  EXPECT_EQ(0, NonNegative(-3));
  EXPECT_EQ(4, NonNegative(4));
}

TEST(ListRows, TickTextIsTheOnlyFlag) {
  EXPECT_EQ(kTick, FlagText(true));
  EXPECT_EQ("", FlagText(false));
  EXPECT_TRUE(IsFlagText(kTick));
  EXPECT_FALSE(IsFlagText(kTick + " "));
  EXPECT_FALSE(IsFlagText(""));
}

TEST(TimerCells, DialogSelectsTheEqualItemOrTheFirst) {
  const std::vector<std::string> actions = TimerActionTexts(LanguageEnglish);
  EXPECT_EQ(5, TimerCellIndex("5.Arm", actions));
  EXPECT_EQ(0, TimerCellIndex("5.布防", actions));
  EXPECT_EQ(0, TimerCellIndex("", TimerHourList));
  EXPECT_EQ(23, TimerCellIndex("23", TimerHourList));
}

TEST(TimerCells, EmptyRowOpensOnTheFirstItemsAndOkWritesThem) {
  LanguageFlag = LanguageEnglish;
  RebuildTimerLists();
  TListRows rows;
  FillTimerRows(rows);
  const TTimerDialogValues values = RowToTimerValues(rows[0]);
  EXPECT_EQ((TTimerDialogValues{false, 0, 0, 0, 0}), values);
  TimerValuesToRow(values, rows[0]);
  EXPECT_EQ((std::vector<std::string>{"", "Sunday", "0", "0", "0.Reboot", ""}), rows[0].SubItems);
  TimerValuesToRow({true, 7, 23, 59, 10}, rows[1]);
  EXPECT_EQ((std::vector<std::string>{kTick, "Everyday", "23", "59", "10.DO2 Open(OFF)", ""}),
            rows[1].SubItems);
  EXPECT_EQ((TTimerDialogValues{true, 7, 23, 59, 10}), RowToTimerValues(rows[1]));
  // Texts of the other language select the first items.
  LanguageFlag = LanguageChinese;
  RebuildTimerLists();
  EXPECT_EQ((TTimerDialogValues{true, 0, 23, 59, 0}), RowToTimerValues(rows[1]));
  LanguageFlag = LanguageEnglish;
  RebuildTimerLists();
}

TEST(PhoneCells, DialogValuesMirrorTheRow) {
  TListRows rows;
  FillPhoneRows(rows);
  TPhoneDialogValues values;
  values.TelNumber = "+8613800138000";
  values.Flags = {true, false, false, true, false, false, false, false, true};
  PhoneValuesToRow(values, rows[2]);
  EXPECT_EQ("+8613800138000", rows[2].Cell(1));
  EXPECT_EQ(kTick, rows[2].Cell(2));
  EXPECT_EQ("", rows[2].Cell(3));
  EXPECT_EQ(kTick, rows[2].Cell(10));
  EXPECT_EQ(values, RowToPhoneValues(rows[2]));
  EXPECT_EQ(TPhoneDialogValues{}, RowToPhoneValues(rows[3]));
}

TEST(Funs, BitAndDigitConversions) {
  EXPECT_EQ("00000101", IntToBin(5, 8));
  EXPECT_EQ("", IntToBin(5, 0));
  EXPECT_EQ("11111111111111111111111111111111", IntToBin(-1, 32));
  EXPECT_EQ(5, BinToInt("00000101"));
  EXPECT_EQ(5, BinToInt("1x1"));
  EXPECT_EQ(0, BinToInt(""));
  EXPECT_EQ(127, LowSevenBits(255));
  EXPECT_TRUE(ByteToBool(2));
  EXPECT_FALSE(ByteToBool(0));
  EXPECT_EQ('1', BoolToBitChar(true));
  EXPECT_EQ('0', BoolToBitChar(false));
  EXPECT_EQ("cba", ReverseString("abc"));
  EXPECT_EQ("\xE5\xBA\xA6\xE6\xB8\xA9", ReverseString("\xE6\xB8\xA9\xE5\xBA\xA6"));  // 度温
  EXPECT_EQ("V2.2", GetProgramVersion("anything.exe"));
}

TEST(Funs, ByteFieldsAndTexts) {
  EXPECT_EQ("AB", BytesToStr(Bytes{0x41, 0x42, 0xFF, 0xFF}));
  EXPECT_EQ("", BytesToStr(Bytes{0x00, 0x41, 0x42}));
  EXPECT_EQ(std::string("A\0B", 3), BytesToStr(Bytes{0x41, 0x00, 0x42}));
  EXPECT_EQ("", BytesToStr(Bytes{}));
  Bytes field(4, 0xEE);
  StrToBytes("ABCDEF", field);
  EXPECT_EQ((Bytes{0x41, 0x42, 0x43, 0x44}), field);
  StrToBytes("  ", field);
  EXPECT_EQ((Bytes{0, 0, 0, 0}), field);
  StrToBytes(" A", field);
  EXPECT_EQ((Bytes{' ', 'A', 0, 0}), field);
}

TEST(Funs, PasswordKeyFilterLetsOnlyLettersDigitsAndEditingKeysThrough) {
  for (char16_t key : {u'7', u'q', u'Z', char16_t{8}, char16_t{13}, char16_t{127}}) {
    char16_t k = key;
    FilterAlnumKey(k);
    EXPECT_EQ(key, k);
  }
  for (char16_t key : {u' ', u'-', char16_t{128}, u'\u6E29'}) {
    char16_t k = key;
    FilterAlnumKey(k);
    EXPECT_EQ(0, k);
  }
}

}  // namespace
}  // namespace kv
