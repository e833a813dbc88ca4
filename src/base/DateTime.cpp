#include "base/DateTime.h"

#include <cmath>

#include "base/SysUtils.h"

namespace kv {

namespace {

// Days from 0001-01-01 to 1899-12-30.
constexpr int64_t kDelta = 693593;

int64_t DaysBeforeYear(int year) {
  const int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

// Whole milliseconds since 1899-12-30 00:00, the fraction read as a positive
// time of day also for dates before that day.
int64_t ToMSecs(TDateTime dt) {
  const double day = std::trunc(dt);
  const double frac = std::fabs(dt - day);
  auto ms = static_cast<int64_t>(std::llround(frac * kMSecsPerDay));
  int64_t days = static_cast<int64_t>(day);
  if (ms >= 86400000) {  // rounding reached the next day
    ms -= 86400000;
    days += dt < 0 ? -1 : 1;
  }
  return days * 86400000 + (days < 0 ? -ms : ms);
}

void SplitMSecs(TDateTime dt, int64_t& days, int64_t& msOfDay) {
  const int64_t all = ToMSecs(dt);
  days = all / 86400000;
  msOfDay = all % 86400000;
  if (msOfDay < 0) msOfDay = -msOfDay;
}

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  int64_t days = DaysBeforeYear(year);
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day - 1;
  result = static_cast<double>(days - kDelta);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
      msec > 999) {
    return false;
  }
  result = ((hour * 3600 + minute * 60 + second) * 1000.0 + msec) / kMSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime r = 0;
  if (!TryEncodeDate(year, month, day, r)) throw EConvertError("Invalid argument to date encode");
  return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime r = 0;
  if (!TryEncodeTime(hour, minute, second, msec, r)) {
    throw EConvertError("Invalid argument to time encode");
  }
  return r;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
  const TDateTime date = EncodeDate(year, month, day);
  const TDateTime time = EncodeTime(hour, minute, second, msec);
  return date >= 0 ? date + time : date - time;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  int64_t days = 0, ms = 0;
  SplitMSecs(dt, days, ms);
  int64_t n = days + kDelta;  // days since 0001-01-01
  if (n < 0) {
    year = month = day = 0;
    return;
  }
  int y = static_cast<int>(n / 366) + 1;  // below the answer; step up
  while (DaysBeforeYear(y + 1) <= n) ++y;
  n -= DaysBeforeYear(y);
  int m = 1;
  while (n >= DaysInMonth(y, m)) n -= DaysInMonth(y, m++);
  year = y;
  month = m;
  day = static_cast<int>(n) + 1;
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec) {
  int64_t days = 0, ms = 0;
  SplitMSecs(dt, days, ms);
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& msec) {
  DecodeDate(dt, year, month, day);
  DecodeTime(dt, hour, minute, second, msec);
}

int DayOfWeek(TDateTime dt) {
  int64_t days = 0, ms = 0;
  SplitMSecs(dt, days, ms);
  // 1899-12-30 was a Saturday (7).
  const int64_t k = ((days + 6) % 7 + 7) % 7;
  return static_cast<int>(k) + 1;
}

TDateTime DateOf(TDateTime dt) {
  int64_t days = 0, ms = 0;
  SplitMSecs(dt, days, ms);
  return static_cast<double>(days);
}

TDateTime TimeOf(TDateTime dt) {
  int64_t days = 0, ms = 0;
  SplitMSecs(dt, days, ms);
  return static_cast<double>(ms) / kMSecsPerDay;
}

TDateTime Date() { return DateOf(Now()); }

std::string FormatDateTime(std::string_view pattern, TDateTime dt) {
  int year, month, day, hour, minute, second, msec;
  DecodeDateTime(dt, year, month, day, hour, minute, second, msec);
  const bool twelve = LowerCase(pattern).find("am/pm") != std::string::npos;
  const int shownHour = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
  std::string out;
  bool afterHour = false;
  size_t i = 0;
  const auto run = [&](char c) {
    size_t n = 0;
    while (i + n < pattern.size() && Lower(pattern[i + n]) == c) ++n;
    return n;
  };
  while (i < pattern.size()) {
    const char c = Lower(pattern[i]);
    if (pattern[i] == '"' || pattern[i] == '\'') {
      const size_t close = pattern.find(pattern[i], i + 1);
      const size_t end = close == std::string_view::npos ? pattern.size() : close;
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end == pattern.size() ? end : end + 1;
      continue;
    }
    if (c == 'a' && LowerCase(pattern.substr(i, 5)) == "am/pm") {
      out += hour < 12 ? "AM" : "PM";
      i += 5;
      continue;
    }
    const size_t n =
        (c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 'n' || c == 's' || c == 'z') ? run(c)
                                                                                           : 0;
    if (n == 0) {
      out += pattern[i++];
      continue;
    }
    switch (c) {
      case 'y':
        out += n <= 2 ? Pad(year % 100, 2) : Pad(year, 4);
        break;
      case 'm':
        if (afterHour) {
          out += Pad(minute, n >= 2 ? 2 : 1);
        } else {
          out += Pad(month, n >= 2 ? 2 : 1);
        }
        break;
      case 'd':
        out += Pad(day, n >= 2 ? 2 : 1);
        break;
      case 'h':
        out += Pad(shownHour, n >= 2 ? 2 : 1);
        break;
      case 'n':
        out += Pad(minute, n >= 2 ? 2 : 1);
        break;
      case 's':
        out += Pad(second, n >= 2 ? 2 : 1);
        break;
      case 'z':
        out += Pad(msec, n >= 3 ? 3 : 1);
        break;
    }
    afterHour = c == 'h';
    i += n;
  }
  return out;
}

namespace {

// Reads up to maxDigits decimal digits at text[i].
bool Number(std::string_view text, size_t& i, int maxDigits, int& value) {
  const size_t start = i;
  value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' &&
         static_cast<int>(i - start) < maxDigits) {
    value = value * 10 + (text[i++] - '0');
  }
  return i > start;
}

}  // namespace

bool TryStrToTime(std::string_view text, TDateTime& result) {
  std::string s = Trim(text);
  int half = 0;  // 1 AM, 2 PM
  for (const char* marker : {"AM", "PM"}) {
    if (StartsText(marker, s)) {
      half = marker[0] == 'A' ? 1 : 2;
      s = Trim(std::string_view(s).substr(2));
    } else if (EndsText(marker, s)) {
      half = marker[0] == 'A' ? 1 : 2;
      s = Trim(std::string_view(s).substr(0, s.size() - 2));
    }
  }
  size_t i = 0;
  int hour = 0, minute = 0, second = 0, msec = 0;
  if (!Number(s, i, 2, hour) || i >= s.size() || s[i++] != ':') return false;
  if (!Number(s, i, 2, minute)) return false;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!Number(s, i, 2, second)) return false;
    if (i < s.size() && s[i] == '.') {
      ++i;
      if (!Number(s, i, 3, msec)) return false;
    }
  }
  if (i != s.size()) return false;
  if (half != 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (half == 2 ? 12 : 0);
  }
  return TryEncodeTime(hour, minute, second, msec, result);
}

bool TryStrToDateTime(std::string_view text, TDateTime& result) {
  const std::string s = Trim(text);
  size_t i = 0;
  int year = 0, month = 0, day = 0;
  if (!Number(s, i, 4, year) || i != 4 || i >= s.size() || (s[i] != '-' && s[i] != '/')) {
    return false;
  }
  const char sep = s[i++];
  if (!Number(s, i, 2, month) || i >= s.size() || s[i++] != sep || !Number(s, i, 2, day)) {
    return false;
  }
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) return false;
  TDateTime time = 0;
  if (i < s.size() && !TryStrToTime(std::string_view(s).substr(i), time)) return false;
  result = date >= 0 ? date + time : date - time;
  return true;
}

}  // namespace kv
