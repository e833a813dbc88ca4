// Password request (command 1) and its reply.
#pragma once

#include <array>
#include <cstdint>

#include "devicelink/BasicProtocol_Unt.h"

namespace kv {

class TPasswordProtocol : public TBasicProtocol {
 public:
  std::array<std::uint8_t, 4> Password{};

  void BuildPasswordRequest(TDataPack& frame) const;
  // True when the frame checks and its first data byte is not 0.
  bool IsPasswordAccepted(const TDataPack& frame, int last) const;
};

}  // namespace kv
