#include "devicelink/DiDoThProtocol_Unt.h"

namespace kv {

void TDiDoThProtocol::BuildDiDoThRequest(std::uint8_t selector, TDataPack& frame) const {
  BuildFrame(0x06, TAddress{0, 0, 0, selector}, TDataPack{}, frame);
}

void TDiDoThProtocol::BuildReadDoRequest(TDataPack& frame) const { BuildDiDoThRequest(0, frame); }

void TDiDoThProtocol::BuildReadThRequest(TDataPack& frame) const { BuildDiDoThRequest(0, frame); }

}  // namespace kv
