// Our INI engine against the profile functions of Windows itself: what one
// writes, the other must read the same way.
#include <gtest/gtest.h>
#include <windows.h>

#include "TempFolder.h"
#include "base/IniFiles.h"
#include "base/Streams.h"
#include "base/StringList.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

std::wstring Wide(std::string_view utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

// Profile files hold ANSI text: on a Chinese system (code page 936) the W
// functions see our text; elsewhere only the bytes survive, so the A
// functions are compared with the code page 936 bytes instead.
bool ChineseSystem() { return GetACP() == 936; }

// What Windows reads for section/key, as UTF-8 (via code page 936 bytes).
std::string WindowsRead(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& def) {
  if (ChineseSystem()) {
    wchar_t buffer[4096];
    const DWORD n = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                             Wide(def).c_str(), buffer, 4096, Wide(file).c_str());
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), n));
  }
  char buffer[4096];
  const DWORD n =
      GetPrivateProfileStringA(Utf8ToGbk(section).c_str(), Utf8ToGbk(key).c_str(),
                               Utf8ToGbk(def).c_str(), buffer, 4096, Utf8ToGbk(file).c_str());
  return GbkToUtf8(std::string_view(buffer, n));
}

void WindowsWrite(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
  BOOL ok;
  if (ChineseSystem()) {
    ok = WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                    Wide(file).c_str());
  } else {
    ok = WritePrivateProfileStringA(Utf8ToGbk(section).c_str(), Utf8ToGbk(key).c_str(),
                                    Utf8ToGbk(value).c_str(), Utf8ToGbk(file).c_str());
  }
  ASSERT_TRUE(ok) << "WritePrivateProfileString failed, error " << GetLastError();
}

// Section names as Windows lists them.
std::vector<std::string> WindowsSections(const std::string& file) {
  char buffer[8192];
  const DWORD n = GetPrivateProfileSectionNamesA(buffer, sizeof buffer, Utf8ToGbk(file).c_str());
  std::vector<std::string> out;
  for (DWORD i = 0; i < n;) {
    const std::string name(buffer + i);
    out.push_back(GbkToUtf8(name));
    i += static_cast<DWORD>(name.size()) + 1;
  }
  return out;
}

struct Entry {
  const char* section;
  const char* key;
  const char* value;
};

// The shapes a profile takes: component names, Chinese text, the list-view
// values with carets and tildes, the tick, blanks inside values.
const Entry kProfile[] = {
    {"Value", "lbledt_Master_DevDes", "冷库温湿度 1"},
    {"Value", "lbledt_Main_Password", "1234"},
    {"Value", "chk_ShowPassword", "1"},
    {"Value", "cbb_GPRSCommunication_Proctocol", "2"},
    {"Value", "dtp_RePortTime", "8:30:00"},
    {"Value", "lbledt_Gprs_IP", "192.168.1.10"},
    {"lvDo", "DOUT1", "High Alarm^~^80^"},
    {"lvDo", "继电器2", "√^~^闭合^"},
    {"lvTh", "Temperature1", "-55.0^125.0^"},
    {"lvTel", "1", "13800138000^√^√^~^"},
};

TEST(IniFilesOnWindows, WindowsReadsWhatOurEngineWrites) {
  ::testing::Test::RecordProperty("AnsiCodePage", static_cast<int>(GetACP()));
  test::TempFolder tmp;
  const std::string file = tmp.File("ours.ini");
  TIniFile ini(file);
  for (const Entry& e : kProfile) ini.WriteString(e.section, e.key, e.value);
  for (const Entry& e : kProfile) {
    EXPECT_EQ(WindowsRead(file, e.section, e.key, "?"), e.value) << e.section << "." << e.key;
    // Names match without regard to case on both sides.
    EXPECT_EQ(WindowsRead(file, UpperCase(e.section), LowerCase(e.key), "?"), e.value);
  }
  EXPECT_EQ(WindowsSections(file), (std::vector<std::string>{"Value", "lvDo", "lvTh", "lvTel"}));
}

TEST(IniFilesOnWindows, OurEngineReadsWhatWindowsWrites) {
  test::TempFolder tmp;
  const std::string file = tmp.File("theirs.ini");
  for (const Entry& e : kProfile) WindowsWrite(file, e.section, e.key, e.value);
  TIniFile ini(file);
  for (const Entry& e : kProfile) {
    EXPECT_EQ(ini.ReadString(e.section, e.key, "?"), e.value) << e.section << "." << e.key;
  }
  TStringList sections;
  ini.ReadSections(sections);
  ASSERT_EQ(sections.Count(), 4);
  EXPECT_EQ(sections[1], "lvDo");
  TStringList values;
  ini.ReadSectionValues("lvDo", values);
  EXPECT_EQ(values.Count(), 2);
  EXPECT_EQ(values[1], "继电器2=√^~^闭合^");
}

TEST(IniFilesOnWindows, OverwritingAKeyAgreesWithWindows) {
  test::TempFolder tmp;
  const std::string ours = tmp.File("a.ini");
  const std::string theirs = tmp.File("b.ini");
  const std::string start =
      "[Value]\r\nOld=kept\r\nchk_ShowPassword=0\r\n\r\n[lvDo]\r\nDOUT1=1^\r\n";
  WriteFileBytes(ours, start);
  WriteFileBytes(theirs, start);
  TIniFile(ours).WriteString("Value", "chk_ShowPassword", "1");
  WindowsWrite(theirs, "Value", "chk_ShowPassword", "1");
  TIniFile(ours).WriteString("Value", "New", "x");
  WindowsWrite(theirs, "Value", "New", "x");
  TIniFile(ours).WriteString("lvTel", "1", "y");
  WindowsWrite(theirs, "lvTel", "1", "y");
  // Layout may differ in blank lines; the content must not.
  for (const std::string& file : {ours, theirs}) {
    EXPECT_EQ(WindowsRead(file, "Value", "Old", "?"), "kept") << file;
    EXPECT_EQ(WindowsRead(file, "Value", "chk_ShowPassword", "?"), "1") << file;
    EXPECT_EQ(WindowsRead(file, "Value", "New", "?"), "x") << file;
    EXPECT_EQ(WindowsRead(file, "lvTel", "1", "?"), "y") << file;
    EXPECT_EQ(TIniFile(file).ReadString("Value", "New", "?"), "x") << file;
    EXPECT_EQ(WindowsSections(file), (std::vector<std::string>{"Value", "lvDo", "lvTel"}));
  }
}

TEST(IniFilesOnWindows, HandWrittenFilesReadTheSameOnBothSides) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
  };
  const Case cases[] = {
      {"[Value]\r\n  spaced key  =  spaced value  \r\n", "Value", "spaced key"},
      {"  [ Value ]  \r\nk=v\r\n", "Value", "k"},
      {"[Value]\r\nk=\"quoted value\"\r\n", "Value", "k"},
      {"[Value]\r\nk=first\r\nk=second\r\n", "Value", "k"},
      {"[Value]\r\nK=upper\r\n", "value", "k"},
      {"[Value]\r\nk=a=b\r\n", "Value", "k"},
      {"[Value]\r\nk=\r\n", "Value", "k"},
      {"[Value]\nk=unix\n", "Value", "k"},
      {"[One]\r\nk=1\r\n[Value]\r\nk=2\r\n", "Value", "k"},
      {"[Value]\r\nother=1\r\n", "Value", "k"},
      {"[Value]\r\nk=\xC0\xE4\xBF\xE2\r\n", "Value", "k"},
      {"[Value]\r\n;k=comment\r\n", "Value", ";k"},
      {"[Value]\r\n;k=comment\r\nk=1\r\n", "Value", "k"},
      {"[Value]\r\nk\r\n", "Value", "k"},
      {"[Value\r\nk=open\r\n", "Value", "k"},
      {"[Value]x\r\nk=after\r\n", "Value", "k"},
      {"k=outside\r\n[Value]\r\n", "Value", "k"},
      {"[Value]\r\n k\t=\ttabs\t\r\n", "Value", "k"},
      {"[Value]\r\nk='single'\r\n", "Value", "k"},
      {"[A]\r\nx=1\r\n[a]\r\ny=2\r\n", "a", "y"},
      {"[A]\r\nx=1\r\n[A]\r\nx=2\r\n", "A", "x"},
      {"[Value]]x\r\nk=1\r\n", "Value", "k"},
      {"[Value]\r\n=1\r\n", "Value", ""},
      {"[Value]\r\n[Other\r\nk=still\r\n", "Value", "k"},
  };
  test::TempFolder tmp;
  int n = 0;
  for (const Case& c : cases) {
    // A new name each time: Windows caches profile files.
    const std::string file = tmp.File("hand" + IntToStr(n++) + ".ini");
    WriteFileBytes(file, c.text);
    EXPECT_EQ(TIniFile(file).ReadString(c.section, c.key, "(default)"),
              WindowsRead(file, c.section, c.key, "(default)"))
        << c.text;
  }
}

// Key names of a section as Windows lists them.
std::vector<std::string> WindowsKeys(const std::string& file, const std::string& section) {
  char buffer[8192];
  const DWORD n = GetPrivateProfileStringA(Utf8ToGbk(section).c_str(), nullptr, "", buffer,
                                           sizeof buffer, Utf8ToGbk(file).c_str());
  std::vector<std::string> out;
  for (DWORD i = 0; i < n;) {
    const std::string name(buffer + i);
    out.push_back(GbkToUtf8(name));
    i += static_cast<DWORD>(name.size()) + 1;
  }
  return out;
}

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

TEST(IniFilesOnWindows, SectionAndKeyListsAgreeWithWindows) {
  const char* const texts[] = {
      "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n",          "[A]\r\nx=1\r\nX=2\r\n",
      "[A]\r\n;c=1\r\nbare\r\n\r\n  spaced  = 1\r\n", "top=1\r\n[ A ]\r\nx=1\r\n[a]\r\ny=2\r\n",
      "[\xCE\xC2\xB6\xC8]\r\n\xCA\xAA=1\r\n",
  };
  test::TempFolder tmp;
  int n = 0;
  for (const char* text : texts) {
    const std::string file = tmp.File("list" + IntToStr(n++) + ".ini");
    WriteFileBytes(file, text);
    TIniFile ini(file);
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(Items(sections), WindowsSections(file)) << text;
    for (const std::string& section : WindowsSections(file)) {
      TStringList keys;
      ini.ReadSection(section, keys);
      EXPECT_EQ(Items(keys), WindowsKeys(file, section)) << text << " [" << section << "]";
    }
  }
}

}  // namespace
}  // namespace kv
