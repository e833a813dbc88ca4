#pragma once
// The logger itself, without any I/O: a request goes in, the chunks the device
// sends back come out. The pty front end and in-process tests both drive it.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devicesim/SimFactory.h"
#include "devicesim/SimRequestReader.h"

namespace kv {

// One piece of a reply. `gapMs` is the pause before it: after the request for
// the first chunk, after the previous chunk for the others.
struct SimChunk {
  SimBytes bytes;
  int gapMs = 0;
  bool operator==(const SimChunk&) const = default;
};

struct SimDeviceSettings {
  std::string model = "KV41";
  std::optional<std::string> password;  // overrides the image's; "9173" on a built-in image
  SimBytes image;                       // empty: the built-in factory image
  int historyCount = 100;
  // A logger whose firmware answers every frame with address 0 instead of
  // the request's: nothing promises that the real ones echo it.
  bool echoAddress = true;
  // Bits set in every reply's command byte (0x80, 0x40): nothing promises
  // that the real ones repeat the request's command either.
  std::uint8_t commandBits = 0;
};

// Request commands of the logger's frames.
enum SimCommand : std::uint8_t {
  kSimPassword = 0x01,
  kSimSetTime = 0x03,
  kSimVersion = 0x05,
  kSimStatus = 0x06,
  kSimReadTime = 0x08,
  kSimWrite = 0x82,
  kSimRead = 0x83,
  kSimClearHistory = 0x85,
};

constexpr std::uint32_t kSimHistoryBase = 0x4000;
constexpr int kSimClearSteps = 10;
constexpr int kSimClearStepMs = 200;

class SimDevice {
 public:
  // Wall time now, in seconds since 2000-01-01 00:00:00.
  using Clock = std::function<std::int64_t()>;

  SimDevice(const SimDeviceSettings& settings, Clock now);

  std::vector<SimChunk> Answer(const SimRequest& request);

  // A frame the device sends by itself: its current status.
  SimBytes UnsolicitedFrame() const;

  void SetReportedModel(std::string model) { reportedModel_ = std::move(model); }
  void SetHistoryCount(int count) { historyCount_ = std::clamp(count, 0, kSimMaxRecords); }
  void SetCommandBits(std::uint8_t bits) { commandBits_ = bits; }
  // Bytes put straight into the configuration image; what lies beyond its
  // end is left out.
  void Poke(std::size_t at, const SimBytes& bytes);

  const SimBytes& Image() const { return image_; }
  std::uint8_t RelayBits() const { return relays_; }
  int HistoryCount() const { return historyCount_; }
  SimDateTime DeviceTime() const;
  std::string Password() const;
  const std::string& ReportedModel() const { return reportedModel_; }

 private:
  std::vector<SimChunk> AnswerFrame(const SimFrame& frame);
  std::vector<SimChunk> AnswerText(const SimBytes& line);
  SimBytes StatusData() const;
  SimBytes ReadMemory(std::uint32_t address) const;
  std::uint8_t WriteBlock(std::uint32_t address, const SimBytes& data);

  Clock now_;
  std::string reportedModel_;
  int modelIndex_ = 0;
  SimBytes initialImage_;
  SimBytes image_;
  std::uint8_t relays_ = 0;
  int historyCount_ = 0;
  std::int64_t clockOffset_ = 0;
  bool echoAddress_ = true;
  std::uint8_t commandBits_ = 0;
};

// The device's state as text, one "name value" line each:
//   image <hex of the whole configuration memory, lowercase>
//   relays <bit 0 DO1 closed, bit 1 DO2 closed>
//   time <YYYY-MM-DD HH:MM:SS of the device clock>
//   history <records stored>
//   password <device password>
//   model <model reported>
std::string SimStateText(const SimDevice& device);

}  // namespace kv
