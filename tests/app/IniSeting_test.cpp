#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "SettingsSamples.h"
#include "app/ConstLang_Unt.h"
#include "app/IniSeting_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "base/IniFiles.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

using namespace kv::samples;

class IniProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    LanguageFlag = LanguageEnglish;
    RebuildTimerLists();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = GetTempFolder() + "kv_profile_" + info->name() + ".ini";
    DeleteFileUtf8(path_);
    profile_.Now = [] { return TTimeOfDay{13, 14, 15}; };
  }
  void TearDown() override { DeleteFileUtf8(path_); }

  std::string path_;
  TIniSeting profile_;
};

TEST_F(IniProfile, SavedSettingsLoadBackUnchanged) {
  for (int model : {0, 1, 2}) {
    DeleteFileUtf8(path_);
    TMasterSettings saved = FullSettings(model);
    saved.chk_ShowPassword = true;
    saved.lvDo[0].SetCell(3, "Close");  // current state is a cell like any other here
    profile_.SaveProfile(path_, saved);
    TMasterSettings loaded = EmptyRows(model);
    profile_.LoadProfile(path_, loaded);
    EXPECT_EQ(saved.lvTh, loaded.lvTh) << model;
    EXPECT_EQ(saved.lvTimer, loaded.lvTimer);
    EXPECT_TRUE(saved == loaded) << model;
  }
}

TEST_F(IniProfile, ValuesAreWrittenInTheProfileFormat) {
  TMasterSettings s = EmptyRows(0);
  s.lbledt_Main_Password = "9173";
  s.chk_Auto_Armed = true;
  s.cbb_GPRS_TcpUdp = -1;
  s.cbb_GPRSCommunication_Proctocol = 2;
  s.dtp_RePortTime = {8, 5, 0};
  s.lvTh[0].SubItems = {" High Alarm ", "", "80", "", "", "", "", "", "", "", "", ""};
  s.lvTh[1].SetCell(1, "\xE6\xB8\xA9\xE5\xBA\xA6");  // 温度
  profile_.SaveProfile(path_, s);
  const TIniFile ini(path_);
  EXPECT_EQ("9173", ini.ReadString("Value", "lbledt_Main_Password", "?"));
  EXPECT_EQ("1", ini.ReadString("Value", "chk_Auto_Armed", "?"));
  EXPECT_EQ("0", ini.ReadString("Value", "chk_ShowPassword", "?"));
  EXPECT_EQ("-1", ini.ReadString("Value", "cbb_GPRS_TcpUdp", "?"));
  EXPECT_EQ("2", ini.ReadString("Value", "cbb_GPRSCommunication_Proctocol", "?"));
  EXPECT_EQ("08:05:00", ini.ReadString("Value", "dtp_RePortTime", "?"));
  EXPECT_EQ("High Alarm^~^80^~^~^~^~^~^~^~^~^~^", ini.ReadString("lvTh", "Temperature1", "?"));
  EXPECT_EQ("~^~^~^~^~^~^~^~^~^~^", ini.ReadString("lvTel", "1", "?"));
  EXPECT_EQ("~^~^~^~^~^", ini.ReadString("lvTimer", "10", "?"));
  // Code page 936 on disk.
  EXPECT_NE(std::string::npos, ReadFileBytes(path_).find("Humidity1=\xCE\xC2\xB6\xC8^"));
}

// Bytes a device sent that are no code page 936 text (half a character at a
// field's end, 0xFF) reach the profile as they are and load back the same.
// Whole characters, the tick and extension characters included, stay whole.
TEST_F(IniProfile, BytesThatAreNoTextAreSavedAndLoadedAsTheyCame) {
  TMasterSettings s = EmptyRows(0);
  s.lbledt_Master_DevDes = GbkToUtf8("Pump\xB2");
  s.lvTh[0].SetCell(1, GbkToUtf8("T\xA1\xFF"));
  s.lvTh[0].SetCell(7, GbkToUtf8("\xCE\xC2\xB6\x30"));  // 温, half of 度, "0"
  s.lvTh[0].SetCell(8, GbkToUtf8("\xA1\xCC\x81\x40"));  // √ and an extension character
  // Half a character before the caret that ends its field keeps its byte
  // where the two bytes form no character (A9 5E with the native mapping;
  // Windows maps every such pair to a user-defined character).
  const bool halfStandsAlone = GbkToUtf8("\xA9^").ends_with('^');
  if (halfStandsAlone) s.lvTh[0].SetCell(9, GbkToUtf8("cut\xA9"));
  profile_.SaveProfile(path_, s);
  const std::string bytes = ReadFileBytes(path_);
  EXPECT_NE(std::string::npos, bytes.find("lbledt_Master_DevDes=Pump\xB2\r\n"));
  EXPECT_NE(std::string::npos, bytes.find("Temperature1=T\xA1\xFF^"));
  TMasterSettings loaded = EmptyRows(0);
  profile_.LoadProfile(path_, loaded);
  EXPECT_EQ(s.lbledt_Master_DevDes, loaded.lbledt_Master_DevDes);
  EXPECT_EQ(s.lvTh[0].SubItems, loaded.lvTh[0].SubItems);
}

const std::pair<TListRows TMasterSettings::*, const char*> kLists[] = {
    {&TMasterSettings::lvDo, "lvDo"},
    {&TMasterSettings::lvTh, "lvTh"},
    {&TMasterSettings::lvTel, "lvTel"},
    {&TMasterSettings::lvTimer, "lvTimer"}};

// Characters whose second byte is the caret's (0x5E) are characters, not
// field ends, wherever they stand in a cell of any list view.
TEST_F(IniProfile, CharactersEndingInTheCaretByteLoadBackCellForCell) {
  const std::pair<const char*, const char*> characters[] = {{"\xC0\x5E", "繼"}, {"\x85\x5E", "區"},
                                                            {"\xEE\x5E", "頭"}, {"\xDF\x5E", "過"},
                                                            {"\xD3\x5E", "觀"}, {"\xF0\x5E", "館"}};
  const auto& lists = kLists;
  for (const auto& [gbk, utf8] : characters) {
    const std::string ch = GbkToUtf8(gbk);
    ASSERT_EQ(utf8, ch);
    // As in a relay named 繼電器1: alone, first, last, doubled, and beside
    // an empty cell, in every column the profile holds.
    const std::string kinds[] = {ch + "電器1", ch, "5", "", "開" + ch, ch + ch};
    TMasterSettings saved = EmptyRows(1);
    for (const auto& [list, name] : lists) {
      const std::size_t columns = ListColumnTexts(name, LanguageEnglish).size();
      for (std::size_t k = 0; k + 1 < columns; ++k)
        (saved.*list)[1].SubItems[k] = kinds[k % std::size(kinds)];
    }
    DeleteFileUtf8(path_);
    profile_.SaveProfile(path_, saved);
    TMasterSettings loaded = EmptyRows(1);
    profile_.LoadProfile(path_, loaded);
    for (const auto& [list, name] : lists)
      EXPECT_EQ((saved.*list)[1].SubItems, (loaded.*list)[1].SubItems) << name << " " << utf8;
  }
}

// A cell that would split at its caret, load as an empty cell, or take the
// caret that ends it as its second byte loads back as it was, in the first,
// a middle and the last column of every list view.
TEST_F(IniProfile, CellsOfAnyTextLoadBackCellForCell) {
  const std::string cells[] = {"^",
                               "SMS a^b",
                               "~",
                               GbkToUtf8("Pump\xA9"),          // half a character at its end
                               GbkToUtf8("\xB2"),              // and nothing else
                               GbkToUtf8("T\xA1\xFF\xFE"),      // stray bytes, then half
                               "two\r\nlines",
                               "\xF0\x9F\x98\x80 beyond 936",  // 😀
                               "~a%5Eb",                       // what a stored "a^b" looks like
                               "50%7E~"};
  const char* const where[] = {"first", "middle", "last"};
  for (const std::string& cell : cells) {
    for (int position = 0; position < 3; ++position) {
      TMasterSettings saved = FullSettings(1);
      for (const auto& [list, name] : kLists) {
        const int last = static_cast<int>(ListColumnTexts(name, LanguageEnglish).size()) - 1;
        const int columns[] = {1, last / 2 + 1, last};  // lvTh's middle: the high-alarm text
        (saved.*list)[0].SetCell(columns[position], cell);
      }
      DeleteFileUtf8(path_);
      profile_.SaveProfile(path_, saved);
      TMasterSettings loaded = EmptyRows(1);
      profile_.LoadProfile(path_, loaded);
      for (const auto& [list, name] : kLists)
        EXPECT_EQ((saved.*list)[0].SubItems, (loaded.*list)[0].SubItems)
            << name << ", " << where[position] << " column: " << cell;
    }
  }
}

// Cells that load back as they stand are written as they always were, so a
// profile without any of the cells above is the same file as before, and
// profiles written before load as they did, a row a caret shifted included.
TEST_F(IniProfile, RowsWithoutSuchCellsAreStoredAndLoadedAsBefore) {
  const std::pair<const char*, std::vector<std::string>> rows[] = {  // code page 936
      {"a~b^~x^50%^~ 30%^\xC0\x5E\xB5\xE7^\xA1\xCC^",
       {"a~b", "~x", "50%", "~ 30%", "\xC0\x5E\xB5\xE7", "\xA1\xCC"}},
      {"High Alarm^~^~%zz^%7E^~50%^T\xA1\xFF^", {"High Alarm", "", "~%zz", "%7E", "~50%", "T\xA1\xFF"}},
      {"\xA9 1^~abc^~~^a %5E^~^x\ty^", {"\xA9 1", "~abc", "~~", "a %5E", "", "x\ty"}},
      {"SMS a^b^~^x^~^~^", {"SMS a", "b", "", "x", "", ""}},  // "SMS a^b" saved before
  };
  for (const auto& [value, cells] : rows) {
    TMasterSettings s = EmptyRows(0);
    for (std::size_t k = 0; k < cells.size(); ++k) s.lvDo[0].SubItems[k] = GbkToUtf8(cells[k]);
    profile_.SaveProfile(path_, s);
    const std::string line = std::string("DOUT1=") + value + "\r\n";
    EXPECT_NE(std::string::npos, ReadFileBytes(path_).find(line)) << value;
    const TListRow saved = s.lvDo[0];
    std::fill_n(s.lvDo[0].SubItems.begin(), cells.size(), "old");
    WriteFileBytes(path_, "[lvDo]\r\n" + line);
    profile_.LoadProfile(path_, s);
    EXPECT_EQ(saved, s.lvDo[0]) << value;
  }
}

// Read Setting, Export Profile, Load Profile, Write Setting: the device gets
// back the bytes it sent, half characters and carets in its texts included,
// and every alarm keeps its relay links.
TEST_F(IniProfile, DeviceTextsGoBackByteForByteThroughAProfile) {
  TMasterSettings device = FullSettings(1);
  device.lvDo[0].SetCell(DoColName, GbkToUtf8(std::string(39, 'R') + "\xA9"));  // fills its field
  device.lvDo[1].SetCell(DoColOpenDes, GbkToUtf8("Fan \xB2"));
  device.lvTh[0].SetCell(ThColHighSms, "Too hot ^_^");
  device.lvTh[1].SetCell(ThColName, GbkToUtf8("\xCE\xC2\xB6"));
  device.lvDo[1].SetCell(DoColCloseDes, "~");
  const std::vector<std::uint8_t> image = ControlsToMasterImage(device, 1);
  ASSERT_EQ(0xA9, image[master::Relays + master::RelayName + master::RelayNameWidth - 1]);

  TMasterSettings read = EmptyRows(1);
  MasterImageToControls(image, 1, read);
  profile_.SaveProfile(path_, read);
  TMasterSettings loaded = EmptyRows(1);
  profile_.LoadProfile(path_, loaded);
  const std::vector<std::uint8_t> written = ControlsToMasterImage(loaded, 1);
  const auto changed = std::mismatch(image.begin(), image.end(), written.begin(), written.end());
  EXPECT_TRUE(image == written) << "first changed byte: " << changed.first - image.begin();
}

// Edit texts with blanks at an end or in quotes, as a device may hold them,
// load back as they were; other texts are written as they stand.
TEST_F(IniProfile, EditTextsWithOuterBlanksOrQuotesLoadBackAsTheyWere) {
  struct Case {
    const char* Text;
    const char* Written;
  };
  const Case cases[] = {{" Cold store ", "\" Cold store \""},
                        {"\"ACK\"", "\"\"ACK\"\""},
                        {"'apn'", "\"'apn'\""},
                        {"\t", "\"\t\""},
                        {"a \"b\" c", "a \"b\" c"},
                        {"\"x", "\"x"},
                        {"", ""}};
  for (const Case& c : cases) {
    DeleteFileUtf8(path_);
    TMasterSettings s = EmptyRows(0);
    s.lbledt_Master_DevDes = c.Text;
    s.lbledt_HeartCont = c.Text;
    profile_.SaveProfile(path_, s);
    EXPECT_NE(std::string::npos,
              ReadFileBytes(path_).find("lbledt_HeartCont=" + std::string(c.Written) + "\r\n"))
        << c.Text;
    TMasterSettings loaded = EmptyRows(0);
    profile_.LoadProfile(path_, loaded);
    EXPECT_EQ(c.Text, loaded.lbledt_Master_DevDes);
    EXPECT_EQ(c.Text, loaded.lbledt_HeartCont);
  }
}

TEST_F(IniProfile, FileNameGetsIniUnlessItHoldsIt) {
  EXPECT_EQ("a.ini", ProfileFileName("a"));
  EXPECT_EQ("a.ini", ProfileFileName("a.ini"));
  EXPECT_EQ("a.INI", ProfileFileName("a.INI"));
  EXPECT_EQ("a.Ini", ProfileFileName("a.Ini"));
  EXPECT_EQ("x.ini.bak", ProfileFileName("x.ini.bak"));
  TMasterSettings s = EmptyRows(0);
  s.lbledt_TcpPort = "502";
  const std::string base = path_.substr(0, path_.size() - 4);
  profile_.SaveProfile(base, s);
  EXPECT_TRUE(FileExists(path_));
}

TEST_F(IniProfile, HandEditedRowsLoadWhatFits) {
  WriteFileBytes(path_,
                 "[lvDo]\r\nDOUT1=Pump^5^x^Off^On^\xA1\xCC^extra^more^\r\nDOUT9=ghost^\r\n"
                 "DOUT2=^^^\r\n[lvTimer]\r\n  2 = ~^Friday\r\n");
  TMasterSettings s = EmptyRows(0);
  s.lvDo[1].SetCell(1, "kept");
  s.lvTimer[0].SetCell(2, "kept");
  s.lvTimer[1].SetCell(1, "was set");
  profile_.LoadProfile(path_, s);
  EXPECT_EQ((std::vector<std::string>{"Pump", "5", "x", "Off", "On", kTick, ""}),
            s.lvDo[0].SubItems);
  EXPECT_EQ("kept", s.lvDo[1].Cell(1));  // a value of carets only sets nothing
  EXPECT_EQ("kept", s.lvTimer[0].Cell(2));
  EXPECT_EQ("", s.lvTimer[1].Cell(1));
  EXPECT_EQ("Friday", s.lvTimer[1].Cell(2));
  EXPECT_EQ("", s.lvTimer[1].Cell(3));  // columns without a field keep theirs
}

TEST_F(IniProfile, SectionNamesCompareExactly) {
  WriteFileBytes(path_, "[LVDO]\r\nDOUT1=Pump^\r\n");
  TMasterSettings s = EmptyRows(0);
  profile_.LoadProfile(path_, s);
  EXPECT_EQ("", s.lvDo[0].Cell(1));
}

TEST_F(IniProfile, SavingKeepsKeysItDoesNotWrite) {
  WriteFileBytes(path_, "[Value]\r\nOldKey=old\r\n[Other]\r\nA=1\r\n");
  profile_.SaveProfile(path_, EmptyRows(0));
  const TIniFile ini(path_);
  EXPECT_EQ("old", ini.ReadString("Value", "OldKey", ""));
  EXPECT_EQ("1", ini.ReadString("Other", "A", ""));
}

TEST_F(IniProfile, MissingKeysTakeTheControlDefaults) {
  WriteFileBytes(path_, "[Value]\r\ncbb_GPRS_TcpUdp=0x1\r\nchk_ReportTime=7\r\n");
  TMasterSettings s = FullSettings(0);
  const TListRows rows = s.lvTh;
  profile_.LoadProfile(path_, s);
  EXPECT_EQ("", s.lbledt_Main_Password);
  EXPECT_EQ("", s.lbledt_Gprs_IP);
  EXPECT_FALSE(s.chk_AutoAlarmAfterDisarm);
  EXPECT_TRUE(s.chk_ReportTime);
  EXPECT_EQ(1, s.cbb_GPRS_TcpUdp);
  EXPECT_EQ(0, s.cbb_GPRSCommunication_Proctocol);
  EXPECT_EQ((TTimeOfDay{13, 14, 15}), s.dtp_RePortTime);
  EXPECT_EQ(rows, s.lvTh);  // lists without a section keep their rows
}

TEST_F(IniProfile, UpperCaseExtensionNamesTheFileItself) {
  const std::string upper = path_.substr(0, path_.size() - 4) + ".INI";
  TMasterSettings saved = FullSettings(0);
  profile_.SaveProfile(upper, saved);
  TMasterSettings loaded = EmptyRows(0);
  profile_.LoadProfile(upper, loaded);
  EXPECT_EQ(saved.lbledt_TcpPort, loaded.lbledt_TcpPort);
  EXPECT_FALSE(FileExists(upper + ".ini"));
  DeleteFileUtf8(upper);
}

TEST_F(IniProfile, UnwritableFileRaisesWithItsName) {
  const std::string name = GetTempFolder() + "kv_no_such_folder" + PathDelim() + "p.ini";
  try {
    profile_.SaveProfile(name, FullSettings(0));
    ADD_FAILURE() << "save into a missing folder reported success";
  } catch (const EIniFileException& e) {
    EXPECT_NE(std::string::npos, std::string(e.what()).find(name)) << e.what();
  }
}

TEST_F(IniProfile, MissingFileIsRefusedAndChangesNothing) {
  TMasterSettings s = FullSettings(0);
  EXPECT_THROW(profile_.LoadProfile(path_, s), EFOpenError);
  EXPECT_TRUE(FullSettings(0) == s);
}

TEST_F(IniProfile, RowsSavedInOneLanguageLoadInTheOther) {
  TMasterSettings chinese = FullSettings(0);
  for (int r = 0; r < 2; ++r) chinese.lvDo[r].Caption = DoRowCaption(r, LanguageChinese);
  const std::vector<std::string> captions = ThRowCaptions(0, LanguageChinese);
  for (std::size_t i = 0; i < captions.size(); ++i) chinese.lvTh[i].Caption = captions[i];
  profile_.SaveProfile(path_, chinese);
  TMasterSettings english = EmptyRows(0);
  profile_.LoadProfile(path_, english);
  const TMasterSettings expected = FullSettings(0);
  EXPECT_EQ(expected.lvDo, english.lvDo);
  EXPECT_EQ(expected.lvTh, english.lvTh);
}

TEST_F(IniProfile, ReportTimeLoadsFromLocaleFormatsToo) {
  struct Case {
    const char* Text;
    TTimeOfDay Expected;
  };
  const Case cases[] = {{"08:05:00", {8, 5, 0}},     {"8:05:09 PM", {20, 5, 9}},
                        {"12:30:00 AM", {0, 30, 0}}, {"23:59", {23, 59, 0}},
                        {"24:00:00", {1, 2, 3}},     {"noon", {1, 2, 3}}};
  for (const Case& c : cases) {
    WriteFileBytes(path_, std::string("[Value]\r\ndtp_RePortTime=") + c.Text + "\r\n");
    TMasterSettings s = EmptyRows(0);
    s.dtp_RePortTime = {1, 2, 3};
    profile_.LoadProfile(path_, s);
    EXPECT_EQ(c.Expected, s.dtp_RePortTime) << c.Text;
  }
}

}  // namespace
}  // namespace kv
