#include "app/IniSeting_Unt.h"

#include <cstdio>
#include <ctime>
#include <variant>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "base/IniFiles.h"
#include "base/StringList.h"

namespace kv {
namespace {

constexpr std::string_view kValueSection = "Value";

using TMember =
    std::variant<std::string TMasterSettings::*, bool TMasterSettings::*, int TMasterSettings::*,
                 TTimeOfDay TMasterSettings::*, TListRows TMasterSettings::*>;

struct TProfileKey {
  const char* Name;
  TMember Member;
};

struct TContainer {
  const char* Name;
  std::vector<TProfileKey> Keys;
};

using S = TMasterSettings;

// The storable direct children of each container, in the window's child order.
const std::vector<TContainer>& Containers() {
  static const std::vector<TContainer> containers = {
      {"grp_BasicSeting",
       {{"lbledt_Master_DevDes", &S::lbledt_Master_DevDes},
        {"lbledt_DeviseID", &S::lbledt_DeviseID},
        {"chk_AddTimeToAlarmSMS", &S::chk_AddTimeToAlarmSMS},
        {"chk_Auto_Armed", &S::chk_Auto_Armed},
        {"chk_AutoAlarmAfterDisarm", &S::chk_AutoAlarmAfterDisarm},
        {"lbledt_AutoMintues", &S::lbledt_AutoMintues},
        {"lbledt_PwrOffTime", &S::lbledt_PwrOffTime},
        {"dtp_RePortTime", &S::dtp_RePortTime},
        {"lbledt_SaveRecordInterSec", &S::lbledt_SaveRecordInterSec},
        {"lbledt_SmsReportInterMin", &S::lbledt_SmsReportInterMin},
        {"chk_ReportTime", &S::chk_ReportTime},
        {"chk_PwrOffTime", &S::chk_PwrOffTime},
        {"chk_SaveRecordInterSec", &S::chk_SaveRecordInterSec},
        {"chk_SmsReportInterMin", &S::chk_SmsReportInterMin}}},
      {"grp_PasswordSeting",
       {{"lbledt_Main_Password", &S::lbledt_Main_Password},
        {"chk_ShowPassword", &S::chk_ShowPassword}}},
      {"Sheet_DO", {{"lvDo", &S::lvDo}}},
      {"Sheet_TH", {{"lvTh", &S::lvTh}}},
      {"Sheet_Telephone", {{"lvTel", &S::lvTel}}},
      {"Sheet_DateTime", {{"lvTimer", &S::lvTimer}}},
      {"grp_GPRS_BasicSeting",
       {{"lbledt_AccessPontName", &S::lbledt_AccessPontName},
        {"lbledt_GPRS_UserName", &S::lbledt_GPRS_UserName},
        {"lbledt_GPRS_Password", &S::lbledt_GPRS_Password},
        {"lbledt_HeartCont", &S::lbledt_HeartCont},
        {"lbledt_GprsBeatHeart", &S::lbledt_GprsBeatHeart},
        {"lbledt_GprsReconnSec", &S::lbledt_GprsReconnSec},
        {"lbledt_TcpPort", &S::lbledt_TcpPort},
        {"cbb_GPRSCommunication_Proctocol", &S::cbb_GPRSCommunication_Proctocol},
        {"cbb_GPRS_TcpUdp", &S::cbb_GPRS_TcpUdp},
        {"lbledt_Gprs_IP", &S::lbledt_Gprs_IP}}},
  };
  return containers;
}

int ColumnCountOf(std::string_view listView) {
  return static_cast<int>(ListColumnTexts(listView, LanguageEnglish).size());
}

// Splits a stored row value into its fields; trailing carets are dropped.
// The value comes decoded from code page 936, so a character whose second
// byte is the caret's (0x5E, as in C0 5E) stays whole: only a caret that is
// a character of its own ends a field. Half a character (a device text cut
// by its field) before a caret takes the caret with it where the two bytes
// form a character, and is kept as its byte where they form none.
std::vector<std::string> RowFields(std::string_view value) {
  while (!value.empty() && value.back() == '^') value.remove_suffix(1);
  std::vector<std::string> fields;
  if (value.empty()) return fields;
  for (std::size_t start = 0;;) {
    const std::size_t caret = value.find('^', start);
    fields.emplace_back(value.substr(start, caret - start));
    if (caret == std::string_view::npos) return fields;
    start = caret + 1;
  }
}

const std::string* FindRowValue(const std::vector<std::pair<std::string, std::string>>& lines,
                                std::string_view key) {
  for (const auto& [name, value] : lines) {
    if (name == key) return &value;
  }
  return nullptr;
}

bool ParseNumberPart(std::string_view text, std::size_t& pos, int& value) {
  const std::size_t start = pos;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 3) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return pos > start;
}

}  // namespace

TTimeOfDay CurrentTimeOfDay() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::string TimeOfDayToText(const TTimeOfDay& time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.Hour % 100, time.Minute % 100,
                time.Second % 100);
  return text;
}

bool TextToTimeOfDay(std::string_view text, TTimeOfDay& time) {
  const std::string trimmed = Trim(text);
  std::string_view t = trimmed;
  int hour = 0, minute = 0, second = 0;
  std::size_t pos = 0;
  if (!ParseNumberPart(t, pos, hour) || pos >= t.size() || t[pos] != ':') return false;
  ++pos;
  if (!ParseNumberPart(t, pos, minute)) return false;
  if (pos < t.size() && t[pos] == ':') {
    ++pos;
    if (!ParseNumberPart(t, pos, second)) return false;
  }
  const std::string suffix = UpperCase(Trim(t.substr(pos)));
  if (suffix == "AM" || suffix == "PM") {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (suffix == "PM" ? 12 : 0);
  } else if (!suffix.empty()) {
    return false;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  time = {hour, minute, second};
  return true;
}

std::string ProfileFileName(std::string_view chosenName) {
  // "x.INI" is a profile too; appending would name a file that is not there.
  if (Pos(".INI", UpperCase(chosenName)) != 0) return std::string(chosenName);
  return std::string(chosenName) + ".ini";
}

const std::vector<std::string>& TIniSeting::ContainerNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const TContainer& c : Containers()) list.emplace_back(c.Name);
    return list;
  }();
  return names;
}

void TIniSeting::LoadProfile(const std::string& fileName, TMasterSettings& settings) const {
  const std::string name = ProfileFileName(fileName);
  // A missing file would empty every control of the window.
  if (!FileExists(name)) throw EFOpenError("Cannot open file \"" + name + "\"");
  TIniFile ini(name);
  TMasterSettings loaded = settings;
  for (const TContainer& c : Containers()) ProcessContainerControls(c.Name, ini, ModeLoad, loaded);
  settings = std::move(loaded);
}

void TIniSeting::SaveProfile(const std::string& fileName, const TMasterSettings& settings) const {
  TIniFile ini(ProfileFileName(fileName));
  TMasterSettings copy = settings;
  for (const TContainer& c : Containers()) ProcessContainerControls(c.Name, ini, ModeSave, copy);
}

void TIniSeting::ProcessContainerControls(std::string_view container, TIniFile& ini,
                                          unsigned char mode, TMasterSettings& s) const {
  if (mode != ModeLoad && mode != ModeSave) return;
  const bool save = mode == ModeSave;
  for (const TContainer& c : Containers()) {
    if (container != c.Name) continue;
    for (const TProfileKey& key : c.Keys) {
      if (auto text = std::get_if<std::string S::*>(&key.Member)) {
        if (save)
          ini.WriteString(kValueSection, key.Name, s.**text);
        else
          s.** text = ini.ReadString(kValueSection, key.Name, "");
      } else if (auto check = std::get_if<bool S::*>(&key.Member)) {
        if (save)
          ini.WriteString(kValueSection, key.Name, s.**check ? "1" : "0");
        else
          s.** check = ini.ReadInteger(kValueSection, key.Name, 0) != 0;
      } else if (auto combo = std::get_if<int S::*>(&key.Member)) {
        if (save)
          ini.WriteInteger(kValueSection, key.Name, s.**combo);
        else
          s.** combo = ini.ReadInteger(kValueSection, key.Name, 0);
      } else if (auto time = std::get_if<TTimeOfDay S::*>(&key.Member)) {
        if (save) {
          ini.WriteString(kValueSection, key.Name, TimeOfDayToText(s.**time));
        } else if (!ini.ValueExists(kValueSection, key.Name)) {
          s.** time = Now ? Now() : CurrentTimeOfDay();
        } else {
          // A text that is no time keeps the picker's time.
          TextToTimeOfDay(ini.ReadString(kValueSection, key.Name, ""), s.**time);
        }
      } else if (auto list = std::get_if<TListRows S::*>(&key.Member)) {
        if (save)
          SaveListViewToIni(ini, key.Name, s.**list, ColumnCountOf(key.Name));
        else
          LoadListViewFromIni(ini, key.Name, s.**list, ColumnCountOf(key.Name));
      }
    }
  }
}

void TIniSeting::SaveListViewToIni(TIniFile& ini, std::string_view listView, const TListRows& rows,
                                   int columnCount) {
  if (columnCount < 2) return;
  for (const TListRow& row : rows) {
    std::string value;
    for (int j = 0; j <= columnCount - 2; ++j) {
      const std::string cell = Trim(row.Cell(j + 1));
      value += cell.empty() ? "~" : cell;
      value += '^';
    }
    ini.WriteString(listView, row.Caption, value);
  }
}

void TIniSeting::LoadListViewFromIni(const TIniFile& ini, std::string_view listView,
                                     TListRows& rows, int columnCount) {
  TStringList sections;
  ini.ReadSections(sections);
  bool found = false;
  for (int i = 0; i < sections.Count() && !found; ++i) found = sections[i] == listView;
  if (!found) return;
  TStringList values;
  ini.ReadSectionValues(listView, values);
  std::vector<std::pair<std::string, std::string>> lines;
  for (int i = 0; i < values.Count(); ++i) {
    lines.emplace_back(Trim(values.Names(i)), values.ValueFromIndex(i));
  }
  for (TListRow& row : rows) {
    const std::string caption = Trim(row.Caption);
    const std::string* value = FindRowValue(lines, caption);
    // A profile saved in the other language names DO and TH rows in it.
    if (value == nullptr) {
      const std::string other = OtherLanguageRowCaption(caption);
      if (!other.empty()) value = FindRowValue(lines, other);
    }
    if (value == nullptr) continue;
    const std::vector<std::string> fields = RowFields(*value);
    for (std::size_t m = 0; m < fields.size(); ++m) {
      if (static_cast<int>(m) > columnCount - 2) break;
      row.SetCell(static_cast<int>(m) + 1, fields[m] == "~" ? std::string() : fields[m]);
    }
  }
}

}  // namespace kv
