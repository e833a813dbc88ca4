#include "app/HistoryCsv_Unt.h"

#include <algorithm>

#include "base/Streams.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

// Lines ended by CR LF, LF or CR; a final line break adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) break;
    fields.emplace_back(line.substr(start, comma - start));
    start = comma + 1;
  }
  fields.emplace_back(line.substr(start));
  return fields;
}

}  // namespace

std::string HistoryCsvLine(const std::vector<std::string>& cells, int columnCount) {
  std::string line;
  for (int c = 1; c < columnCount; ++c) {
    if (c > 1) line += ',';
    if (static_cast<std::size_t>(c) < cells.size()) line += cells[c];
  }
  return line;
}

std::string HistoryCsvBytes(const THistoryGridRows& rows, int columnCount) {
  std::string text;
  for (const std::vector<std::string>& row : rows) {
    text += Utf8ToGbk(HistoryCsvLine(row, columnCount));
    text += "\r\n";
  }
  return text;
}

std::string HistoryCsvFileName(std::string_view chosenName) {
  if (EndsText(".csv", chosenName)) return std::string(chosenName);
  return std::string(chosenName) + ".csv";
}

std::string ModelWordOf(int modelIndex) {
  if (modelIndex == 1) return "KV42";
  if (modelIndex == 2) return "KV43";
  return "KV41";
}

std::string HistoryCsvDefaultName(int modelIndex, TDateTime now) {
  return ModelWordOf(modelIndex) + "_" + FormatDateTime("yymmddhhnnss", now);
}

std::string ExportHistoryCsv(std::string_view chosenName, const THistoryGridRows& rows,
                             int columnCount) {
  const std::string fileName = HistoryCsvFileName(chosenName);
  WriteFileBytes(fileName, HistoryCsvBytes(rows, columnCount));
  return fileName;
}

THistoryCsvFields ParseHistoryCsv(std::string_view bytes, int columnCount, int rowLimit) {
  const auto dataColumns = static_cast<std::size_t>(std::max(columnCount - 1, 0));
  // A spreadsheet may put a byte-order mark before the first line.
  constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";
  if (bytes.starts_with(utf8Bom)) bytes.remove_prefix(utf8Bom.size());
  THistoryCsvFields result;
  for (std::string_view line : SplitLines(bytes)) {
    // Lines below the last row and fields right of the last column have no
    // cell to go to: they are left out.
    if (static_cast<int>(result.size()) >= rowLimit) break;
    std::vector<std::string> fields = SplitFields(GbkToUtf8(line));
    if (fields.size() > dataColumns) fields.resize(dataColumns);
    result.push_back(std::move(fields));
  }
  return result;
}

THistoryCsvFields ImportHistoryCsv(const std::string& fileName, int columnCount, int rowLimit) {
  return ParseHistoryCsv(ReadFileBytes(fileName), columnCount, rowLimit);
}

}  // namespace kv
