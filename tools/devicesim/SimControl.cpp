#include "devicesim/SimControl.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "devicesim/SimOptions.h"

namespace kv {

namespace {

bool ParseCount(const std::string& word, int& value) {
  if (word.empty()) return false;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  return ec == std::errc() && end == word.data() + word.size() && value >= 0;
}

// Cuts a reply's data part in half but keeps its length field; the checksum
// covers what is left, so only the length gives the cut away.
SimBytes Truncated(const SimBytes& bytes) {
  if (bytes.size() < kSimFrameOverhead || bytes[0] != kSimFrameStart) {
    return SimBytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
  }
  const std::size_t n = bytes.size() - kSimFrameOverhead;
  SimBytes cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(8 + n / 2));
  cut.push_back(SimXor(std::span(cut).subspan(1)));
  return cut;
}

bool TakeOne(int& count) {
  if (count == 0) return false;
  --count;
  return true;
}

}  // namespace

const SimBytes& SimControl::GarbageBytes() {
  static const SimBytes garbage = {0x55, 0xAA, 0x00, 0xFF, 0x13, 0x37, 0x0D, 0x0A};
  return garbage;
}

SimControlAction SimControl::Apply(const std::string& line) {
  std::istringstream in(line);
  std::string word;
  in >> word;
  std::vector<std::string> args;
  for (std::string arg; in >> arg;) args.push_back(arg);

  SimControlAction action;
  auto invalid = [&] {
    action.kind = SimControlAction::Kind::Invalid;
    action.text = "not understood: " + line;
    return action;
  };
  // Counted faults take an optional count; timed ones a time first.
  auto counted = [&](int& count) {
    int n = 1;
    if (args.size() > 1 || (args.size() == 1 && !ParseCount(args[0], n))) return invalid();
    count = n;
    return action;
  };
  auto timed = [&](int& count, int& ms) {
    int n = 1, t = 0;
    if (args.empty() || args.size() > 2 || !ParseCount(args[0], t)) return invalid();
    if (args.size() == 2 && !ParseCount(args[1], n)) return invalid();
    count = n;
    ms = t;
    return action;
  };

  if (word.empty()) return action;
  if (word == "drop") return counted(drop_);
  if (word == "badsum") return counted(badsum_);
  if (word == "garbage") return counted(garbage_);
  if (word == "truncate") return counted(truncate_);
  if (word == "concat") return counted(concat_);
  if (word == "badlen") {
    unsigned bits = 0;
    if (args.empty() || !ParseHex(args[0], 0xFFFF, bits)) return invalid();
    args.erase(args.begin());
    const SimControlAction armed = counted(badlen_);
    if (armed.kind != SimControlAction::Kind::Invalid)
      badlenBits_ = static_cast<std::uint16_t>(bits);
    return armed;
  }
  if (word == "split") {
    int pieces = 2;
    if (args.size() == 3) {
      if (!ParseCount(args[2], pieces) || pieces < 2) return invalid();
      args.pop_back();
    }
    const SimControlAction armed = timed(split_, splitMs_);
    if (armed.kind != SimControlAction::Kind::Invalid) splitPieces_ = pieces;
    return armed;
  }
  if (word == "follow") return timed(follow_, followMs_);
  if (word == "late") return timed(late_, lateMs_);
  if (word == "every") {
    // The fault is checked now, so that a bad line is reported when given.
    int k = 0;
    if (args.size() < 2 || !ParseCount(args[0], k) || k == 0) return invalid();
    const std::string fault = line.substr(line.find(args[1], line.find(args[0]) + args[0].size()));
    SimControl probe;
    if (args[1] == "every" || probe.Apply(fault).kind != SimControlAction::Kind::None)
      return invalid();
    every_ = k;
    everyCount_ = 0;
    everyFault_ = fault;
    return action;
  }
  if (word == "reset") {
    if (!args.empty()) return invalid();
    *this = SimControl{};
    return action;
  }
  if (word == "unsolicited" || word == "close") {
    if (!args.empty()) return invalid();
    action.kind =
        word == "close" ? SimControlAction::Kind::Close : SimControlAction::Kind::Unsolicited;
    return action;
  }
  if (word == "history") {
    int count = 0;
    if (args.size() != 1 || !ParseCount(args[0], count) || count > kSimMaxRecords) return invalid();
    action.kind = SimControlAction::Kind::History;
    action.text = args[0];
    return action;
  }
  if (word == "command") {
    std::uint8_t bits = 0;
    if (args.size() != 1 || !ParseCommandBits(args[0], bits)) return invalid();
    action.kind = SimControlAction::Kind::Command;
    action.text = args[0];
    return action;
  }
  if (word == "poke") {
    int at = 0;
    if (args.size() != 2 || !ParseCount(args[0], at) || args[1].size() % 2 != 0) return invalid();
    for (std::size_t i = 0; i < args[1].size(); i += 2) {
      std::uint8_t byte = 0;
      if (!ParseCommandBits(args[1].substr(i, 2), byte)) return invalid();
      action.bytes.push_back(byte);
    }
    if (static_cast<std::size_t>(at) + action.bytes.size() > kSimImageSize) return invalid();
    action.kind = SimControlAction::Kind::Poke;
    action.at = static_cast<std::size_t>(at);
    return action;
  }
  if (word == "model" || word == "dump") {
    // The text is the rest of the line as written (a path may hold blanks).
    const std::size_t at = line.find(word) + word.size();
    const std::size_t start = line.find_first_not_of(" \t", at);
    if (start == std::string::npos) return invalid();
    action.kind = word == "model" ? SimControlAction::Kind::Model : SimControlAction::Kind::Dump;
    action.text = line.substr(start);
    return action;
  }
  return invalid();
}

std::vector<SimTransmission> SimControl::Shape(const std::vector<SimChunk>& reply,
                                               const SimBytes& status) {
  std::vector<SimTransmission> out;
  if (reply.empty()) return out;
  if (every_ > 0 && ++everyCount_ % every_ == 0) Apply(everyFault_);
  if (TakeOne(drop_)) return out;
  for (const SimChunk& chunk : reply) {
    int gap = chunk.gapMs;
    if (TakeOne(late_)) gap += lateMs_;
    if (TakeOne(garbage_)) {
      out.push_back({GarbageBytes(), gap, GarbageBytes()});
      gap = 0;
    }
    SimBytes bytes = chunk.bytes;
    if (TakeOne(truncate_)) bytes = Truncated(bytes);
    if (TakeOne(badsum_) && !bytes.empty()) bytes.back() ^= 0xFF;
    if (TakeOne(badlen_) && bytes.size() >= kSimFrameOverhead && bytes[0] == kSimFrameStart) {
      bytes[6] ^= static_cast<std::uint8_t>(badlenBits_ >> 8);
      bytes[7] ^= static_cast<std::uint8_t>(badlenBits_);
    }
    if (TakeOne(split_) && bytes.size() > 1) {
      const std::size_t pieces = std::min<std::size_t>(std::size_t(splitPieces_), bytes.size());
      for (std::size_t i = 0; i < pieces; ++i) {
        const auto from = std::ptrdiff_t(bytes.size() * i / pieces);
        const auto to = std::ptrdiff_t(bytes.size() * (i + 1) / pieces);
        out.push_back({SimBytes(bytes.begin() + from, bytes.begin() + to), i == 0 ? gap : splitMs_,
                       i == 0 ? bytes : SimBytes{}});
      }
    } else {
      out.push_back({bytes, gap, bytes});
    }
    if (TakeOne(concat_)) out.push_back({bytes, 0, bytes});
    if (TakeOne(follow_) && !status.empty()) out.push_back({status, followMs_, status});
  }
  return out;
}

}  // namespace kv
