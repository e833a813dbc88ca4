#include "app/TLanguage_Unt.h"

namespace kv {

void TLanguage::DumpGridHeader(std::string_view gridName,
                               const std::vector<std::string>& headerRow) {
  for (std::size_t c = 0; c < headerRow.size(); ++c) {
    std::string quoted = "'";
    for (char ch : headerRow[c]) {
      quoted += ch;
      if (ch == '\'') quoted += '\'';
    }
    quoted += "'";
    lines_.push_back(std::string(gridName) + ".Cells[" + std::to_string(c) + ",0]:= " + quoted +
                     ";");
  }
}

}  // namespace kv
