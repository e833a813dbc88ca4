#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/HistoryCsv_Unt.h"
#include "base/Streams.h"
#include "base/SysUtils.h"

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

TEST(HistoryCsv, MalformedLinesAreReportedWithTheirNumber) {
  struct Case {
    std::string Text;
    int Line;
  };
  const Case cases[] = {
      {"a,b\r\na,b,c,d\r\n", 2},             // more fields than data columns
      {"a\r\nb\r\n\xB2\r\n", 3},             // a lead byte cut by the line end
      {"a\r\n\xFF,b\r\n", 2},                // no character of code page 936
      {std::string("a\r\nb\0c\r\n", 7), 2},  // a zero byte
      {"1\r\n2\r\n3\r\n4\r\n", 4},           // beyond the last data row
  };
  for (const Case& c : cases) {
    try {
      ParseHistoryCsv(c.Text, 4, 3);
      ADD_FAILURE() << "accepted line " << c.Line;
    } catch (const ECsvLineError& e) {
      EXPECT_EQ(c.Line, e.Line());
      EXPECT_EQ("CSV line " + std::to_string(c.Line) + ":",
                std::string(e.what()).substr(0, 10 + std::to_string(c.Line).size()));
    }
  }
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

}  // namespace
}  // namespace kv
