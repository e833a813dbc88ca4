#include "app/IniSeting_Unt.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <variant>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "base/IniFiles.h"
#include "base/StringList.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

constexpr std::string_view kValueSection = "Value";

// The profile reader trims blanks and control characters round a value and
// drops a pair of matching quotes round it. An edit text it would change so
// (a device description with a leading blank, 'ACK' in quotes) is saved in
// double quotes, which that reader drops again; every other text as it is.
std::string QuotedIfReadOtherwise(const std::string& text) {
  if (text.empty()) return text;
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                      text.back() == text.front();
  if (!blank(text.front()) && !blank(text.back()) && !quoted) return text;
  return '"' + text + '"';
}

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
// a character of its own ends a field.
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

// A cell is stored as it stands when it loads back so. It would not where a
// caret would split it, where "~" would load as an empty cell, where half a
// character at its end (a device text cut by older software) would take the
// caret after it as its second byte, where a line break would become a blank
// or a character code page 936 lacks a "?". Such a cell is stored as "~" and
// its text, in which those characters, "%" and "~" are written %XX (a byte,
// or a character below 0x80) or %uXXXX (a UTF-16 unit): the field holds no
// caret and ends in no lead byte, older versions show it in its own column,
// and a profile written before holds such a field only where a user typed
// exactly what a save writes.
constexpr std::string_view kEmptyCell = "~";
constexpr char kEscape = '%';

// digits hexadecimal digits at pos, in either case: a field a save would not
// write is no escaped field anyway.
bool ParseHex(std::string_view text, std::size_t pos, std::size_t digits, unsigned& value) {
  if (pos + digits > text.size()) return false;
  const char* end = text.data() + pos + digits;
  const auto [ptr, error] = std::from_chars(text.data() + pos, end, value, 16);
  return error == std::errc() && ptr == end;
}

// The text with every character that cannot stand in a stored field escaped.
std::string EscapedText(std::string_view text) {
  std::string out(1, kEmptyCell.front());
  for (const char16_t unit : Utf8ToUtf16(text)) {
    if (unit < 0x20 || unit == kEscape || unit == '^' || unit == '~') {
      out += kEscape + IntToHex(unit, 2);
    } else if (IsGbkByteEscape(unit)) {
      out += kEscape + IntToHex(unit - GbkByteEscapeBase, 2);
    } else if (const std::string ch = Utf16ToUtf8(std::u16string(1, unit));
               unit < 0x80 || GbkToUtf8(Utf8ToGbk(ch)) == ch) {
      out += ch;
    } else {
      out += kEscape + ("u" + IntToHex(unit, 4));
    }
  }
  return out;
}

// The text of an escaped field's body; false when the body is no escaped text.
bool UnescapedText(std::string_view body, std::string& text) {
  std::u16string units;
  for (std::size_t i = 0; i < body.size();) {
    const std::size_t escape = std::min(body.find(kEscape, i), body.size());
    units += Utf8ToUtf16(body.substr(i, escape - i));
    if (escape == body.size()) break;
    unsigned value = 0;
    if (ParseHex(body, escape + 1, 2, value)) {
      units += static_cast<char16_t>(value < 0x80 ? value : GbkByteEscapeBase + value);
      i = escape + 3;
    } else if (body.substr(escape + 1, 1) == "u" && ParseHex(body, escape + 2, 4, value)) {
      units += static_cast<char16_t>(value);
      i = escape + 6;
    } else {
      return false;
    }
  }
  text = Utf16ToUtf8(units);
  return true;
}

bool EndsInLeadByte(std::string_view gbk) {
  return !gbk.empty() && IsGbkLeadByte(static_cast<unsigned char>(gbk.back())) &&
         GbkTruncate(gbk, gbk.size() - 1).size() == gbk.size() - 1;
}

std::string StoredCell(std::string_view cell);

// The cell an escaped field stands for; false for any other field, so a
// field is taken as escaped only when it is exactly what a save writes.
bool EscapedCell(std::string_view field, std::string& cell) {
  return field.size() > 1 && field.front() == kEmptyCell.front() &&
         UnescapedText(field.substr(1), cell) && StoredCell(cell) == field;
}

bool LoadsBackAsItStands(std::string_view text) {
  if (text == kEmptyCell || text.find_first_of("^\r\n") != std::string_view::npos) return false;
  const std::string gbk = Utf8ToGbk(text);
  std::string unused;
  return GbkToUtf8(gbk) == text && !EndsInLeadByte(gbk) && !EscapedCell(text, unused);
}

// The field a cell is saved as.
std::string StoredCell(std::string_view cell) {
  const std::string text = Trim(cell);
  if (text.empty()) return std::string(kEmptyCell);
  return LoadsBackAsItStands(text) ? text : EscapedText(text);
}

// The cell a stored field loads as.
std::string LoadedCell(std::string_view field) {
  std::string cell;
  if (field == kEmptyCell) return cell;
  return EscapedCell(field, cell) ? cell : std::string(field);
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
          ini.WriteString(kValueSection, key.Name, QuotedIfReadOtherwise(s.**text));
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
      value += StoredCell(row.Cell(j + 1));
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
      row.SetCell(static_cast<int>(m) + 1, LoadedCell(fields[m]));
    }
  }
}

}  // namespace kv
