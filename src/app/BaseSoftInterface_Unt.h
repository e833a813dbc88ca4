// Shared operations of the configuration objects on list-view rows. A list
// view is modelled as rows of cell texts, so that the conversions and the
// profile code work without windows; the window code copies its list views
// to and from these rows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The tick text of a set flag cell (bytes A1 CC in code page 936).
inline constexpr std::string_view TickText = "√";

// One list-view row: column 0 is the caption, column k the sub-item k - 1.
struct TListRow {
  std::string Caption;
  std::vector<std::string> SubItems;

  // The text of column k; the empty text for a column the row lacks.
  const std::string& Cell(int column) const;
  // Sets column k, adding empty sub-items up to it when the row lacks them.
  void SetCell(int column, std::string text);
  bool operator==(const TListRow&) const = default;
};
using TListRows = std::vector<TListRow>;

// Base of the configuration objects; its operations use nothing of the object.
class TBaseSoftInterface {
 public:
  virtual ~TBaseSoftInterface() = default;
};

// Index of the first entry containing text (case-sensitive); 0 when none
// does and for the empty text, so a miss cannot be told from entry 0.
int FindItemContaining(std::string_view text, const std::vector<std::string>& list);
// The same search, but -1 when no entry contains the text (or it is empty).
int IndexOfContaining(std::string_view text, const std::vector<std::string>& list);
// Index of the entry equal to text, or -1.
int IndexOfText(std::string_view text, const std::vector<std::string>& list);
int NonNegative(int value);
std::string FlagText(bool value);
bool IsFlagText(std::string_view text);

// Empties the sub-items of row (caption kept) when row >= 0 and the list has
// a selected row.
void ClearRowSubItems(TListRows& rows, int row, bool hasSelection);
// Empties every sub-item of every row.
void ClearAllSubItems(TListRows& rows);
// Adds rows "  first" .. "  last", each with columnCount empty sub-items.
void FillNumberedRows(TListRows& rows, int first, int last, int columnCount);

}  // namespace kv
