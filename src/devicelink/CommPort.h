// What the sender needs of a serial port. The serial component implements
// it; tests put a recorder in its place.
#pragma once

#include <cstdint>

namespace kv {

class ICommPort {
 public:
  virtual ~ICommPort() = default;
  virtual bool Connected() const = 0;
  // Queues a copy of the first `length` bytes (taken as 16 bits); true when queued.
  virtual bool WriteData(const void* buffer, std::uint32_t length) = 0;
};

}  // namespace kv
