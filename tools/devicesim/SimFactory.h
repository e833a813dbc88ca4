#pragma once
// What a logger holds when it leaves the factory: the 3568-byte configuration
// image, the channel layout of each model and the stored history records.

#include <cstdint>
#include <string>

#include "devicesim/SimFrame.h"

namespace kv {

constexpr std::size_t kSimImageSize = 3568;
constexpr std::size_t kSimBlockSize = 256;
constexpr std::size_t kSimReadBlocks = 14;
constexpr std::size_t kSimWriteBlocks = 15;  // the last one all 0xFF
constexpr std::size_t kSimRecordSize = 64;
constexpr int kSimMaxRecords = 20000;
constexpr int kSimSlots = 16;

// Channel layout: 0 KV41 (four temperature/humidity pairs), 1 KV42 (eight
// pairs), 2 KV43 (eight temperatures on the even slots).
int SimModelIndexOf(const std::string& model);
bool SimSlotUsed(int modelIndex, int slot);
bool SimSlotIsHumidity(int modelIndex, int slot);

struct SimDateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  bool operator==(const SimDateTime&) const = default;
};
bool SimDateTimeValid(const SimDateTime& t);
// Seconds since 2000-01-01 00:00:00 of a civil date and time, and back.
std::int64_t SimSecondsOf(const SimDateTime& t);
SimDateTime SimDateTimeOf(std::int64_t seconds);

SimBytes MakeSimFactoryImage(const std::string& model, const std::string& password);

// Current reading of a channel slot in tenths (the "live" values).
std::int16_t SimChannelValue(int modelIndex, int slot);

// History record `number` (1-based) of a device that has been logging since
// 2024-05-07 08:00:00 every ten minutes.
SimBytes MakeSimHistoryRecord(int modelIndex, int number);

}  // namespace kv
