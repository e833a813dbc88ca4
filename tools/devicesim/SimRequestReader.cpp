#include "devicesim/SimRequestReader.h"

namespace kv {

namespace {

// A text command cannot hold "#" (the password box takes letters and digits
// only), so a "#" ends any noise before it and may begin a frame.
bool FindTextEnd(const SimBytes& bytes, std::size_t& lineEnd, std::size_t& hash) {
  lineEnd = hash = bytes.size();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == kSimFrameStart) {
      hash = i;
      return false;
    }
    if (bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r') {
      lineEnd = i + 1;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SimRequestReader::TakeOne(SimRequest& out) {
  if (pending_.empty()) return false;
  auto take = [&](std::size_t size, SimRequest::Kind kind) {
    out.kind = kind;
    out.bytes.assign(pending_.begin(), pending_.begin() + std::ptrdiff_t(size));
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(size));
    return true;
  };
  if (pending_[0] == kSimFrameStart) {
    std::size_t size = 0;
    switch (ParseSimFrame(pending_, out.frame, size)) {
      case SimFrameStatus::Ok:
        return take(size, SimRequest::Kind::Frame);
      case SimFrameStatus::BadChecksum:
        return take(size, SimRequest::Kind::BadFrame);
      case SimFrameStatus::Incomplete:
        return false;
      case SimFrameStatus::NotAFrame:
        break;
    }
    // An absurd length: the "#" was noise; look again after it.
    return take(1, SimRequest::Kind::Noise);
  }
  std::size_t lineEnd = 0, hash = 0;
  if (FindTextEnd(pending_, lineEnd, hash)) return take(lineEnd, SimRequest::Kind::Text);
  if (hash < pending_.size()) return take(hash, SimRequest::Kind::Noise);
  return false;
}

std::vector<SimRequest> SimRequestReader::Push(std::span<const std::uint8_t> bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  std::vector<SimRequest> requests;
  SimRequest request;
  while (TakeOne(request)) {
    requests.push_back(std::move(request));
    request = SimRequest{};
  }
  return requests;
}

std::vector<SimRequest> SimRequestReader::Flush() {
  std::vector<SimRequest> requests;
  if (pending_.empty()) return requests;
  SimRequest noise;
  noise.bytes = std::move(pending_);
  pending_.clear();
  requests.push_back(std::move(noise));
  return requests;
}

}  // namespace kv
