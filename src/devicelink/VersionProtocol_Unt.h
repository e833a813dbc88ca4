// Version request and the readers of its reply: model, firmware, IMEI, signal.
#pragma once

#include <string>

#include "devicelink/BasicProtocol_Unt.h"

namespace kv {

class TVersionProtocol : public TBasicProtocol {
 public:
  void BuildVersionRequest(TDataPack& frame) const;

  // Each reader checks the frame first and gives the empty text when it fails
  // or when the data part is too short for the field.
  std::string GetModelText(const TDataPack& frame, int last) const;
  std::string GetVersionText(const TDataPack& frame, int last) const;
  std::string GetImeiText(const TDataPack& frame, int last) const;
  std::string GetSignalText(const TDataPack& frame, int last) const;

 private:
  std::string FieldText(const TDataPack& frame, int last, std::size_t from, std::size_t size) const;
};

}  // namespace kv
