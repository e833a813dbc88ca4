// What the device simulator stores as history record n, as the grid shows
// its first columns.
#pragma once

#include <string>
#include <vector>

#include "base/DateTime.h"

namespace kv::samples {

// Record n: one every ten minutes since 2024-05-07 08:00:00, signal
// 18 + n mod 13. Number, date, time and signal.
inline std::vector<std::string> SimRecordStart(int n) {
  const TDateTime t = EncodeDateTime(2024, 5, 7, 8, 0, 0, 0) + (n - 1) * 600.0 / 86400.0;
  int year, month, day, hour, minute, second, msec;
  DecodeDateTime(t + 0.1 / 86400.0, year, month, day, hour, minute, second, msec);
  return {std::to_string(n),
          std::to_string(year - 2000) + "/" + std::to_string(month) + "/" + std::to_string(day),
          std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second),
          std::to_string(18 + n % 13)};
}

}  // namespace kv::samples
