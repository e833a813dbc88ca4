#include "devicesim/SimFactory.h"

#include <algorithm>
#include <chrono>

namespace kv {

namespace {

void PutText(SimBytes& image, std::size_t offset, std::size_t width, const std::string& text) {
  std::fill_n(image.begin() + std::ptrdiff_t(offset), width, 0);
  std::copy_n(text.begin(), std::min(width, text.size()), image.begin() + std::ptrdiff_t(offset));
}

void PutU16(SimBytes& image, std::size_t offset, int value) {
  image[offset] = std::uint8_t(value);
  image[offset + 1] = std::uint8_t(value >> 8);
}

std::string ChannelName(int modelIndex, int slot) {
  const int channel = slot / 2 + 1;
  return (SimSlotIsHumidity(modelIndex, slot) ? "Humidity" : "Temperature") +
         std::to_string(channel);
}

const std::int64_t kHistoryStart = SimSecondsOf({2024, 5, 7, 8, 0, 0});
constexpr int kHistoryStep = 600;

}  // namespace

int SimModelIndexOf(const std::string& model) {
  if (model == "KV42") return 1;
  if (model == "KV43") return 2;
  return 0;
}

bool SimSlotUsed(int modelIndex, int slot) {
  if (slot < 0 || slot >= kSimSlots) return false;
  if (modelIndex == 1) return true;
  if (modelIndex == 2) return slot % 2 == 0;
  return slot < 8;
}

bool SimSlotIsHumidity(int modelIndex, int slot) { return modelIndex != 2 && slot % 2 == 1; }

bool SimDateTimeValid(const SimDateTime& t) {
  using namespace std::chrono;
  const year_month_day date{year(t.year), month(unsigned(t.month)), day(unsigned(t.day))};
  return date.ok() && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
         t.second >= 0 && t.second < 60;
}

std::int64_t SimSecondsOf(const SimDateTime& t) {
  using namespace std::chrono;
  const sys_days date{year(t.year) / month(unsigned(t.month)) / day(unsigned(t.day))};
  const sys_days epoch{year(2000) / January / 1};
  return (date - epoch).count() * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second;
}

SimDateTime SimDateTimeOf(std::int64_t seconds) {
  using namespace std::chrono;
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const year_month_day date{sys_days{year(2000) / January / 1} + std::chrono::days(days)};
  return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day())),
          int(rest / 3600), int(rest / 60 % 60),         int(rest % 60)};
}

SimBytes MakeSimFactoryImage(const std::string& model, const std::string& password) {
  const int modelIndex = SimModelIndexOf(model);
  SimBytes image(kSimImageSize, 0xFF);
  PutText(image, 0, 4, password);
  PutU16(image, 4, 1);  // device id
  image[6] = 8;         // daily report at 08:00
  image[7] = 0;
  PutU16(image, 8, 0);  // no periodic SMS report
  PutText(image, 34, 60, model + " Temperature Humidity Data Logger");
  image[94] = 0x01;  // armed at power-on
  image[95] = 0;     // no automatic re-arm
  PutU16(image, 96, 0);
  PutU16(image, 98, 0);
  PutU16(image, 100, 0);
  for (int k = 0; k < 10; ++k) {
    PutText(image, 102 + 22 * std::size_t(k), 22, "");
    PutU16(image, 322 + 2 * std::size_t(k), 0x0018);  // alarm and recovery
  }
  for (int r = 0; r < 2; ++r) {
    const std::size_t base = 342 + 164 * std::size_t(r);
    PutText(image, base, 40, "DOUT" + std::to_string(r + 1));
    PutU16(image, base + 40, 0);
    image[base + 42] = 0x40;
    image[base + 43] = 0;
    PutText(image, base + 44, 60, "Close");
    PutText(image, base + 104, 60, "Open");
  }
  for (int t = 0; t < 10; ++t) {
    const std::size_t base = 670 + 4 * std::size_t(t);
    image[base] = 0x80;  // disabled, Sunday
    image[base + 1] = 0;
    image[base + 2] = 0;
    image[base + 3] = 0;
  }
  image[710] = 0x00;  // TCP, protocol disabled
  PutText(image, 712, 32, "192.168.1.100");
  PutU16(image, 744, 5000);
  PutU16(image, 746, 60);
  PutU16(image, 748, 30);
  PutText(image, 750, 20, "HEARTBEAT");
  PutU16(image, 770, 999);  // power-loss SMS off
  for (int slot = 0; slot < kSimSlots; ++slot) {
    if (!SimSlotUsed(modelIndex, slot)) continue;
    const std::size_t s = std::size_t(slot);
    const bool humidity = SimSlotIsHumidity(modelIndex, slot);
    PutText(image, 772 + 40 * s, 40, ChannelName(modelIndex, slot));
    PutText(image, 1412 + 40 * s, 40, "High Alarm");
    PutText(image, 2052 + 40 * s, 40, "Low Alarm");
    PutText(image, 2692 + 40 * s, 40, "Recover");
    PutU16(image, 3332 + 2 * s, 2);
    image[3364 + s] = 0x41;  // enabled, recovery SMS
    const int high = humidity ? 1000 : modelIndex == 2 ? 1250 : 800;
    const int low = humidity ? 0 : modelIndex == 2 ? -550 : -400;
    PutU16(image, 3380 + 2 * s, high);
    PutU16(image, 3412 + 2 * s, low);
  }
  PutU16(image, 3446, 600);
  PutText(image, 3448, 40, "CMNET");
  PutText(image, 3488, 40, "");
  PutText(image, 3528, 40, "");
  return image;
}

std::int16_t SimChannelValue(int modelIndex, int slot) {
  if (!SimSlotUsed(modelIndex, slot)) return 0;
  const int channel = slot / 2;
  if (SimSlotIsHumidity(modelIndex, slot)) return std::int16_t(552 + 10 * channel);
  if (channel == 3) return -125;  // a freezer probe
  return std::int16_t(231 + 10 * channel);
}

SimBytes MakeSimHistoryRecord(int modelIndex, int number) {
  SimBytes record(kSimRecordSize, 0xFF);
  const auto n = std::uint32_t(number);
  for (int i = 0; i < 4; ++i) record[std::size_t(i)] = std::uint8_t(n >> (8 * i));
  const SimDateTime t = SimDateTimeOf(kHistoryStart + std::int64_t(number - 1) * kHistoryStep);
  record[4] = std::uint8_t(t.year - 2000);
  record[5] = std::uint8_t(t.month);
  record[6] = std::uint8_t(t.day);
  record[7] = std::uint8_t(t.hour);
  record[8] = std::uint8_t(t.minute);
  record[9] = std::uint8_t(t.second);
  record[10] = std::uint8_t(18 + number % 13);  // signal
  // Armed; DO1 closed for a while now and then.
  record[11] = std::uint8_t(0x80 | (number % 50 >= 45 ? 0x01 : 0));
  for (int slot = 0; slot < kSimSlots; ++slot) {
    int value = 0;
    if (SimSlotUsed(modelIndex, slot)) {
      const int wobble = (number * 7 + slot * 3) % 21 - 10;
      value = SimChannelValue(modelIndex, slot) + wobble;
    }
    record[12 + 2 * std::size_t(slot)] = std::uint8_t(value);
    record[13 + 2 * std::size_t(slot)] = std::uint8_t(value >> 8);
  }
  // Mostly interval records, with the other kinds mixed in.
  static constexpr std::uint8_t kTypes[10] = {0, 0, 0, 0, 2, 0, 0, 1, 0, 3};
  record[44] = number % 97 == 0 ? 6 : number % 89 == 0 ? 4 : kTypes[number % 10];
  std::fill(record.begin() + 45, record.end(), 0);
  return record;
}

}  // namespace kv
