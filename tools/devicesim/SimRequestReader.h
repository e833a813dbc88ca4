#pragma once
// Cuts the byte stream from the configurator into requests: binary frames
// (starting with "#") and text commands (ending in CR LF). Whatever is neither
// is handed out as noise so that it is logged and then forgotten.

#include <cstddef>
#include <vector>

#include "devicesim/SimFrame.h"

namespace kv {

struct SimRequest {
  enum class Kind { Frame, BadFrame, Text, Noise };
  Kind kind = Kind::Noise;
  SimBytes bytes;  // exactly as received
  SimFrame frame;  // for Frame and BadFrame
};

class SimRequestReader {
 public:
  // Appends received bytes and returns every request they complete.
  std::vector<SimRequest> Push(std::span<const std::uint8_t> bytes);

  // Hands out an unfinished request as noise (the line went quiet in the middle).
  std::vector<SimRequest> Flush();

  bool HasPartial() const { return !pending_.empty(); }

 private:
  bool TakeOne(SimRequest& out);

  SimBytes pending_;
};

}  // namespace kv
