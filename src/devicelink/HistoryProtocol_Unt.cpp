#include "devicelink/HistoryProtocol_Unt.h"

namespace kv {

void THistoryProtocol::BuildHistoryBlockRequest(int k, TDataPack& frame) const {
  BuildFrame(0x83, IntToAddress(HistoryBlockAddress(k)), TDataPack{}, frame);
}

void THistoryProtocol::BuildHistoryRecordRequest(int r, TDataPack& frame) const {
  BuildFrame(0x83, IntToAddress(HistoryRecordAddress(r)), TDataPack{}, frame);
}

void THistoryProtocol::BuildClearHistoryRequest(TDataPack& frame) const {
  BuildFrame(0x85, IntToAddress(0), TDataPack{}, frame);
}

}  // namespace kv
