#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/SoftHistory_Unt.h"

namespace kv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

// A record built byte by byte: tag, date, time, signal, status, sixteen
// values (slot s holds s * 10 + 1 tenths unless given), type.
Bytes Record(std::uint8_t status, std::uint8_t type, std::vector<std::uint16_t> values = {}) {
  Bytes r(64, 0xEE);
  r[0] = 0x01, r[1] = 0x00, r[2] = 0x00, r[3] = 0x00;
  r[4] = 24, r[5] = 5, r[6] = 7;
  r[7] = 8, r[8] = 3, r[9] = 0;
  r[10] = 27;
  r[11] = status;
  for (int s = 0; s < 16; ++s) {
    const std::uint16_t v = s < static_cast<int>(values.size()) ? values[s] : s * 10 + 1;
    r[12 + 2 * s] = v & 0xFF;
    r[13 + 2 * s] = v >> 8;
  }
  r[44] = type;
  return r;
}

Bytes Block(std::initializer_list<Bytes> records) {
  Bytes block;
  for (const Bytes& r : records) block.insert(block.end(), r.begin(), r.end());
  return block;
}

Bytes EmptyRecord() { return Bytes(64, 0xFF); }

TEST(HistoryRecord, DecodesEveryFieldOfAHandMadeRecord) {
  const auto r = DecodeHistoryRecord(Record(0x81, 0x0D, {0xFF9C, 0x0104}));
  ASSERT_TRUE(r);
  EXPECT_EQ(24, r->Year);
  EXPECT_EQ(5, r->Month);
  EXPECT_EQ(7, r->Day);
  EXPECT_EQ(8, r->Hour);
  EXPECT_EQ(3, r->Minute);
  EXPECT_EQ(0, r->Second);
  EXPECT_EQ(27, r->Signal);
  EXPECT_EQ(0x81, r->Status);
  EXPECT_EQ(-100, r->Values[0]);
  EXPECT_EQ(260, r->Values[1]);
  EXPECT_EQ(151, r->Values[15]);
  EXPECT_EQ(5, r->Type);
}

TEST(HistoryRecord, EmptyWhenYearOrWholeTagIsErased) {
  EXPECT_TRUE(IsEmptyHistoryRecord(EmptyRecord()));
  Bytes yearErased = Record(0, 0);
  yearErased[4] = 0xFF;
  EXPECT_TRUE(IsEmptyHistoryRecord(yearErased));
  Bytes tagErased = Record(0, 0);
  tagErased[0] = tagErased[1] = tagErased[2] = tagErased[3] = 0xFF;
  EXPECT_TRUE(IsEmptyHistoryRecord(tagErased));
  Bytes partTag = Record(0, 0);
  partTag[0] = partTag[1] = partTag[2] = 0xFF;
  EXPECT_FALSE(IsEmptyHistoryRecord(partTag));
  EXPECT_TRUE(IsEmptyHistoryRecord(Bytes(63, 0)));
  EXPECT_FALSE(DecodeHistoryRecord(EmptyRecord()));
}

TEST(HistoryRecord, RowTextsFollowTheGridColumns) {
  const auto r = DecodeHistoryRecord(Record(0x81, 0x0D, {0xFF9C, 0x0104, 0xFFFB}));
  const Texts row = HistoryRowTexts(*r, 12, 0, LanguageEnglish);
  const Texts expected = {"12",    "24/5/7", "8:3:0", "27",  "Arm", "Close", "Open", "Low Singal",
                          "-10.0", "26.0",   "-0.5",  "3.1", "4.1", "5.1",   "6.1",  "7.1"};
  EXPECT_EQ(expected, row);
  const Texts chinese = HistoryRowTexts(*r, 12, 0, LanguageChinese);
  EXPECT_EQ("布防", chinese[4]);
  EXPECT_EQ("闭合", chinese[5]);
  EXPECT_EQ("断开", chinese[6]);
  EXPECT_EQ("信号低", chinese[7]);
}

// A device's clock may have stored anything: it is shown as it came.
TEST(HistoryRecord, DateAndTimeBytesOutsideTheCalendarAreShownAsStored) {
  Bytes bytes = Record(0, 0);
  bytes[5] = 13, bytes[6] = 0, bytes[7] = 25, bytes[8] = 61, bytes[9] = 200;
  const auto r = DecodeHistoryRecord(bytes);
  ASSERT_TRUE(r);
  const Texts row = HistoryRowTexts(*r, 1, 0, LanguageEnglish);
  EXPECT_EQ("24/13/0", row[1]);
  EXPECT_EQ("25:61:200", row[2]);
}

TEST(HistoryRecord, TypeTextsByLowThreeBits) {
  const Texts english = {"Interval",   "Alarm",      "Upload",       "Relay Switch",
                         "Arm/Disarm", "Low Singal", "Power ON/OFF", "Interval"};
  const Texts chinese = {"定时存贮",   "报警存贮", "上报存贮", "继电器变化",
                         "布撤防变化", "信号低",   "外电变化", "定时存贮"};
  for (int type = 0; type < 8; ++type) {
    EXPECT_EQ(english[type], HistoryTypeText(type | 0xF8, LanguageEnglish)) << type;
    EXPECT_EQ(chinese[type], HistoryTypeText(type, LanguageChinese)) << type;
  }
  EXPECT_EQ("Disarm", HistoryArmedText(0x7F, LanguageEnglish));
  EXPECT_EQ("撤防", HistoryArmedText(0x00, LanguageChinese));
}

TEST(HistoryRecord, ChannelColumnsFollowTheModel) {
  const auto r = DecodeHistoryRecord(Record(0, 0));
  EXPECT_EQ(16u, HistoryRowTexts(*r, 1, 0, LanguageEnglish).size());
  EXPECT_EQ(24u, HistoryRowTexts(*r, 1, 1, LanguageEnglish).size());
  const Texts kv43 = HistoryRowTexts(*r, 1, 2, LanguageEnglish);
  ASSERT_EQ(16u, kv43.size());
  // Even slots only: 0, 2, .. 14 hold 1, 21, .. 141 tenths.
  EXPECT_EQ("0.1", kv43[8]);
  EXPECT_EQ("2.1", kv43[9]);
  EXPECT_EQ("14.1", kv43[15]);
  EXPECT_EQ(8u, HistoryRowTexts(*r, 1, -1, LanguageEnglish).size());
}

TEST(HistoryGrid, ChannelHeadersByModelAndLanguage) {
  EXPECT_EQ(16, HistoryColumnCount(0));
  EXPECT_EQ(24, HistoryColumnCount(1));
  EXPECT_EQ(16, HistoryColumnCount(2));
  EXPECT_EQ(-1, HistoryColumnCount(3));
  EXPECT_EQ((Texts{"Temp1", "Hum1", "Temp2", "Hum2", "Temp3", "Hum3", "Temp4", "Hum4"}),
            HistoryChannelHeaders(0, LanguageEnglish));
  const Texts kv42 = HistoryChannelHeaders(1, LanguageChinese);
  ASSERT_EQ(16u, kv42.size());
  EXPECT_EQ("温度1", kv42[0]);
  EXPECT_EQ("湿度8", kv42[15]);
  EXPECT_EQ((Texts{"Temp1", "Temp2", "Temp3", "Temp4", "Temp5", "Temp6", "Temp7", "Temp8"}),
            HistoryChannelHeaders(2, LanguageEnglish));
  EXPECT_TRUE(HistoryChannelHeaders(-1, LanguageEnglish).empty());
  EXPECT_TRUE(HistoryChannelHeaders(0, 2).empty());
  const Texts initial = HistoryInitialHeader();
  ASSERT_EQ(16u, initial.size());
  EXPECT_EQ("序号", initial[0]);
  EXPECT_EQ("类型", initial[7]);
  EXPECT_EQ("湿度4", initial[15]);
}

TEST(HistoryBlocks, TargetCountStopsInTheSecondBlock) {
  int rows = 0, empties = 0;
  const Bytes block = Block({Record(0, 1), Record(0, 2), Record(0, 3), Record(0, 4)});
  auto first = AppendHistoryRecords(block, 6, rows, empties, 0, LanguageEnglish);
  ASSERT_EQ(4u, first.Rows.size());
  EXPECT_EQ(1, first.Rows[0].Row);
  EXPECT_EQ("Alarm", first.Rows[0].Cells[7]);
  auto second = AppendHistoryRecords(block, 6, rows, empties, 0, LanguageEnglish);
  ASSERT_EQ(2u, second.Rows.size());
  EXPECT_EQ(6, second.Rows[1].Row);
  EXPECT_EQ("6", second.Rows[1].Cells[0]);
  EXPECT_EQ(6, rows);
  EXPECT_FALSE(second.EndedAtEmptyRecord);
}

TEST(HistoryBlocks, EmptyRecordEndsTheBlockAndTheSecondClosesProgress) {
  int rows = 0, empties = 0;
  const Bytes block = Block({Record(0, 1), Record(0, 2), EmptyRecord(), Record(0, 4)});
  // Rows of no record show their number only, in every column of the model.
  const auto blank = [](int row) {
    std::vector<std::string> cells(16);
    cells[0] = std::to_string(row);
    return cells;
  };
  auto first = AppendHistoryRecords(block, 100, rows, empties, 0, LanguageEnglish);
  ASSERT_EQ(3u, first.Rows.size());
  EXPECT_EQ(3, rows);  // the empty record still takes a row number
  EXPECT_EQ(3, first.Rows[2].Row);
  EXPECT_EQ(blank(3), first.Rows[2].Cells);
  EXPECT_TRUE(first.EndedAtEmptyRecord);
  EXPECT_FALSE(first.CloseProgress);
  EXPECT_EQ(1, empties);
  auto second = AppendHistoryRecords(block, 100, rows, empties, 0, LanguageEnglish);
  EXPECT_EQ(4, second.Rows[0].Row);
  EXPECT_TRUE(second.CloseProgress);
  EXPECT_EQ(0, empties);
  // The device has no more: rows 6 (its empty record) to 100 show nothing.
  ASSERT_EQ(2u + 95u, second.Rows.size());
  for (std::size_t i = 2; i < second.Rows.size(); ++i)
    EXPECT_EQ(blank(second.Rows[i].Row), second.Rows[i].Cells);
  EXPECT_EQ(100, second.Rows.back().Row);
  EXPECT_EQ(6, rows);
}

TEST(HistoryBlocks, ShortReplyEndsTheBlockWithoutCountingAnEmptyOne) {
  int rows = 0, empties = 0;
  Bytes block = Block({Record(0, 1), Record(0, 2)});
  block.resize(100);
  auto result = AppendHistoryRecords(block, 100, rows, empties, 0, LanguageEnglish);
  EXPECT_EQ(1u, result.Rows.size());
  EXPECT_EQ(1, rows);
  EXPECT_EQ(0, empties);
}

TEST(HistoryBlocks, EveryReadStartsCountingEmptyBlocksAfresh) {
  const Bytes block = Block({Record(0, 1), EmptyRecord(), Record(0, 3), Record(0, 4)});
  THistoryReadState read;
  read.Start();
  EXPECT_FALSE(AppendHistoryRecords(block, 100, read, 0, LanguageEnglish).CloseProgress);
  // The user stopped that read; the next one must not end at its first empty block.
  read.Start();
  EXPECT_EQ(0, read.RowCount);
  auto first = AppendHistoryRecords(block, 100, read, 0, LanguageEnglish);
  EXPECT_TRUE(first.EndedAtEmptyRecord);
  EXPECT_FALSE(first.CloseProgress);
  EXPECT_TRUE(AppendHistoryRecords(block, 100, read, 0, LanguageEnglish).CloseProgress);
}

TEST(HistoryRead, CountsAndRecordNumbersOutsideTheHistoryAreRefused) {
  struct Case {
    const char* Text;
    int Number;
    bool Accepted;
    int Blocks;
  };
  const Case cases[] = {
      {"4", 4, true, 1},          {"5", 5, true, 2},
      {"8", 8, true, 2},          {"20000", 20000, true, 5000},
      {"20001", 20001, false, 0}, {"0", 0, false, 0},
      {"-3", -3, false, 0},       {"abc", 1, true, 1},
      {"", 1, true, 1},           {"1", 1, true, 1},
      // Only decimals are numbers; one too long for 32 bits is too large.
      {"$20", 1, true, 1},        {"0x10", 1, true, 1},
      {"99999999999", INT32_MAX, false, 0},
  };
  for (const Case& c : cases) {
    const int n = HistoryNumberFromText(c.Text);
    EXPECT_EQ(c.Number, n) << c.Text;
    EXPECT_EQ(c.Accepted, IsHistoryRecordNumber(n)) << c.Text;
    if (c.Accepted) {
      EXPECT_EQ(c.Blocks, HistoryBlockCount(n)) << c.Text;
    }
  }
}

TEST(HistorySingle, ShowsTheRecordNumberOrNothingForAnEmptyRecord) {
  const auto row = SingleHistoryRow(Record(0x02, 0), 3, 1, LanguageEnglish);
  ASSERT_TRUE(row);
  EXPECT_EQ("3", (*row)[0]);
  EXPECT_EQ("Disarm", (*row)[4]);
  EXPECT_EQ("Open", (*row)[5]);
  EXPECT_EQ("Close", (*row)[6]);
  EXPECT_FALSE(SingleHistoryRow(EmptyRecord(), 3, 1, LanguageEnglish));
  EXPECT_FALSE(SingleHistoryRow(Bytes(10, 1), 3, 1, LanguageEnglish));
}

}  // namespace
}  // namespace kv
