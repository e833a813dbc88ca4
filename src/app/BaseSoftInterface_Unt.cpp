#include "app/BaseSoftInterface_Unt.h"

namespace kv {

const std::string& TListRow::Cell(int column) const {
  static const std::string empty;
  if (column == 0) return Caption;
  if (column < 0 || static_cast<std::size_t>(column) > SubItems.size()) return empty;
  return SubItems[column - 1];
}

void TListRow::SetCell(int column, std::string text) {
  if (column < 0) return;
  if (column == 0) {
    Caption = std::move(text);
    return;
  }
  if (SubItems.size() < static_cast<std::size_t>(column)) SubItems.resize(column);
  SubItems[column - 1] = std::move(text);
}

int IndexOfContaining(std::string_view text, const std::vector<std::string>& list) {
  if (text.empty()) return -1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].find(text) != std::string::npos) return static_cast<int>(i);
  }
  return -1;
}

int FindItemContaining(std::string_view text, const std::vector<std::string>& list) {
  return NonNegative(IndexOfContaining(text, list));
}

int IndexOfText(std::string_view text, const std::vector<std::string>& list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == text) return static_cast<int>(i);
  }
  return -1;
}

int NonNegative(int value) { return value < 0 ? 0 : value; }

std::string FlagText(bool value) { return value ? std::string(TickText) : std::string(); }

bool IsFlagText(std::string_view text) { return text == TickText; }

void ClearRowSubItems(TListRows& rows, int row, bool hasSelection) {
  if (row < 0 || !hasSelection || static_cast<std::size_t>(row) >= rows.size()) return;
  for (std::string& cell : rows[row].SubItems) cell.clear();
}

void ClearAllSubItems(TListRows& rows) {
  for (TListRow& row : rows) {
    for (std::string& cell : row.SubItems) cell.clear();
  }
}

void FillNumberedRows(TListRows& rows, int first, int last, int columnCount) {
  for (int n = first; n <= last; ++n) {
    TListRow row;
    row.Caption = "  " + std::to_string(n);
    row.SubItems.resize(columnCount > 0 ? columnCount : 0);
    rows.push_back(std::move(row));
  }
}

}  // namespace kv
