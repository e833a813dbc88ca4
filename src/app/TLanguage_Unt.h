// The language object's one service: a listing of a grid's header row as
// assignments, shown by a hidden button of the timer page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/BaseSoftInterface_Unt.h"

namespace kv {

class TLanguage : public TBaseSoftInterface {
 public:
  // Appends one line per header cell: <grid>.Cells[<c>,0]:= '<text>'; with
  // single quotes inside the text doubled.
  void DumpGridHeader(std::string_view gridName, const std::vector<std::string>& headerRow);
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace kv
