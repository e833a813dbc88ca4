#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/HistoryFilter_Unt.h"
#include "base/DateTime.h"

namespace kv {
namespace {

using Texts = std::vector<std::string>;

TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  return EncodeDateTime(y, mo, d, h, mi, s, 0);
}

std::string Shown(std::optional<TDateTime> t) {
  return t ? FormatDateTime("yyyy-mm-dd hh:nn:ss", *t) : "none";
}

TEST(HistoryFilter, DateAndTimeCellsSplitIntoTheirNumbers) {
  EXPECT_EQ((Texts{"24", "5", "7", "8", "3", "0"}), SplitDateTimeCells("24/5/7", "8:3:0"));
  EXPECT_EQ((Texts{"24", "", "5", "7", "8", "3"}), SplitDateTimeCells("24 /5/7", "8:3"));
  EXPECT_EQ((Texts{"24", "5", "7", ""}), SplitDateTimeCells("24/5/7", ""));
}

TEST(HistoryFilter, RowTimeNeedsSixNumbersFormingAValidTime) {
  EXPECT_EQ("2024-05-07 08:03:00", Shown(HistoryRowTime("24/5/7", "8:3:0")));
  EXPECT_EQ("2000-01-01 00:00:00", Shown(HistoryRowTime("x/1/1", "0:0:0")));  // no number is 0
  EXPECT_EQ("2000-05-07 08:03:00", Shown(HistoryRowTime("$18/5/7", "8:3:0")));  // nor is hex
  EXPECT_FALSE(HistoryRowTime("24/0/7", "8:3:0"));                            // month 0
  EXPECT_FALSE(HistoryRowTime("24/2/30", "8:3:0"));
  EXPECT_FALSE(HistoryRowTime("24/5/7", "25:3:0"));
  EXPECT_FALSE(HistoryRowTime("24/5/7", "8:3"));
  EXPECT_FALSE(HistoryRowTime("24/5/7 1", "8:3:0"));
  EXPECT_FALSE(HistoryRowTime("2147483647/5/7", "8:3:0"));
}

const THistoryGridRows kGrid = {
    {"1", "24/5/7", "8:3:0", "27", "Arm", "Close", "Open", "Relay Switch", "-10.0"},
    {"2", "24/13/7", "8:4:0", "27", "Arm", "Close", "Open", "Alarm", "1.0"},  // shown as stored
    {"3", "24/5/7", "9:0:0", "27", "Disarm", "Open", "Open", "Interval", "2.0"},
    {"4", "", "", "", "", "", "", "", ""},
    {"5", "24/5/8", "0:0:0", "5", "Disarm", "Open", "Close", "Upload", "3.0"},
    {"6"},
};

TEST(HistoryFilter, KeepsRowsInTheRangeBothEndsIncluded) {
  const Texts lines =
      FilterHistoryLines(kGrid, 9, At(2024, 5, 7, 8, 3, 0), At(2024, 5, 7, 9, 0, 0));
  EXPECT_EQ((Texts{"24/5/7,8:3:0,27,Arm,Close,Open,Relay Switch,-10.0",
                   "24/5/7,9:0:0,27,Disarm,Open,Open,Interval,2.0"}),
            lines);
}

TEST(HistoryFilter, RowsWithAnInvalidDateAreSkippedAndTheRestStillFiltered) {
  // Row 2 (month 13) comes before rows that are in range.
  const Texts lines =
      FilterHistoryLines(kGrid, 9, At(2024, 1, 1, 0, 0, 0), At(2024, 12, 31, 0, 0, 0));
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ("24/5/8,0:0:0,5,Disarm,Open,Close,Upload,3.0", lines[2]);
}

TEST(HistoryFilter, BeginAfterEndKeepsNothing) {
  EXPECT_TRUE(
      FilterHistoryLines(kGrid, 9, At(2024, 5, 8, 0, 0, 0), At(2024, 5, 7, 0, 0, 0)).empty());
}

TEST(HistoryFilter, KeptRowsGoBackAsImportedFieldsWithBlanksIntact) {
  const THistoryCsvFields fields =
      FilterHistoryRows(kGrid, 9, At(2024, 5, 7, 0, 0, 0), At(2024, 5, 7, 8, 30, 0));
  ASSERT_EQ(1u, fields.size());
  EXPECT_EQ((Texts{"24/5/7", "8:3:0", "27", "Arm", "Close", "Open", "Relay Switch", "-10.0"}),
            fields[0]);
}

}  // namespace
}  // namespace kv
