#include "devicelink/MasterProtocol_Unt.h"

namespace kv {

void TMasterProtocol::BuildMasterReadRequest(int k, TDataPack& frame) const {
  BuildFrame(0x83, IntToAddress(ConfigBlockAddress(k)), TDataPack{}, frame);
}

void TMasterProtocol::BuildMasterWriteRequest(int k, const TDataPack& block,
                                              TDataPack& frame) const {
  BuildFrame(0x82, IntToAddress(ConfigBlockAddress(k)), block, frame);
}

}  // namespace kv
