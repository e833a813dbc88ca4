// Timer rows and the four timer string lists, whose indexes are the codes the
// configuration image stores (week day, hour, minute, action).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/BaseSoftInterface_Unt.h"

namespace kv {

// Columns of lvTimer (column 0 is the row caption "  1" .. "  10").
enum TimerColumn { TimerColEnable = 1, TimerColWeek, TimerColHour, TimerColMinute, TimerColAction };
inline constexpr int TimerRowCount = 10;
inline constexpr int TimerListColumns = 6;
// Week code of the every-day entry in the image (its list index is 7).
inline constexpr int EveryDayWeekCode = 15;

// "0" .. "23" and "0" .. "59".
extern std::vector<std::string> TimerHourList;
extern std::vector<std::string> TimerMinuteList;
// Week days (Sunday first, then the every-day entry) and the eleven actions,
// in the current language; rebuilt by RebuildTimerLists.
extern std::vector<std::string> TimerWeekList;
extern std::vector<std::string> TimerActionList;

// The week and action texts of a language (0 Chinese, else English).
std::vector<std::string> TimerWeekTexts(int language);
std::vector<std::string> TimerActionTexts(int language);
// Refills TimerWeekList and TimerActionList in the language of LanguageFlag.
void RebuildTimerLists();
// Builds the week and action lists when they have not been built yet.
void EnsureTimerLists();

// Ten numbered rows, each with one empty sub-item per list column.
void FillTimerRows(TListRows& rows);

// Week code for a week cell: the first entry of the current list containing
// the text, else of the other language's list (a profile or a row filled
// before a language switch), else 0 (Sunday). The every-day entry gives 15.
int TimerWeekCode(std::string_view text);
// Action code for an action cell, matched the same way; 0 ("0.Reboot") when
// nothing matches.
int TimerActionCode(std::string_view text);
// The cell text of a stored week code; empty for a code no entry stands for.
std::string TimerWeekText(int code);
// The cell text of a stored action code; empty for a code no entry stands for.
std::string TimerActionText(int code);

// What the timer dialog selects for a cell: the first item equal to the text,
// else 0.
int TimerCellIndex(std::string_view text, const std::vector<std::string>& list);

// Values of the timer setting dialog: chk_Timer_Enable and the item indexes
// of cbb_TimerWeek, cbb_TimerHour, cbb_TimerMinute and cbb_TimerAction in the
// current lists.
struct TTimerDialogValues {
  bool Enable = false;
  int Week = 0;
  int Hour = 0;
  int Minute = 0;
  int Action = 0;
  bool operator==(const TTimerDialogValues&) const = default;
};
TTimerDialogValues RowToTimerValues(const TListRow& row);
// The cells take the texts of the selected items (empty for an index
// outside its list).
void TimerValuesToRow(const TTimerDialogValues& values, TListRow& row);

}  // namespace kv
