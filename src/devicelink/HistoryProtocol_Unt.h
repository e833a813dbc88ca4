// History requests: a 256-byte block, one record, and clearing the history.
#pragma once

#include "devicelink/BasicProtocol_Unt.h"

namespace kv {

class THistoryProtocol : public TBasicProtocol {
 public:
  void BuildHistoryBlockRequest(int k, TDataPack& frame) const;
  // r counts from 1.
  void BuildHistoryRecordRequest(int r, TDataPack& frame) const;
  void BuildClearHistoryRequest(TDataPack& frame) const;
};

}  // namespace kv
