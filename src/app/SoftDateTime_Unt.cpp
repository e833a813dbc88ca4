#include "app/SoftDateTime_Unt.h"

#include "app/ConstLang_Unt.h"

namespace kv {
namespace {

std::vector<std::string> NumberTexts(int count) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(std::to_string(i));
  return texts;
}

int OtherLanguage() { return LanguageFlag == LanguageChinese ? LanguageEnglish : LanguageChinese; }

// Current list first, then the other language's texts.
int CodeOfText(std::string_view text, const std::vector<std::string>& current,
               const std::vector<std::string>& other) {
  int index = IndexOfContaining(text, current);
  if (index < 0) index = IndexOfContaining(text, other);
  return NonNegative(index);
}

}  // namespace

std::vector<std::string> TimerHourList = NumberTexts(24);
std::vector<std::string> TimerMinuteList = NumberTexts(60);
std::vector<std::string> TimerWeekList;
std::vector<std::string> TimerActionList;

std::vector<std::string> TimerWeekTexts(int language) {
  if (language == LanguageChinese) return {"日", "一", "二", "三", "四", "五", "六", "每天"};
  return {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Everyday"};
}

std::vector<std::string> TimerActionTexts(int language) {
  if (language == LanguageChinese) {
    return {"0.重启",        "1.上传GPRS数据", "2.短信上报",    "3.保存历史记录",
            "4.GPRS上线",    "5.布防",         "6.撤防",        "7.继电器1闭合",
            "8.继电器1断开", "9.继电器2闭合",  "10.继电器2断开"};
  }
  return {"0.Reboot",
          "1.Upload Data By GPRS",
          "2.Auto Report By SMS",
          "3.Save Historical Data",
          "4.GPRS Online",
          "5.Arm",
          "6.Disarm",
          "7.DO1 Close(ON)",
          "8.DO1 Open(OFF)",
          "9.DO2 Close(ON)",
          "10.DO2 Open(OFF)"};
}

void RebuildTimerLists() {
  TimerWeekList = TimerWeekTexts(LanguageFlag);
  TimerActionList = TimerActionTexts(LanguageFlag);
}

void EnsureTimerLists() {
  if (TimerWeekList.empty() || TimerActionList.empty()) RebuildTimerLists();
}

void FillTimerRows(TListRows& rows) { FillNumberedRows(rows, 1, TimerRowCount, TimerListColumns); }

int TimerWeekCode(std::string_view text) {
  EnsureTimerLists();
  const int index = CodeOfText(text, TimerWeekList, TimerWeekTexts(OtherLanguage()));
  return index == 7 ? EveryDayWeekCode : index;
}

int TimerActionCode(std::string_view text) {
  EnsureTimerLists();
  return CodeOfText(text, TimerActionList, TimerActionTexts(OtherLanguage()));
}

std::string TimerWeekText(int code) {
  EnsureTimerLists();
  if (code == EveryDayWeekCode) return TimerWeekList.back();
  if (code >= 0 && code < static_cast<int>(TimerWeekList.size())) return TimerWeekList[code];
  return {};
}

std::string TimerActionText(int code) {
  EnsureTimerLists();
  if (code >= 0 && code < static_cast<int>(TimerActionList.size())) return TimerActionList[code];
  return {};
}

int TimerCellIndex(std::string_view text, const std::vector<std::string>& list) {
  return NonNegative(IndexOfText(text, list));
}

namespace {
std::string ItemText(const std::vector<std::string>& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.size())) return {};
  return list[index];
}
}  // namespace

TTimerDialogValues RowToTimerValues(const TListRow& row) {
  EnsureTimerLists();
  TTimerDialogValues values;
  values.Enable = IsFlagText(row.Cell(TimerColEnable));
  values.Week = TimerCellIndex(row.Cell(TimerColWeek), TimerWeekList);
  values.Hour = TimerCellIndex(row.Cell(TimerColHour), TimerHourList);
  values.Minute = TimerCellIndex(row.Cell(TimerColMinute), TimerMinuteList);
  values.Action = TimerCellIndex(row.Cell(TimerColAction), TimerActionList);
  return values;
}

void TimerValuesToRow(const TTimerDialogValues& values, TListRow& row) {
  EnsureTimerLists();
  row.SetCell(TimerColEnable, FlagText(values.Enable));
  row.SetCell(TimerColWeek, ItemText(TimerWeekList, values.Week));
  row.SetCell(TimerColHour, ItemText(TimerHourList, values.Hour));
  row.SetCell(TimerColMinute, ItemText(TimerMinuteList, values.Minute));
  row.SetCell(TimerColAction, ItemText(TimerActionList, values.Action));
}

}  // namespace kv
