// Keeping only the history grid rows of a time range. A row's time is read
// back from its date and time cells; rows whose texts give no valid time are
// not in any range and are left out, so one damaged row never stops the
// filter.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/HistoryCsv_Unt.h"
#include "base/DateTime.h"

namespace kv {

// The two texts joined by ",", every ":", "/" and blank replaced by ",",
// trimmed, then split at the commas ("24/5/7", "8:3:0" gives six fields).
std::vector<std::string> SplitDateTimeCells(std::string_view dateText, std::string_view timeText);

// The time of a grid row from its date cell (year as stored, year - 2000) and
// time cell: nothing unless they split into exactly six fields forming a valid
// date and time. A field that is no number counts as 0.
std::optional<TDateTime> HistoryRowTime(std::string_view dateText, std::string_view timeText);

// The export lines (columns 1 to columnCount - 1 joined by ",") of the rows
// whose time lies in begin..end, both included, in grid order. Rows with an
// empty date cell or no valid time are skipped.
std::vector<std::string> FilterHistoryLines(const THistoryGridRows& rows, int columnCount,
                                            TDateTime begin, TDateTime end);

// The kept rows as they go back into the emptied grid: fields[i][n - 1] to
// column n of data row i + 1, each line split at its commas as an import does.
THistoryCsvFields FilterHistoryRows(const THistoryGridRows& rows, int columnCount, TDateTime begin,
                                    TDateTime end);

}  // namespace kv
