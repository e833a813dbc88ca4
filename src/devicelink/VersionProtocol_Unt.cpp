#include "devicelink/VersionProtocol_Unt.h"

#include <algorithm>

namespace kv {

void TVersionProtocol::BuildVersionRequest(TDataPack& frame) const {
  BuildFrame(0x05, IntToAddress(0), TDataPack{0}, frame);
}

// The device's text fields are zero-terminated inside a fixed width. A field
// cut short by a short data part keeps the bytes that are there.
std::string TVersionProtocol::FieldText(const TDataPack& frame, int last, std::size_t from,
                                        std::size_t size) const {
  if (!CheckFrame(frame, last)) return {};
  TDataPack data;
  GetData(frame, last, data);
  if (data.size() <= from) return {};
  const auto begin = data.begin() + static_cast<std::ptrdiff_t>(from);
  const auto end = data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), from + size));
  return std::string(begin, std::find(begin, end, std::uint8_t{0}));
}

std::string TVersionProtocol::GetModelText(const TDataPack& frame, int last) const {
  return FieldText(frame, last, 0, 8);
}

std::string TVersionProtocol::GetVersionText(const TDataPack& frame, int last) const {
  return FieldText(frame, last, 8, 8);
}

std::string TVersionProtocol::GetImeiText(const TDataPack& frame, int last) const {
  return FieldText(frame, last, 16, 16);
}

std::string TVersionProtocol::GetSignalText(const TDataPack& frame, int last) const {
  if (!CheckFrame(frame, last)) return {};
  TDataPack data;
  GetData(frame, last, data);
  if (data.size() <= 32) return {};
  return std::to_string(data[32]);
}

}  // namespace kv
