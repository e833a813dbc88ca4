#include "app/HistoryFilter_Unt.h"

#include <cmath>
#include <cstdint>

#include "app/SoftHistory_Unt.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

// Picker and row times are compared to the millisecond, so that equal clock
// readings are equal whatever rounding the day fractions carry.
std::int64_t Milliseconds(TDateTime t) { return std::llround(t * kMSecsPerDay); }

std::vector<std::string> SplitAtCommas(std::string_view text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) break;
    fields.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  fields.emplace_back(text.substr(start));
  return fields;
}

}  // namespace

std::vector<std::string> SplitDateTimeCells(std::string_view dateText, std::string_view timeText) {
  std::string joined = std::string(dateText) + "," + std::string(timeText);
  for (char& c : joined) {
    if (c == ':' || c == '/' || c == ' ') c = ',';
  }
  return SplitAtCommas(Trim(joined));
}

std::optional<TDateTime> HistoryRowTime(std::string_view dateText, std::string_view timeText) {
  const std::vector<std::string> fields = SplitDateTimeCells(dateText, timeText);
  if (fields.size() != 6) return std::nullopt;
  int n[6];
  for (int i = 0; i < 6; ++i) n[i] = StrToDecimalDef(fields[i], 0);
  // A huge year field must not overflow the sum below.
  if (n[0] > 9999) return std::nullopt;
  TDateTime date = 0;
  TDateTime time = 0;
  if (!TryEncodeDate(n[0] + 2000, n[1], n[2], date)) return std::nullopt;
  if (!TryEncodeTime(n[3], n[4], n[5], 0, time)) return std::nullopt;
  return date + time;
}

std::vector<std::string> FilterHistoryLines(const THistoryGridRows& rows, int columnCount,
                                            TDateTime begin, TDateTime end) {
  const std::int64_t from = Milliseconds(begin);
  const std::int64_t to = Milliseconds(end);
  std::vector<std::string> lines;
  for (const std::vector<std::string>& cells : rows) {
    const std::string date = cells.size() > HistColDate ? Trim(cells[HistColDate]) : "";
    if (date.empty()) continue;
    const std::string time = cells.size() > HistColTime ? Trim(cells[HistColTime]) : "";
    const std::optional<TDateTime> at = HistoryRowTime(date, time);
    if (!at) continue;
    const std::int64_t ms = Milliseconds(*at);
    if (ms < from || ms > to) continue;
    lines.push_back(HistoryCsvLine(cells, columnCount));
  }
  return lines;
}

THistoryCsvFields FilterHistoryRows(const THistoryGridRows& rows, int columnCount, TDateTime begin,
                                    TDateTime end) {
  THistoryCsvFields fields;
  for (const std::string& line : FilterHistoryLines(rows, columnCount, begin, end)) {
    fields.push_back(SplitAtCommas(line));
  }
  return fields;
}

}  // namespace kv
