#include "devicesim/SimDevice.h"

#include <algorithm>
#include <cstdio>

namespace kv {

namespace {

SimChunk Reply(const SimFrame& request, SimBytes data) {
  return {BuildSimFrame(request.command, request.address, data), 0};
}

SimChunk Text(const std::string& text) { return {SimBytes(text.begin(), text.end()), 0}; }

void PutFixedText(SimBytes& data, const std::string& text, std::size_t width) {
  const std::size_t at = data.size();
  data.resize(at + width, 0);
  std::copy_n(text.begin(), std::min(width, text.size()), data.begin() + std::ptrdiff_t(at));
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

SimDevice::SimDevice(const SimDeviceSettings& settings, Clock now)
    : now_(std::move(now)),
      reportedModel_(settings.model),
      modelIndex_(SimModelIndexOf(settings.model)) {
  if (settings.image.empty()) {
    initialImage_ = MakeSimFactoryImage(settings.model, settings.password.value_or("9173"));
  } else {
    initialImage_ = settings.image;
    initialImage_.resize(kSimImageSize, 0xFF);
    if (settings.password) {
      std::fill_n(initialImage_.begin(), 4, 0);
      std::copy_n(settings.password->begin(), std::min<std::size_t>(4, settings.password->size()),
                  initialImage_.begin());
    }
  }
  image_ = initialImage_;
  historyCount_ = std::clamp(settings.historyCount, 0, kSimMaxRecords);
  echoAddress_ = settings.echoAddress;
  commandBits_ = settings.commandBits;
}

std::string SimDevice::Password() const {
  // An erased field (0xFF) counts as empty, as the configurator reads it.
  std::string password;
  for (std::size_t i = 0; i < 4 && image_[i] != 0; ++i) {
    if (image_[i] != 0xFF) password.push_back(char(image_[i]));
  }
  return password;
}

SimDateTime SimDevice::DeviceTime() const { return SimDateTimeOf(now_() + clockOffset_); }

SimBytes SimDevice::StatusData() const {
  SimBytes data;
  for (int slot = 0; slot < kSimSlots; ++slot) {
    const auto value = std::uint16_t(SimChannelValue(modelIndex_, slot));
    data.push_back(std::uint8_t(value));
    data.push_back(std::uint8_t(value >> 8));
  }
  data.push_back(relays_);
  return data;
}

SimBytes SimDevice::UnsolicitedFrame() const { return BuildSimFrame(kSimStatus, 0, StatusData()); }

SimBytes SimDevice::ReadMemory(std::uint32_t address) const {
  SimBytes data(kSimBlockSize, 0xFF);
  if (address < kSimHistoryBase) {
    for (std::size_t i = 0; i < kSimBlockSize; ++i) {
      const std::size_t at = address + i;
      if (at < image_.size()) data[i] = image_[at];
    }
    return data;
  }
  const std::uint64_t offset = address - kSimHistoryBase;
  for (std::uint64_t record = offset / kSimRecordSize;
       record * kSimRecordSize < offset + kSimBlockSize && record < std::uint64_t(historyCount_);
       ++record) {
    const SimBytes bytes = MakeSimHistoryRecord(modelIndex_, int(record) + 1);
    for (std::size_t i = 0; i < kSimRecordSize; ++i) {
      const std::uint64_t at = record * kSimRecordSize + i;
      if (at >= offset && at < offset + kSimBlockSize) data[std::size_t(at - offset)] = bytes[i];
    }
  }
  return data;
}

void SimDevice::Poke(std::size_t at, const SimBytes& bytes) {
  for (std::size_t i = 0; i < bytes.size() && at + i < image_.size(); ++i)
    image_[at + i] = bytes[i];
}

std::uint8_t SimDevice::WriteBlock(std::uint32_t address, const SimBytes& data) {
  // The configurator writes one block more than the image holds (at 3584, all
  // 0xFF): it is acknowledged and dropped.
  if (data.size() != kSimBlockSize || address % kSimBlockSize != 0 ||
      address >= kSimWriteBlocks * kSimBlockSize) {
    return 0;
  }
  const std::size_t start = std::min<std::size_t>(address, kSimImageSize);
  const std::size_t count = std::min(kSimBlockSize, kSimImageSize - start);
  std::copy_n(data.begin(), count, image_.begin() + std::ptrdiff_t(start));
  return 1;
}

std::vector<SimChunk> SimDevice::AnswerFrame(const SimFrame& frame) {
  const SimFrame to{std::uint8_t(frame.command | commandBits_), echoAddress_ ? frame.address : 0,
                    {}};
  switch (frame.command) {
    case kSimPassword: {
      const std::string given(frame.data.begin(), frame.data.end());
      const std::string typed = given.substr(0, given.find('\0'));
      const bool accepted = frame.data.size() == 4 && typed == Password();
      return {Reply(to, {std::uint8_t(accepted ? 1 : 0)})};
    }
    case kSimSetTime: {
      if (frame.data.size() != 6) return {Reply(to, {0})};
      const SimDateTime t{2000 + frame.data[0], frame.data[1], frame.data[2],
                          frame.data[3],        frame.data[4], frame.data[5]};
      if (!SimDateTimeValid(t)) return {Reply(to, {0})};
      clockOffset_ = SimSecondsOf(t) - now_();
      return {Reply(to, {1})};
    }
    case kSimVersion: {
      SimBytes data;
      PutFixedText(data, reportedModel_, 8);
      PutFixedText(data, "V1.08", 8);
      PutFixedText(data, "865067041234567", 16);
      data.push_back(23);  // signal
      return {Reply(to, data)};
    }
    case kSimStatus:
      // The same reply serves the relay states (byte 32) and the channel
      // values (bytes 0-31), whatever the selector in the address.
      return {Reply(to, StatusData())};
    case kSimReadTime: {
      const SimDateTime t = DeviceTime();
      return {Reply(to, {std::uint8_t(t.year - 2000), std::uint8_t(t.month), std::uint8_t(t.day),
                         std::uint8_t(t.hour), std::uint8_t(t.minute), std::uint8_t(t.second)})};
    }
    case kSimWrite:
      return {Reply(to, {WriteBlock(frame.address, frame.data)})};
    case kSimRead:
      return {Reply(to, ReadMemory(frame.address))};
    case kSimClearHistory: {
      // Progress as bare decimal text, each piece well apart so that the
      // configurator receives it as a chunk of its own.
      historyCount_ = 0;
      std::vector<SimChunk> chunks;
      for (int step = 1; step <= kSimClearSteps; ++step) {
        SimChunk chunk = Text(std::to_string(step * 100 / kSimClearSteps));
        chunk.gapMs = kSimClearStepMs;
        chunks.push_back(std::move(chunk));
      }
      return chunks;
    }
    default:
      return {};
  }
}

std::vector<SimChunk> SimDevice::AnswerText(const SimBytes& bytes) {
  const std::string line(bytes.begin(), bytes.end() - 2);  // without CR LF
  static const struct {
    const char* word;
    int relay;
    bool close;
  } kRelayWords[] = {{"DOC1", 0, true}, {"DOO1", 0, false}, {"DOC2", 1, true}, {"DOO2", 1, false}};
  // The configurator sends the factory password with every relay command,
  // whatever the device's password is, so the prefix is not checked.
  for (const auto& word : kRelayWords) {
    if (!EndsWith(line, word.word)) continue;
    const auto bit = std::uint8_t(1u << word.relay);
    relays_ = word.close ? std::uint8_t(relays_ | bit) : std::uint8_t(relays_ & ~bit);
    return {Text("OK\r\n")};
  }
  for (const std::string word : {"RESET", "REBOOT"}) {
    if (!EndsWith(line, word)) continue;
    if (line.substr(0, line.size() - word.size()) != Password()) return {Text("ERROR\r\n")};
    relays_ = 0;
    if (word == "REBOOT") return {};  // gone for a restart: nothing to say
    image_ = initialImage_;
    return {Text("OK\r\n")};
  }
  return {};
}

std::vector<SimChunk> SimDevice::Answer(const SimRequest& request) {
  switch (request.kind) {
    case SimRequest::Kind::Frame:
      return AnswerFrame(request.frame);
    case SimRequest::Kind::Text:
      return AnswerText(request.bytes);
    case SimRequest::Kind::BadFrame:  // a real logger stays silent
    case SimRequest::Kind::Noise:
      return {};
  }
  return {};
}

std::string SimStateText(const SimDevice& device) {
  static const char digits[] = "0123456789abcdef";
  std::string text = "image ";
  for (std::uint8_t byte : device.Image()) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  const SimDateTime t = device.DeviceTime();
  char time[40];
  std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  text += "\nrelays " + std::to_string(device.RelayBits()) + "\ntime " + time + "\nhistory " +
          std::to_string(device.HistoryCount()) + "\npassword " + device.Password() + "\nmodel " +
          device.ReportedModel() + "\n";
  return text;
}

}  // namespace kv
