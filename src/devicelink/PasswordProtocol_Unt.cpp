#include "devicelink/PasswordProtocol_Unt.h"

namespace kv {

void TPasswordProtocol::BuildPasswordRequest(TDataPack& frame) const {
  BuildFrame(0x01, IntToAddress(0), TDataPack(Password.begin(), Password.end()), frame);
}

bool TPasswordProtocol::IsPasswordAccepted(const TDataPack& frame, int last) const {
  if (!CheckFrame(frame, last)) return false;
  TDataPack data;
  GetData(frame, last, data);
  return !data.empty() && data[0] != 0;
}

}  // namespace kv
