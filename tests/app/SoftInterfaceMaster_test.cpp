#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "SettingsSamples.h"
#include "app/ConstLang_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftInterfaceMaster_Unt.h"
#include "app/SoftTelephone_Unt.h"

namespace kv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace kv::samples;

// --- hand-made images: offsets and encodings from the device's layout table ---

void PutU16(Bytes& image, std::size_t offset, int value) {
  image[offset] = static_cast<std::uint8_t>(value & 0xFF);
  image[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Zero-filled field with the given code page 936 bytes from its start.
void PutText(Bytes& image, std::size_t offset, std::size_t width, const std::string& bytes) {
  for (std::size_t i = 0; i < width; ++i) {
    image[offset + i] = i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0;
  }
}

std::vector<int> SlotsOf(int model) {
  std::vector<int> slots;
  if (model == 0) slots = {0, 1, 2, 3, 4, 5, 6, 7};
  if (model == 1) slots = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  if (model == 2) slots = {0, 2, 4, 6, 8, 10, 12, 14};
  return slots;
}

Bytes HandMadeImage(int model) {
  Bytes m(3568, 0xFF);
  PutText(m, 0, 4, "9173");
  PutU16(m, 4, 0x1234);
  m[6] = 8;
  m[7] = 5;
  PutU16(m, 8, 0x2345);
  PutText(m, 34, 60, "Cold store \xB1\xB1\xC7\xF8 #1");
  m[94] = 0x02;
  m[95] = 0xFF;
  PutU16(m, 96, 0x3456);
  PutU16(m, 98, 0);
  PutU16(m, 100, 0);
  const int bits[9] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080, 0x0200};
  for (int k = 0; k < 10; ++k) {
    PutText(m, 102 + 22 * k, 22, "+86138000000" + std::to_string(10 + k));
    int mask = 0;
    for (int f = 0; f < 9; ++f) mask |= PhoneFlag(k, f) ? bits[f] : 0;
    PutU16(m, 322 + 2 * k, mask);
  }
  PutText(m, 342, 40, "Pump");
  PutU16(m, 342 + 40, 1200);
  m[342 + 42] = 0x40;
  m[342 + 43] = 0;
  PutText(m, 342 + 44, 60, "Pump on");
  PutText(m, 342 + 104, 60, "Pump off");
  PutText(m, 506, 40, "Fan");
  PutU16(m, 506 + 40, 2571);
  m[506 + 42] = 0;
  m[506 + 43] = 0;
  PutText(m, 506 + 44, 60, "Fan running");
  PutText(m, 506 + 104, 60, "Fan stopped");
  for (int t = 0; t < 10; ++t) {
    const std::size_t at = 670 + 4 * t;
    if (t < 8) {
      m[at] = static_cast<std::uint8_t>(kTimers[t].WeekCode);
      m[at + 1] = static_cast<std::uint8_t>(kTimers[t].Hour);
      m[at + 2] = static_cast<std::uint8_t>(kTimers[t].Minute);
      m[at + 3] = static_cast<std::uint8_t>(kTimers[t].Action);
    } else {  // an empty row is a disabled timer
      m[at] = 0x80;
      m[at + 1] = 0xFF;
      m[at + 2] = 0xFF;
      m[at + 3] = 0;
    }
  }
  m[710] = 0x82;
  PutText(m, 712, 32, "logger.example.com");
  PutU16(m, 744, 0x4567);
  PutU16(m, 746, 0x5678);
  PutU16(m, 748, 0x6789);
  PutText(m, 750, 20, "ACK");
  PutU16(m, 770, 0x789A);
  const std::vector<int> slots = SlotsOf(model);
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const int s = slots[i];
    const std::string n = std::to_string(i + 1);
    PutText(m, 772 + 40 * s, 40, "Channel " + n);
    PutText(m, 1412 + 40 * s, 40, "High " + n);
    PutText(m, 2052 + 40 * s, 40, "Low " + n);
    PutText(m, 2692 + 40 * s, 40, "Back " + n);
    PutU16(m, 3332 + 2 * s, 100 + static_cast<int>(i));
    m[3364 + s] =
        static_cast<std::uint8_t>((ChannelEnable(i) ? 0x01 : 0) | (ChannelLink1(i) ? 0x10 : 0) |
                                  (ChannelLink2(i) ? 0x20 : 0) | (ChannelRecovery(i) ? 0x40 : 0));
    PutU16(m, 3380 + 2 * s, (30 + static_cast<int>(i)) * 10);
    PutU16(m, 3412 + 2 * s, (-10 - static_cast<int>(i)) * 10);
  }
  PutU16(m, 3446, 0x89AB);
  PutText(m, 3448, 40, "cmnet");
  PutText(m, 3488, 40, "user1");
  PutText(m, 3528, 40, "secret2");
  return m;
}

class MasterImage : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    LanguageFlag = LanguageEnglish;
    RebuildTimerLists();
  }
};

void ExpectSameBytes(const Bytes& expected, const Bytes& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i], actual[i]) << "byte " << i;
  }
}

TEST_P(MasterImage, PacksEveryFieldAtItsOffset) {
  ExpectSameBytes(HandMadeImage(GetParam()),
                  ControlsToMasterImage(FullSettings(GetParam()), GetParam()));
}

TEST_P(MasterImage, UnpacksTheHandMadeImageIntoTheSameSettings) {
  TMasterSettings read = EmptyRows(GetParam());
  MasterImageToControls(HandMadeImage(GetParam()), GetParam(), read);
  const TMasterSettings expected = FullSettings(GetParam());
  EXPECT_EQ(expected.lvTel, read.lvTel);
  EXPECT_EQ(expected.lvDo, read.lvDo);
  EXPECT_EQ(expected.lvTimer, read.lvTimer);
  EXPECT_EQ(expected.lvTh, read.lvTh);
  EXPECT_TRUE(expected == read);
}

INSTANTIATE_TEST_SUITE_P(Models, MasterImage, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return "KV4" + std::to_string(info.param + 1); });

class MasterImageCases : public ::testing::Test {
 protected:
  void SetUp() override {
    LanguageFlag = LanguageEnglish;
    RebuildTimerLists();
  }
};

TEST_F(MasterImageCases, ErasedImageReadsAsTheDeviceDefaults) {
  TMasterSettings s = EmptyRows(0);
  s.lbledt_Main_Password = "1234";
  MasterImageToControls(Bytes(3568, 0xFF), 0, s);
  EXPECT_EQ("", s.lbledt_Main_Password);
  EXPECT_EQ("65535", s.lbledt_DeviseID);
  EXPECT_FALSE(s.chk_ReportTime);
  EXPECT_TRUE(s.chk_SmsReportInterMin);
  EXPECT_EQ("65535", s.lbledt_SmsReportInterMin);
  EXPECT_TRUE(s.chk_AutoAlarmAfterDisarm);
  EXPECT_EQ("65535", s.lbledt_AutoMintues);
  EXPECT_EQ("", s.lvTel[3].Cell(1));
  for (int c = 2; c <= 10; ++c) EXPECT_EQ(kTick, s.lvTel[3].Cell(c));
  EXPECT_EQ("65535", s.lvDo[1].Cell(2));
  EXPECT_EQ("", s.lvDo[1].Cell(6));
  EXPECT_EQ("", s.lvTimer[0].Cell(1));  // disabled timers untouched
  EXPECT_EQ(1, s.cbb_GPRS_TcpUdp);
  EXPECT_EQ("65535", s.lbledt_TcpPort);
  EXPECT_EQ("65535", s.lbledt_PwrOffTime);
  EXPECT_EQ("65535", s.lbledt_SaveRecordInterSec);
  for (int c : {3, 10, 11, 12}) EXPECT_EQ(kTick, s.lvTh[5].Cell(c));
  EXPECT_EQ("65535", s.lvTh[5].Cell(4));
  EXPECT_EQ("0", s.lvTh[5].Cell(5));
  EXPECT_EQ("0", s.lvTh[5].Cell(6));
}

TEST_F(MasterImageCases, PhoneNumberKeepsOnlyPlusAndDigitsWhenRead) {
  TMasterSettings s = EmptyRows(0);
  s.lvTel[0].SetCell(1, "+86 138-0013");
  const Bytes image = ControlsToMasterImage(s, 0);
  EXPECT_EQ(Bytes({'+', '8', '6', ' ', '1', '3', '8', '-', '0', '0', '1', '3', 0}),
            Bytes(image.begin() + 102, image.begin() + 115));
  MasterImageToControls(image, 0, s);
  EXPECT_EQ("+861380013", s.lvTel[0].Cell(1));
}

TEST_F(MasterImageCases, ThresholdsAreStoredInSignedTenths) {
  struct Case {
    const char* Cell;
    std::uint8_t Low, High;
  };
  const Case cases[] = {{"80", 0x20, 0x03}, {"-55", 0xDA, 0xFD}, {"-40", 0x70, 0xFE}, {"x", 0, 0}};
  for (const Case& c : cases) {
    TMasterSettings s = EmptyRows(0);
    s.lvTh[0].SetCell(5, c.Cell);
    const Bytes image = ControlsToMasterImage(s, 0);
    EXPECT_EQ(c.Low, image[3380]) << c.Cell;
    EXPECT_EQ(c.High, image[3381]) << c.Cell;
  }
  Bytes image(3568, 0xFF);
  PutU16(image, 3380, 805);
  PutU16(image, 3412, -555);
  TMasterSettings s = EmptyRows(0);
  MasterImageToControls(image, 0, s);
  EXPECT_EQ("80", s.lvTh[0].Cell(5));
  EXPECT_EQ("-55", s.lvTh[0].Cell(6));
}

TEST_F(MasterImageCases, Kv43UsesEvenSlotsOnly) {
  TMasterSettings s = EmptyRows(2);
  s.lvTh[3].SetCell(1, "T4");
  const Bytes image = ControlsToMasterImage(s, 2);
  EXPECT_EQ('T', image[772 + 40 * 6]);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(0xFF, image[772 + 40 * 7 + i]);
  EXPECT_EQ(0xFF, image[3364 + 7]);
}

TEST_F(MasterImageCases, SimpleFieldsFollowTheirDocumentedRules) {
  TMasterSettings s = EmptyRows(0);
  s.lbledt_Main_Password = "123456";
  s.lbledt_GprsBeatHeart = "abc";
  s.lvTh[0].SetCell(4, "abc");
  s.chk_PwrOffTime = false;
  s.lbledt_PwrOffTime = "12";
  s.lvTimer[2].SubItems = {kTick, "Everyday", "7", "30", "5.Arm"};
  Bytes image = ControlsToMasterImage(s, 0);
  EXPECT_EQ(Bytes({'1', '2', '3', '4'}), Bytes(image.begin(), image.begin() + 4));
  EXPECT_EQ(0xFF, image[6]);
  EXPECT_EQ(0xFF, image[7]);
  EXPECT_EQ(2, image[746]);
  EXPECT_EQ(0, image[747]);
  EXPECT_EQ(2, image[3332]);
  EXPECT_EQ(999, image[770] | image[771] << 8);
  EXPECT_EQ(Bytes({0x0F, 0x07, 0x1E, 0x05}), Bytes(image.begin() + 678, image.begin() + 682));
  EXPECT_EQ(0xFF, image[710]);  // no transport and no protocol chosen
  s.chk_ReportTime = true;
  s.dtp_RePortTime = {8, 5, 0};
  image = ControlsToMasterImage(s, 0);
  EXPECT_EQ(8, image[6]);
  EXPECT_EQ(5, image[7]);
}

// The last hour and minute of the day are a report time like any other: read
// from the device, the box stays ticked, and a write keeps the time.
TEST_F(MasterImageCases, ReportTimeInTheLastHourIsReadAndWrittenBack) {
  Bytes image(3568, 0xFF);
  image[6] = 23;
  image[7] = 59;
  TMasterSettings s = EmptyRows(0);
  MasterImageToControls(image, 0, s);
  ASSERT_TRUE(s.chk_ReportTime);
  EXPECT_EQ(23, s.dtp_RePortTime.Hour);
  EXPECT_EQ(59, s.dtp_RePortTime.Minute);
  const Bytes written = ControlsToMasterImage(s, 0);
  EXPECT_EQ(23, written[6]);
  EXPECT_EQ(59, written[7]);
}

TEST_F(MasterImageCases, ShortImageIsRefusedAndChangesNothing) {
  TMasterSettings s = FullSettings(0);
  const TMasterSettings before = s;
  EXPECT_THROW(MasterImageToControls(Bytes(3567, 0), 0, s), EDataError);
  EXPECT_TRUE(before == s);
  EXPECT_THROW(MasterImageToControls(Bytes(), 0, s), EDataError);
  // Longer gathers (14 blocks of 256) read only the first 3568 bytes.
  Bytes longer = HandMadeImage(0);
  longer.resize(3584, 0x00);
  TMasterSettings read = EmptyRows(0);
  MasterImageToControls(longer, 0, read);
  EXPECT_TRUE(FullSettings(0) == read);
}

TEST_F(MasterImageCases, OutOfRangeNumbersAreRefusedNamingTheField) {
  struct Case {
    void (*Set)(TMasterSettings&);
    const char* Field;
  };
  const Case cases[] = {
      {[](TMasterSettings& s) { s.lbledt_TcpPort = "70000"; }, "lbledt_TcpPort"},
      {[](TMasterSettings& s) { s.lbledt_DeviseID = "-1"; }, "lbledt_DeviseID"},
      {[](TMasterSettings& s) { s.lbledt_GprsBeatHeart = "65536"; }, "lbledt_GprsBeatHeart"},
      {[](TMasterSettings& s) {
         s.chk_SaveRecordInterSec = true;
         s.lbledt_SaveRecordInterSec = "99999";
       },
       "lbledt_SaveRecordInterSec"},
      {[](TMasterSettings& s) { s.lvDo[1].SetCell(2, "65536"); },
       "lvDo DOUT2: Close Time(Range:0~9999s)"},
      {[](TMasterSettings& s) { s.lvTh[2].SetCell(5, "3277"); },
       "lvTh Temperature2: Threshold High"},
      {[](TMasterSettings& s) { s.lvTh[1].SetCell(6, "-3277"); }, "lvTh Humidity1: Threshold Low"},
      {[](TMasterSettings& s) { s.lvTh[0].SetCell(4, "70000"); },
       "lvTh Temperature1: Alarm Verify Time(Range:0~999s)"},
      // However long: a decimal too long for any integer is no less out of range.
      {[](TMasterSettings& s) { s.lbledt_TcpPort = "99999999999"; }, "lbledt_TcpPort"},
      {[](TMasterSettings& s) { s.lvTh[2].SetCell(6, "-99999999999999999999999"); },
       "lvTh Temperature2: Threshold Low"},
  };
  for (const Case& c : cases) {
    TMasterSettings s = EmptyRows(0);
    c.Set(s);
    try {
      ControlsToMasterImage(s, 0);
      ADD_FAILURE() << "no error for " << c.Field;
    } catch (const EInputError& e) {
      EXPECT_EQ(c.Field, e.Field());
      EXPECT_EQ(std::string("Input Error: ") + c.Field, e.what());
    }
  }
  // An unchecked box's edit is not written, so its text is not checked.
  TMasterSettings s = EmptyRows(0);
  s.lbledt_PwrOffTime = "100000";
  EXPECT_NO_THROW(ControlsToMasterImage(s, 0));
  // Limits themselves are accepted.
  s.lbledt_TcpPort = "65535";
  s.lvTh[0].SetCell(5, "3276");
  s.lvTh[0].SetCell(6, "-3276");
  const Bytes image = ControlsToMasterImage(s, 0);
  EXPECT_EQ(0xFF, image[744]);
  EXPECT_EQ(0xFF, image[745]);
}

// Only decimal text is a number: "$20" and "0x10" are written as the field's
// default, as any other text that is no number, with no message.
TEST_F(MasterImageCases, TextsThatAreNoDecimalAreWrittenAsTheFieldDefault) {
  using Set = void (*)(TMasterSettings&, const std::string&);
  const std::tuple<Set, std::size_t, int> fields[] = {
      {[](TMasterSettings& s, const std::string& t) { s.lbledt_TcpPort = t; }, 744, 0},
      {[](TMasterSettings& s, const std::string& t) { s.lbledt_GprsBeatHeart = t; }, 746, 2},
      {[](TMasterSettings& s, const std::string& t) { s.lvDo[0].SetCell(2, t); }, 382, 0},
      {[](TMasterSettings& s, const std::string& t) { s.lvTh[0].SetCell(4, t); }, 3332, 2},
      {[](TMasterSettings& s, const std::string& t) { s.lvTh[0].SetCell(5, t); }, 3380, 0},
  };
  for (const char* text : {"$20", "0x10", "0X10", "-$1", "1e3"}) {
    for (const auto& [set, offset, def] : fields) {
      TMasterSettings s = EmptyRows(0);
      set(s, text);
      const Bytes image = ControlsToMasterImage(s, 0);
      EXPECT_EQ(def, image[offset] | image[offset + 1] << 8) << text << " at " << offset;
    }
  }
}

TEST_F(MasterImageCases, CodesOutsideTheListsAreShownOrLeftEmptyAndTheRestIsRead) {
  Bytes image(3568, 0xFF);
  const std::uint8_t timers[] = {0x09, 7,    30,   5,     // week code 9
                                 0x01, 7,    30,   11,    // action 11
                                 0x02, 7,    30,   0xFF,  // action 0xFF
                                 0x03, 0xFF, 0xFF, 2,     // no time
                                 0x04, 24,   60,   3,     // no clock time
                                 0x05, 254,  254,  4};
  std::copy(std::begin(timers), std::end(timers), image.begin() + 670);
  image[6] = 24;  // an hour no picker shows
  image[7] = 0;
  PutU16(image, 744, 502);  // a field after the timers
  TMasterSettings s = EmptyRows(0);
  MasterImageToControls(image, 0, s);
  EXPECT_EQ((std::vector<std::string>{kTick, "", "7", "30", "5.Arm", ""}), s.lvTimer[0].SubItems);
  EXPECT_EQ((std::vector<std::string>{kTick, "Monday", "7", "30", "", ""}), s.lvTimer[1].SubItems);
  EXPECT_EQ("", s.lvTimer[2].Cell(5));
  EXPECT_EQ((std::vector<std::string>{kTick, "Wednesday", "", "", "2.Auto Report By SMS", ""}),
            s.lvTimer[3].SubItems);
  // Hour and minute bytes show as they stand, unless 0xFF ("none").
  EXPECT_EQ((std::vector<std::string>{kTick, "Thursday", "24", "60", "3.Save Historical Data", ""}),
            s.lvTimer[4].SubItems);
  EXPECT_EQ("254", s.lvTimer[5].Cell(3));
  EXPECT_EQ("254", s.lvTimer[5].Cell(4));
  // Written back, a text outside the hour and minute lists is "none".
  const Bytes written = ControlsToMasterImage(s, 0);
  EXPECT_EQ(0xFF, written[670 + 4 * 4 + 1]);
  EXPECT_EQ(0xFF, written[670 + 4 * 4 + 2]);
  EXPECT_FALSE(s.chk_ReportTime);
  EXPECT_EQ("502", s.lbledt_TcpPort);
}

// Text bytes are copied as they stand, whether or not they are code page
// 936 text: half a character at a field's end, a lone lead byte, a pair
// that maps to nothing, 0x80. A read then a write gives the device's bytes.
TEST_F(MasterImageCases, TextBytesThatAreNoCharactersComeBackAsTheyWere) {
  Bytes image = HandMadeImage(0);
  const auto put = [&](std::size_t at, std::size_t width, std::string_view bytes) {
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(at), width, 0);
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
  };
  put(34, 60, std::string(59, 'D') + "\xB2");  // the field's end cuts a character
  put(1412, 40, "Hot \x80\xA1\x30 \xFE\xFE");  // high-alarm text of slot 0
  put(342, 40, "\x81\x20pump");                // relay name
  put(3448, 40, "apn\xAA\xA1");                // a pair the code page leaves empty
  TMasterSettings s = EmptyRows(0);
  MasterImageToControls(image, 0, s);
  EXPECT_EQ(image, ControlsToMasterImage(s, 0));
}

TEST_F(MasterImageCases, TextsAreCutAtACharacterBoundary) {
  TMasterSettings s = EmptyRows(0);
  // "A" then 温度 (CE C2 B6 C8): four bytes fit, the second character does not.
  s.lbledt_Main_Password = "A\xE6\xB8\xA9\xE5\xBA\xA6";
  s.lbledt_HeartCont = "   ";
  const Bytes image = ControlsToMasterImage(s, 0);
  EXPECT_EQ(Bytes({'A', 0xCE, 0xC2, 0x00}), Bytes(image.begin(), image.begin() + 4));
  EXPECT_EQ(Bytes(20, 0), Bytes(image.begin() + 750, image.begin() + 770));
  MasterImageToControls(image, 0, s);
  EXPECT_EQ("A\xE6\xB8\xA9", s.lbledt_Main_Password);
}

TEST_F(MasterImageCases, Kv43WithSixteenRowsTouchesOnlyTheSixteenSlots) {
  // Rows built for a KV42 while the model is now a KV43.
  TMasterSettings s = EmptyRows(1);
  for (std::size_t i = 0; i < s.lvTh.size(); ++i) s.lvTh[i].SetCell(1, "R" + std::to_string(i));
  s.lvTh[0].SetCell(7, "H");
  const Bytes image = ControlsToMasterImage(s, 2);
  EXPECT_EQ('R', image[772 + 40 * 14]);
  EXPECT_EQ('7', image[772 + 40 * 14 + 1]);
  EXPECT_EQ('H', image[1412]);   // a seventeenth name slot would overwrite this
  EXPECT_EQ(0xFF, image[3444]);  // and a seventeenth low threshold this
  EXPECT_EQ(0xFF, image[3445]);
  TMasterSettings read = EmptyRows(1);
  MasterImageToControls(image, 2, read);
  EXPECT_EQ("R7", read.lvTh[7].Cell(1));
  EXPECT_EQ("", read.lvTh[8].Cell(1));
  EXPECT_EQ("", read.lvTh[15].Cell(1));
}

TEST_F(MasterImageCases, TimerCellsOfTheOtherLanguagePackToTheirCodes) {
  TMasterSettings s = EmptyRows(0);
  s.lvTimer[0].SubItems = {kTick, "Friday", "1", "2", "9.DO2 Close(ON)"};
  s.lvTimer[1].SubItems = {kTick, "\xE4\xBA\x94", "1", "2",
                           "6.\xE6\x92\xA4\xE9\x98\xB2"};  // 五, 6.撤防
  LanguageFlag = LanguageChinese;
  RebuildTimerLists();
  Bytes image = ControlsToMasterImage(s, 0);
  EXPECT_EQ(Bytes({5, 1, 2, 9, 5, 1, 2, 6}), Bytes(image.begin() + 670, image.begin() + 678));
  LanguageFlag = LanguageEnglish;
  RebuildTimerLists();
  image = ControlsToMasterImage(s, 0);
  EXPECT_EQ(Bytes({5, 1, 2, 9, 5, 1, 2, 6}), Bytes(image.begin() + 670, image.begin() + 678));
}

// Values the controls show but cannot hold go back to the device as they
// came, unless the user changed what the control shows.
TEST_F(MasterImageCases, DeviceValuesTheControlsCannotHoldAreWrittenBackUntilEdited) {
  struct Case {
    const char* Name;
    std::size_t Offset;
    Bytes Device;                    // bytes at Offset in the device's image
    void (*Edit)(TMasterSettings&);  // what the user changes, then
    Bytes Edited;                    // what the write sends
  };
  const Case cases[] = {
      {"high threshold 80.5", 3380, {0x25, 0x03},
       [](TMasterSettings& s) { s.lvTh[0].SetCell(5, "81"); }, {0x2A, 0x03}},
      {"low threshold -3276.8", 3412 + 2 * 3, {0x00, 0x80},
       [](TMasterSettings& s) { s.lvTh[3].SetCell(6, "-5"); }, {0xCE, 0xFF}},
      {"report hour 24", 6, {24, 0},
       [](TMasterSettings& s) {
         s.chk_ReportTime = true;
         s.dtp_RePortTime = {9, 0, 0};
       },
       {9, 0}},
      {"report minute only", 6, {0xFF, 30},
       [](TMasterSettings& s) {
         s.chk_ReportTime = true;
         s.dtp_RePortTime = {7, 15, 0};
       },
       {7, 15}},
      {"protocol 3 over UDP", 710, {0x83},
       [](TMasterSettings& s) { s.cbb_GPRSCommunication_Proctocol = 1; }, {0x81}},
      {"protocol 14 over TCP", 710, {0x0E},
       [](TMasterSettings& s) { s.cbb_GPRS_TcpUdp = 1; }, {0x8E}},
      {"disabled timer", 670 + 4 * 9, {0x81, 7, 30, 5},
       [](TMasterSettings& s) { s.lvTimer[9].SubItems = {"", "Tuesday", "8", "0", "6.Disarm"}; },
       {0x82, 8, 0, 6}},
      {"erased timer", 670 + 4 * 8, {0xFF, 0xFF, 0xFF, 0xFF},
       [](TMasterSettings& s) { s.lvTimer[8].SubItems = {kTick, "Everyday", "1", "2", "3.Save Historical Data"}; },
       {0x0F, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Bytes device = HandMadeImage(0);
    std::copy(c.Device.begin(), c.Device.end(), device.begin() + static_cast<long>(c.Offset));
    TMasterSettings s = EmptyRows(0);
    MasterImageToControls(device, 0, s);
    Bytes image = ControlsToMasterImage(s, 0);
    KeepDeviceValues(device, 0, s, image);
    EXPECT_EQ(device, image);
    c.Edit(s);
    image = ControlsToMasterImage(s, 0);
    KeepDeviceValues(device, 0, s, image);
    EXPECT_EQ(c.Edited, Bytes(image.begin() + static_cast<long>(c.Offset),
                              image.begin() + static_cast<long>(c.Offset + c.Edited.size())));
  }
  // Nothing read: the image stays as the settings make it.
  TMasterSettings s = FullSettings(0);
  Bytes image = ControlsToMasterImage(s, 0);
  KeepDeviceValues({}, 0, s, image);
  EXPECT_EQ(HandMadeImage(0), image);
}

TEST_F(MasterImageCases, UnknownModelTouchesNoChannelSlot) {
  TMasterSettings s = FullSettings(0);
  const Bytes image = ControlsToMasterImage(s, -1);
  for (std::size_t i = 772; i < 3444; ++i) EXPECT_EQ(0xFF, image[i]) << i;
}

}  // namespace
}  // namespace kv
