// A profile written by our INI code must read the same through Windows' own
// private-profile functions, which other tools and older versions use.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SettingsSamples.h"
#include "app/ConstLang_Unt.h"
#include "app/IniSeting_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "base/SysUtils.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

using namespace kv::samples;

std::wstring Wide(const std::string& text) {
  const std::u16string u16 = Utf8ToUtf16(text);
  return std::wstring(u16.begin(), u16.end());
}

std::string WindowsReads(const std::string& file, const char* section, const char* key) {
  wchar_t buffer[1024] = {};
  GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"<missing>", buffer, 1024,
                           Wide(file).c_str());
  const std::wstring w(buffer);
  return Utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

std::string WindowsReadsBytes(const std::string& file, const char* section, const char* key) {
  char buffer[1024] = {};
  // The test's temp path is plain ASCII, the same in every ANSI code page.
  GetPrivateProfileStringA(section, key, "<missing>", buffer, 1024, file.c_str());
  return buffer;
}

TEST(IniProfileOnWindows, WindowsReadsWhatOurProfileWrote) {
  LanguageFlag = LanguageEnglish;
  RebuildTimerLists();
  const std::string file = GetTempFolder() + "kv_profile_windows.ini";
  DeleteFileUtf8(file);
  TMasterSettings s = FullSettings(0);
  s.dtp_RePortTime = {8, 5, 0};
  s.lvTel[0].Caption = "  1";
  s.lbledt_Master_DevDes = " Cold store ";  // blanks and quotes a device's text may have
  s.lbledt_HeartCont = "'ACK'";
  TIniSeting().SaveProfile(file, s);

  EXPECT_EQ("9173", WindowsReads(file, "Value", "lbledt_Main_Password"));
  EXPECT_EQ("9173", WindowsReads(file, "value", "LBLEDT_MAIN_PASSWORD"));  // any case
  EXPECT_EQ("4660", WindowsReads(file, "Value", "lbledt_DeviseID"));
  EXPECT_EQ("1", WindowsReads(file, "Value", "chk_AddTimeToAlarmSMS"));
  EXPECT_EQ("0", WindowsReads(file, "Value", "chk_Auto_Armed"));
  EXPECT_EQ("2", WindowsReads(file, "Value", "cbb_GPRSCommunication_Proctocol"));
  EXPECT_EQ("08:05:00", WindowsReads(file, "Value", "dtp_RePortTime"));
  EXPECT_EQ("logger.example.com", WindowsReads(file, "Value", "lbledt_Gprs_IP"));
  EXPECT_EQ(" Cold store ", WindowsReads(file, "Value", "lbledt_Master_DevDes"));
  EXPECT_EQ("'ACK'", WindowsReads(file, "Value", "lbledt_HeartCont"));
  EXPECT_EQ("Channel 2^~^~^101^31^-11^High 2^Low 2^Back 2^~^\xA1\xCC^~^",
            WindowsReadsBytes(file, "lvTh", "Humidity1"));
  // The row caption "  1" is trimmed to "1", as Windows trims keys.
  EXPECT_EQ("+8613800000010", WindowsReads(file, "lvTel", "1").substr(0, 14));
  // Flag cells hold the tick as the bytes A1 CC.
  EXPECT_EQ("Pump^1200^~^Pump off^Pump on^\xA1\xCC^", WindowsReadsBytes(file, "lvDo", "DOUT1"));
  EXPECT_EQ("<missing>", WindowsReads(file, "Value", "NoSuchKey"));
  DeleteFileUtf8(file);
}

}  // namespace
}  // namespace kv
