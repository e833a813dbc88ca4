#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/HistoryCsv_Unt.h"
#include "app/SoftHistory_Unt.h"
#include "base/DateTime.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

using Rows = THistoryGridRows;

const Rows kGrid = {
    {"1", "24/5/7", "8:3:0", "27", "Arm", "Close", "Open", "Relay Switch", "-10.0", "26.0"},
    {"2", "24/5/7", "8:4:0", "27", "\xE5\xB8\x83\xE9\x98\xB2", "", "", "", "", "0.5"},  // 布防
    {"3"},
};

TEST(HistoryCsv, LinesHoldColumnsOneToLastWithoutHeader) {
  EXPECT_EQ("24/5/7,8:3:0,27,Arm,Close,Open,Relay Switch,-10.0,26.0", HistoryCsvLine(kGrid[0], 10));
  EXPECT_EQ(",,,,,,,,", HistoryCsvLine(kGrid[2], 10));
  EXPECT_EQ("24/5/7,8:3:0", HistoryCsvLine(kGrid[0], 3));
  EXPECT_EQ(
      "24/5/7,8:3:0,27,Arm,Close,Open,Relay Switch,-10.0,26.0\r\n"
      "24/5/7,8:4:0,27,\xB2\xBC\xB7\xC0,,,,,0.5\r\n"
      ",,,,,,,,\r\n",
      HistoryCsvBytes(kGrid, 10));
}

TEST(HistoryCsv, FileNameEndsInCsvInAnyCase) {
  EXPECT_EQ("h.csv", HistoryCsvFileName("h"));
  EXPECT_EQ("h.CSV", HistoryCsvFileName("h.CSV"));
  EXPECT_EQ("h.Csv", HistoryCsvFileName("h.Csv"));
  EXPECT_EQ("h.csv.txt.csv", HistoryCsvFileName("h.csv.txt"));
}

TEST(HistoryCsv, ExportAndImportRoundTrip) {
  const std::string base = GetTempFolder() + "kv_history_roundtrip";
  const std::string written = ExportHistoryCsv(base, kGrid, 10);
  EXPECT_EQ(base + ".csv", written);
  const THistoryCsvFields fields = ImportHistoryCsv(written, 10, 20000);
  ASSERT_EQ(3u, fields.size());
  for (std::size_t r = 0; r < kGrid.size(); ++r) {
    ASSERT_EQ(9u, fields[r].size());
    for (std::size_t c = 1; c < 10; ++c) {
      const std::string expected = c < kGrid[r].size() ? kGrid[r][c] : "";
      EXPECT_EQ(expected, fields[r][c - 1]) << r << "," << c;
    }
  }
  DeleteFileUtf8(written);
}

TEST(HistoryCsv, ImportAcceptsShortLinesAndAnyLineEnd) {
  const THistoryCsvFields fields = ParseHistoryCsv("a,b\nc\r\n\r1,2,3", 4, 10);
  ASSERT_EQ(4u, fields.size());
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), fields[0]);
  EXPECT_EQ((std::vector<std::string>{"c"}), fields[1]);
  EXPECT_EQ((std::vector<std::string>{""}), fields[2]);
  EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), fields[3]);
  EXPECT_TRUE(ParseHistoryCsv("", 4, 10).empty());
}

TEST(HistoryCsv, ImportLeavesOutFieldsAndLinesTheGridHasNoCellFor) {
  // A file exported before the model was known (many columns) still loads.
  const THistoryCsvFields fields = ParseHistoryCsv("a,b,c,d,e\r\nf\r\ng\r\n", 4, 2);
  ASSERT_EQ(2u, fields.size());
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), fields[0]);
  EXPECT_EQ((std::vector<std::string>{"f"}), fields[1]);
}

// Every line is imported as it stands: a spreadsheet's byte-order mark is
// dropped, control bytes stay in their field, and bytes that are no code
// page 936 text come back the same on the next export.
TEST(HistoryCsv, ImportTakesEveryLineAsItStands) {
  const std::string lines[] = {
      "24/5/7,8:0:0,20,\xB2\xBC\xB7\xC0",   // 布防
      "24/5/8,\xFF,\xB2",                   // no character, half a character
      std::string("24/5/9,a\0b,\x01", 12),  // control bytes
      "\xE5\xB8\x83\xE9\x98\xB2,x",         // UTF-8 of 布防, read as code page 936
  };
  std::string file = "\xEF\xBB\xBF";
  for (const std::string& line : lines) file += line + "\r\n";
  const THistoryCsvFields fields = ParseHistoryCsv(file, 16, 10);
  ASSERT_EQ(4u, fields.size());
  EXPECT_EQ("24/5/7", fields[0][0]);
  EXPECT_EQ("\xE5\xB8\x83\xE9\x98\xB2", fields[0][3]);
  EXPECT_EQ(3u, fields[1].size());
  EXPECT_EQ(std::string("a\0b", 3), fields[2][1]);
  std::string exported;
  for (const std::vector<std::string>& f : fields) {
    std::vector<std::string> row{""};  // column 0, the row number, is not written
    row.insert(row.end(), f.begin(), f.end());
    exported += HistoryCsvBytes({row}, static_cast<int>(row.size()));
  }
  EXPECT_EQ(file.substr(3), exported);
  // A mark anywhere else is text; lines below the last row are left out.
  EXPECT_EQ(1u, ParseHistoryCsv("a\r\n\xEF\xBB\xBF\r\n", 4, 1).size());
  EXPECT_EQ(2u, ParseHistoryCsv("a\r\n\xEF\xBB\xBF\r\n", 4, 5).size());
}

TEST(HistoryCsv, FileErrorsRaiseWithTheFileName) {
  const std::string missing = GetTempFolder() + "kv_no_such_history.csv";
  try {
    ImportHistoryCsv(missing, 10, 10);
    ADD_FAILURE() << "import of a missing file reported success";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string::npos, std::string(e.what()).find(missing)) << e.what();
  }
  const std::string unwritable = GetTempFolder() + "kv_no_such_folder" + PathDelim() + "h";
  try {
    ExportHistoryCsv(unwritable, kGrid, 10);
    ADD_FAILURE() << "export into a missing folder reported success";
  } catch (const EFCreateError& e) {
    EXPECT_NE(std::string::npos, std::string(e.what()).find(unwritable + ".csv")) << e.what();
  }
}

TEST(HistoryCsv, ProposedNameIsModelWordAndTwoDigitTime) {
  const TDateTime t = EncodeDateTime(2024, 1, 31, 9, 30, 5, 0);
  EXPECT_EQ("KV42_240131093005", HistoryCsvDefaultName(1, t));
  EXPECT_EQ("KV43_240131093005", HistoryCsvDefaultName(2, t));
  EXPECT_EQ("KV41_240131093005", HistoryCsvDefaultName(0, t));
  // No model known yet, or one the program does not know: the first word.
  EXPECT_EQ("KV41_240131093005", HistoryCsvDefaultName(-1, t));
  EXPECT_EQ("KV41_241231230000",
            HistoryCsvDefaultName(7, EncodeDateTime(2024, 12, 31, 23, 0, 0, 0)));
}

// A full history of 64-byte records as a KV42 stores them, every record kind,
// armed state and relay state among them, negative and positive values.
std::vector<std::uint8_t> HistoryBytes(int count) {
  std::vector<std::uint8_t> bytes;
  for (int n = 1; n <= count; ++n) {
    std::uint8_t record[HistoryRecordSize] = {};
    record[0] = static_cast<std::uint8_t>(n);
    record[1] = static_cast<std::uint8_t>(n >> 8);
    record[4] = 24;
    record[5] = static_cast<std::uint8_t>(1 + n % 12);
    record[6] = static_cast<std::uint8_t>(1 + n % 28);
    record[7] = static_cast<std::uint8_t>(n % 24);
    record[8] = static_cast<std::uint8_t>(n % 60);
    record[9] = static_cast<std::uint8_t>((n * 7) % 60);
    record[10] = static_cast<std::uint8_t>(n % 32);
    record[11] = static_cast<std::uint8_t>((n % 2 ? 0x80 : 0) | (n % 4));
    for (int slot = 0; slot < 16; ++slot) {
      const auto value = static_cast<std::int16_t>((n * 13 + slot * 101) % 1500 - 500);
      record[12 + 2 * slot] = static_cast<std::uint8_t>(value);
      record[13 + 2 * slot] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8);
    }
    record[44] = static_cast<std::uint8_t>(n % 8);
    bytes.insert(bytes.end(), record, record + HistoryRecordSize);
  }
  return bytes;
}

// Another program reading the exported file: Python's csv module sees the
// same rows and fields as the grid held, Chinese texts and blanks included.
TEST(HistoryCsv, PythonCsvReaderSeesTheGridRows) {
  if (std::system("python3 -c \"import csv\" >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3 is not installed";
  constexpr int kRecords = HistoryDataRows;
  constexpr int kModel = 1;
  const int columns = HistoryColumnCount(kModel);
  const std::vector<std::uint8_t> bytes = HistoryBytes(kRecords);
  Rows grid;
  THistoryReadState state;
  state.Start();
  for (std::size_t at = 0; at < bytes.size(); at += 4 * HistoryRecordSize) {
    const std::span<const std::uint8_t> block(bytes.data() + at, 4 * HistoryRecordSize);
    for (THistoryGridRow& row :
         AppendHistoryRecords(block, kRecords, state, kModel, LanguageChinese).Rows)
      grid.push_back(std::move(row.Cells));
  }
  ASSERT_EQ(static_cast<std::size_t>(kRecords), grid.size());

  const std::string base = GetTempFolder() + "kv_history_python";
  const std::string csv = ExportHistoryCsv(base, grid, columns);
  const std::string out = base + ".txt";
  const std::string script = base + ".py";
  WriteFileBytes(script,
                 "import csv, sys\n"
                 "with open(sys.argv[1], encoding='gbk', newline='') as f, \\\n"
                 "     open(sys.argv[2], 'w', encoding='utf-8', newline='') as o:\n"
                 "    for row in csv.reader(f):\n"
                 "        o.write('\\x1f'.join(row) + '\\n')\n");
  ASSERT_EQ(0, std::system(("python3 '" + script + "' '" + csv + "' '" + out + "'").c_str()));

  std::string expected;
  for (const std::vector<std::string>& row : grid) {
    for (int c = 1; c < columns; ++c) {
      if (c > 1) expected += '\x1f';
      expected += row[static_cast<std::size_t>(c)];
    }
    expected += '\n';
  }
  const std::string seen = ReadFileBytes(out);
  EXPECT_EQ(expected.size(), seen.size());
  EXPECT_TRUE(expected == seen)
      << "the first difference is at byte "
      << std::mismatch(expected.begin(), expected.end(), seen.begin(), seen.end()).first -
             expected.begin();
  EXPECT_NE(std::string::npos, seen.find("\xE7\xBB\xA7\xE7\x94\xB5\xE5\x99\xA8"))  // 继电器
      << "the Chinese record kinds reached the reader";
  for (const std::string& file : {csv, out, script}) DeleteFileUtf8(file);
}

}  // namespace
}  // namespace kv
