// Device clock requests: set (command 3) and read (command 8).
#pragma once

#include <array>
#include <cstdint>

#include "devicelink/BasicProtocol_Unt.h"

namespace kv {

class TSyncTimeProtocol : public TBasicProtocol {
 public:
  // Year - 2000, month, day, hour, minute, second.
  std::array<std::uint8_t, 6> Time{};

  void BuildSetTimeRequest(TDataPack& frame) const;
  void BuildReadTimeRequest(TDataPack& frame) const;
};

}  // namespace kv
