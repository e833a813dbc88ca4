#include "devicelink/SyncTimeProtocol_Unt.h"

namespace kv {

void TSyncTimeProtocol::BuildSetTimeRequest(TDataPack& frame) const {
  BuildFrame(0x03, IntToAddress(0), TDataPack(Time.begin(), Time.end()), frame);
}

void TSyncTimeProtocol::BuildReadTimeRequest(TDataPack& frame) const {
  BuildFrame(0x08, IntToAddress(0), TDataPack{}, frame);
}

}  // namespace kv
