#include "base/DateTime.h"

#include <gtest/gtest.h>

#include "base/SysUtils.h"

namespace kv {
namespace {

TEST(DateTime, CountsDaysFromTheEndOf1899) {
  struct Case {
    int y, m, d;
    double serial;
  };
  const Case cases[] = {{1899, 12, 30, 0},    {1900, 1, 1, 2},     {2000, 1, 1, 36526},
                        {2026, 12, 6, 46362}, {1, 1, 1, -693593},  {9999, 12, 31, 2958465},
                        {1899, 12, 29, -1},   {2024, 2, 29, 45351}};
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
    int y, m, d;
    DecodeDate(c.serial, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.serial;
  }
}

TEST(DateTime, RefusesImpossibleDatesAndTimes) {
  TDateTime dt = 0;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, dt));
  EXPECT_FALSE(TryEncodeDate(2000, 13, 1, dt));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, dt));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, dt));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, dt));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, dt));
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, dt));
  EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
}

TEST(DateTime, DecodesTheTimeOfDayToTheMillisecond) {
  const TDateTime dt = EncodeDateTime(2026, 1, 2, 23, 59, 58, 999);
  int y, mo, d, h, mi, s, ms;
  DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
  EXPECT_EQ(std::vector<int>({y, mo, d, h, mi, s, ms}),
            std::vector<int>({2026, 1, 2, 23, 59, 58, 999}));
  // Before 1899-12-30 the fraction is still the time of day.
  DecodeTime(-1.25, h, mi, s, ms);
  EXPECT_EQ(h, 6);
  DecodeDate(-1.25, y, mo, d);
  EXPECT_EQ(d, 29);
  EXPECT_EQ(DateOf(dt), EncodeDate(2026, 1, 2));
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 6)), 1);  // a Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);
}

TEST(DateTime, FormatsThePatternsOfTheProgram) {
  const TDateTime dt = EncodeDateTime(2026, 3, 4, 5, 6, 7, 89);
  struct Case {
    const char* pattern;
    const char* expected;
  };
  const Case cases[] = {
      {"yymmddhhnnss", "260304050607"}, {"yyyy-mm-dd", "2026-03-04"},
      {"hh:nn:ss", "05:06:07"},         {"yyyy-mm-dd hh:nn:ss", "2026-03-04 05:06:07"},
      {"hh:mm:ss", "05:06:07"},  // mm after hh is minutes
      {"h:n:s.zzz", "5:6:7.089"},       {"h:nn AM/PM", "5:06 AM"},
      {"'at' hh\"h\"", "at 05h"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, dt), c.expected) << c.pattern;
  EXPECT_EQ(FormatDateTime("hh AM/PM", EncodeTime(12, 0, 0, 0)), "12 PM");
}

TEST(DateTime, ReadsTimesAndDatesBack) {
  TDateTime t = -1;
  ASSERT_TRUE(TryStrToTime("13:45:10", t));
  EXPECT_EQ(FormatDateTime("hh:nn:ss", t), "13:45:10");
  EXPECT_LT(t, 1.0);
  ASSERT_TRUE(TryStrToTime("1:05:00 PM", t));
  EXPECT_EQ(FormatDateTime("hh:nn:ss", t), "13:05:00");
  ASSERT_TRUE(TryStrToTime("12:00 AM", t));
  EXPECT_EQ(t, 0.0);
  ASSERT_TRUE(TryStrToTime("下午", t) == false);
  for (const char* bad : {"", "25:00:00", "10", "10:", "10:61", "1:2:3x", "13:00 PM"}) {
    EXPECT_FALSE(TryStrToTime(bad, t)) << bad;
  }
  ASSERT_TRUE(TryStrToDateTime("2026-12-06 10:11:12", t));
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", t), "2026-12-06 10:11:12");
  EXPECT_FALSE(TryStrToDateTime("2026-02-30", t));
  EXPECT_FALSE(TryStrToDateTime("26-02-03", t));
}

TEST(DateTime, NowIsAPlausibleLocalTime) {
  const TDateTime now = Now();
  EXPECT_GT(now, EncodeDate(2020, 1, 1));
  EXPECT_LT(now, EncodeDate(2200, 1, 1));
  EXPECT_EQ(Date(), DateOf(Date()));
}

}  // namespace
}  // namespace kv
