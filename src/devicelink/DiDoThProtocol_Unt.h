// Relay status and channel value requests (command 6). Both replies answer
// the same nine bytes; the caller tells them apart by what it asked for.
#pragma once

#include <cstdint>

#include "devicelink/BasicProtocol_Unt.h"

namespace kv {

class TDiDoThProtocol : public TBasicProtocol {
 public:
  void BuildDiDoThRequest(std::uint8_t selector, TDataPack& frame) const;
  void BuildReadDoRequest(TDataPack& frame) const;
  void BuildReadThRequest(TDataPack& frame) const;
};

}  // namespace kv
