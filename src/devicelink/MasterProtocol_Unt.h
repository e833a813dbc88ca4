// Configuration image requests: read (0x83) and write (0x82) block k.
#pragma once

#include "devicelink/BasicProtocol_Unt.h"

namespace kv {

class TMasterProtocol : public TBasicProtocol {
 public:
  void BuildMasterReadRequest(int k, TDataPack& frame) const;
  void BuildMasterWriteRequest(int k, const TDataPack& block, TDataPack& frame) const;
};

}  // namespace kv
