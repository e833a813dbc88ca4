// Dates and times as TDateTime: days since 1899-12-30 00:00, the fraction
// being the time of day. Before that day the integer part counts back and the
// fraction still counts forward in time of day (-1.25 is 1899-12-29 06:00).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

using TDateTime = double;

constexpr double kMSecsPerDay = 86400000.0;

// Year 1..9999. False for an impossible date or time.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec);

void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime dt);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

TDateTime DateOf(TDateTime dt);  // midnight of that day
TDateTime TimeOf(TDateTime dt);  // the time of day alone

// The local date and time of the PC, to the millisecond.
TDateTime Now();
TDateTime Date();

// Patterns: yyyy, yy, m, mm (minutes right after h or hh), d, dd, h, hh, n,
// nn, s, ss, z, zzz, "AM/PM" (12-hour clock); text in single or double quotes
// and any other character are copied.
std::string FormatDateTime(std::string_view pattern, TDateTime dt);

// A time of day "h:n", "h:n:s" or "h:n:s.z", with an optional "AM"/"PM"
// before or after; false for anything else. The date part is 0.
bool TryStrToTime(std::string_view text, TDateTime& result);
// A date "y-m-d" or "y/m/d" (four-digit year), optionally followed by a blank
// and a time as above.
bool TryStrToDateTime(std::string_view text, TDateTime& result);

}  // namespace kv
