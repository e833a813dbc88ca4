// Settings models shared by the image and profile tests.
#pragma once

#include <string>

#include "app/SoftInterfaceMaster_Unt.h"

namespace kv::samples {

extern const std::string kTick;  // the tick mark in UTF-8

// Flag patterns that differ from row to row.
bool PhoneFlag(int row, int flag);
bool ChannelEnable(int i);
bool ChannelRecovery(int i);
bool ChannelLink1(int i);
bool ChannelLink2(int i);

struct TTimerCase {
  const char* Week;
  int WeekCode;
  int Hour;
  int Minute;
  int Action;
};
extern const TTimerCase kTimers[8];

// Rows as the window builds them, every cell empty.
TMasterSettings EmptyRows(int model);
// Every field at its own value, so that a shifted or swapped field shows.
TMasterSettings FullSettings(int model);

}  // namespace kv::samples
