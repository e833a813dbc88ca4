// History CSV files: one line per grid data row holding the texts of columns
// 1 to the last, joined by single commas, no header, no quoting, lines ended
// by CR LF, code page 936 bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "base/SysUtils.h"

namespace kv {

// Grid rows as cell texts, column 0 (the row number) first.
using THistoryGridRows = std::vector<std::vector<std::string>>;
// Imported lines: fields[i][n - 1] goes to column n of data row i + 1.
using THistoryCsvFields = std::vector<std::vector<std::string>>;

// The line of one grid row: columns 1 .. columnCount - 1 (missing cells empty).
std::string HistoryCsvLine(const std::vector<std::string>& cells, int columnCount);
// The file bytes of every row (code page 936, CR LF after each line).
std::string HistoryCsvBytes(const THistoryGridRows& rows, int columnCount);
// The chosen name when it ends in ".csv" in any letter case, else with
// ".csv" appended.
std::string HistoryCsvFileName(std::string_view chosenName);
// The model word of file names: "KV41", "KV42", "KV43" for model index 0, 1,
// 2, and "KV41" for any other index (no model known yet).
std::string ModelWordOf(int modelIndex);
// The name the export proposes: the model word, "_", and the time as two-digit
// year, month, day, hour (0-23), minute and second ("KV42_240507080300").
std::string HistoryCsvDefaultName(int modelIndex, TDateTime now);
// Writes the rows to the file named by HistoryCsvFileName and returns that
// name; file errors raise the stream exceptions.
std::string ExportHistoryCsv(std::string_view chosenName, const THistoryGridRows& rows,
                             int columnCount);

// Splits file bytes into the fields of each line, for a grid of columnCount
// columns and rowLimit data rows; fields beyond the last column and lines
// beyond the last data row are left out. A leading byte-order mark is
// dropped; bytes that are no code page 936 text are kept as byte escapes.
THistoryCsvFields ParseHistoryCsv(std::string_view bytes, int columnCount, int rowLimit);
// Reads and parses a file; file errors raise the stream exceptions.
THistoryCsvFields ImportHistoryCsv(const std::string& fileName, int columnCount, int rowLimit);

}  // namespace kv
