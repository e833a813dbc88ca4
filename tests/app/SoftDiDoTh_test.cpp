#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/SoftDiDoTh_Unt.h"

namespace kv {
namespace {

using Texts = std::vector<std::string>;
const std::string kTick = "\xE2\x88\x9A";

TEST(ThRows, BuiltOncePerRunForTheFirstModel) {
  ThRowsBuilt = false;
  TListRows rows;
  BuildThRowsForModel("KV43", rows);
  ASSERT_EQ(8u, rows.size());
  EXPECT_EQ("Temperature1", rows[0].Caption);
  EXPECT_EQ("Temperature8", rows[7].Caption);
  EXPECT_EQ(12u, rows[0].SubItems.size());
  BuildThRowsForModel("KV42", rows);  // a later version reply changes nothing
  EXPECT_EQ(8u, rows.size());
  ThRowsBuilt = false;
  rows.clear();
  BuildThRowsForModel("KV42", rows);
  ASSERT_EQ(16u, rows.size());
  EXPECT_EQ("Humidity8", rows[15].Caption);
  ThRowsBuilt = false;
  rows.clear();
  BuildThRowsForModel("KV4", rows);
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(ThRowsBuilt);
  ThRowsBuilt = false;
}

TEST(ThRows, CaptionsByModelAndLanguage) {
  EXPECT_EQ((Texts{"温度1", "湿度1", "温度2", "湿度2", "温度3", "湿度3", "温度4", "湿度4"}),
            ThRowCaptions(0, LanguageChinese));
  EXPECT_EQ(16u, ThRowCaptions(1, LanguageEnglish).size());
  EXPECT_TRUE(ThRowCaptions(-1, LanguageEnglish).empty());
  EXPECT_EQ("继电器2", DoRowCaption(1, LanguageChinese));
  EXPECT_EQ("DOUT1", DoRowCaption(0, LanguageEnglish));
  EXPECT_EQ("温度12", OtherLanguageRowCaption("Temperature12"));
  EXPECT_EQ("Humidity3", OtherLanguageRowCaption("湿度3"));
  EXPECT_EQ("DOUT2", OtherLanguageRowCaption("继电器2"));
  EXPECT_EQ("", OtherLanguageRowCaption("  3"));
  EXPECT_EQ("", OtherLanguageRowCaption("Temperature"));
}

// The version reply's model text: any text but the three model words counts
// as the first model, yet builds no channel rows.
TEST(ThRows, ModelTextsOtherThanTheThreeCountAsTheFirstModelAndBuildNoRows) {
  const struct {
    const char* text;
    int model;
    std::size_t rows;
  } cases[] = {{"KV41", 0, 8}, {"KV42", 1, 16}, {"KV43", 2, 8},
               {"kv41", 0, 0}, {"KV44", 0, 0},  {"", 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.model, ModelIndexOf(c.text));
    ThRowsBuilt = false;
    TListRows rows;
    BuildThRowsForModel(c.text, rows);
    EXPECT_EQ(c.rows, rows.size());
  }
  ThRowsBuilt = false;
}

TEST(ThRows, SlotsByModelStayInsideTheSixteen) {
  EXPECT_EQ(3, ThSlotOfRow(0, 3));
  EXPECT_EQ(15, ThSlotOfRow(1, 15));
  EXPECT_EQ(6, ThSlotOfRow(2, 3));
  EXPECT_EQ(14, ThSlotOfRow(2, 7));
  EXPECT_EQ(-1, ThSlotOfRow(2, 8));
  EXPECT_EQ(-1, ThSlotOfRow(1, 16));
  EXPECT_EQ(-1, ThSlotOfRow(-1, 0));
}

TEST(DoRows, DialogValuesAndDefaults) {
  TListRows rows;
  FillDoRows(rows);
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(7u, rows[1].SubItems.size());
  const TDoDialogValues empty = RowToDoValues(rows[1], 1, LanguageEnglish);
  EXPECT_EQ("DOUT2", empty.ChannelName);
  EXPECT_EQ("继电器2", RowToDoValues(rows[1], 1, LanguageChinese).ChannelName);
  const TDoDialogValues defaults = DoDefaults(0, LanguageEnglish);
  EXPECT_EQ((TDoDialogValues{"DOUT1", "0", "Open", "Close", true}), defaults);
  EXPECT_EQ((TDoDialogValues{"继电器1", "0", "断开", "闭合", true}),
            DoDefaults(0, LanguageChinese));
  rows[0].SetCell(DoColState, "Close");
  DoValuesToRow(defaults, rows[0]);
  EXPECT_EQ((Texts{"DOUT1", "0", "Close", "Open", "Close", kTick, ""}), rows[0].SubItems);
  EXPECT_EQ(defaults, RowToDoValues(rows[0], 0, LanguageEnglish));
}

TEST(ThRows, DialogValuesAndDefaults) {
  EXPECT_EQ("100", ThDefaults("Humidity3", 1, LanguageEnglish).ThresholdHigh);
  EXPECT_EQ("0", ThDefaults("湿度3", 1, LanguageChinese).ThresholdLow);
  const TThDialogValues kv43 = ThDefaults("Temperature1", 2, LanguageEnglish);
  EXPECT_EQ((TThDialogValues{"Temperature1", "2", "125", "-55", "High Alarm", "Low Alarm",
                             "Recover", true, true, false, false}),
            kv43);
  EXPECT_EQ("80", ThDefaults("Temperature1", 0, LanguageEnglish).ThresholdHigh);
  EXPECT_EQ("-40", ThDefaults("Temperature1", 1, LanguageEnglish).ThresholdLow);
  EXPECT_EQ("高限报警", ThDefaults("温度1", 0, LanguageChinese).HighSms);
  TListRow row;
  row.Caption = "Temperature1";
  row.SubItems.resize(12);
  row.SetCell(ThColValue, "12.5");
  TThDialogValues values = kv43;
  values.AlarmLinkDO2 = true;
  ThValuesToRow(values, row);
  EXPECT_EQ((Texts{"Temperature1", "12.5", kTick, "2", "125", "-55", "High Alarm", "Low Alarm",
                   "Recover", kTick, "", kTick}),
            row.SubItems);
  EXPECT_EQ(values, RowToThValues(row));
}

TEST(CurrentValues, RelayStatesFromStatusByte) {
  std::vector<std::uint8_t> data(33, 0);
  data[32] = 0x02;
  const auto english = DoStatusTexts(data, LanguageEnglish);
  ASSERT_TRUE(english);
  EXPECT_EQ("Open", (*english)[0]);
  EXPECT_EQ("Close", (*english)[1]);
  data[32] = 0x01;
  EXPECT_EQ("闭合", (*DoStatusTexts(data, LanguageChinese))[0]);
  EXPECT_EQ("断开", (*DoStatusTexts(data, LanguageChinese))[1]);
  data.resize(32);
  EXPECT_FALSE(DoStatusTexts(data, LanguageEnglish));
}

TEST(CurrentValues, ChannelValuesBySlotInTenths) {
  std::vector<std::uint8_t> data;
  for (int v = 0; v < 16; ++v) {
    const int tenths = v == 4 ? -125 : v * 10;
    data.push_back(static_cast<std::uint8_t>(tenths & 0xFF));
    data.push_back(static_cast<std::uint8_t>((tenths >> 8) & 0xFF));
  }
  EXPECT_EQ((Texts{"0.0", "2.0", "-12.5", "6.0", "8.0", "10.0", "12.0", "14.0"}),
            ThValueTexts(data, 2, 8));
  EXPECT_EQ((Texts{"0.0", "1.0", "2.0"}), ThValueTexts(data, 0, 3));
  EXPECT_EQ(8u, ThValueTexts(data, 2, 16).size());  // rows past slot 15 get nothing
  EXPECT_TRUE(ThValueTexts(data, -1, 8).empty());
  data.resize(5);
  EXPECT_EQ(2u, ThValueTexts(data, 1, 16).size());
}

TEST(DialogNumbers, RefusesNumbersTheImageCannotHold) {
  TDoDialogValues relay = DoDefaults(0, LanguageEnglish);
  EXPECT_EQ("", InvalidDoField(relay));
  for (const char* text : {"", "0", "65535"}) {
    relay.CloseTime = text;
    EXPECT_EQ("", InvalidDoField(relay)) << text;
  }
  // Only decimal text is a number; a decimal out of range, however long.
  for (const char* text : {"65536", "-1", "12s", "abc", "$20", "0x10", "99999999999"}) {
    relay.CloseTime = text;
    EXPECT_EQ("lbledt_DO_CloseTime", InvalidDoField(relay)) << text;
  }

  TThDialogValues channel = ThDefaults("Temperature1", 2, LanguageEnglish);
  EXPECT_EQ("", InvalidThField(channel));
  channel.ThresholdLow = "-3276";
  channel.ThresholdHigh = "3276";
  EXPECT_EQ("", InvalidThField(channel));
  for (const char* text : {"3277", "$20", "-99999999999"}) {  // 3277: ten times overflows
    channel.ThresholdHigh = text;
    EXPECT_EQ("lbledt_Th_ThresholdHigh", InvalidThField(channel)) << text;
  }
  channel.ThresholdHigh = "80";
  channel.ThresholdLow = "-4000";
  EXPECT_EQ("lbledt_Th_ThresholdLow", InvalidThField(channel));
  channel.AlarmVerify = "70000";  // named first: the fields are checked in dialog order
  EXPECT_EQ("lbledt_Th_AlarmVerify", InvalidThField(channel));
}

}  // namespace
}  // namespace kv
