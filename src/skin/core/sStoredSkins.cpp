#include "skin/core/sStoredSkins.h"

namespace kv {

TsStoredSkin& TsStoredSkins::Add() {
  items_.push_back(std::make_unique<TsStoredSkin>());
  return *items_.back();
}

void TsStoredSkins::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

int TsStoredSkins::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Name == name) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> TsStoredSkins::Names() const {
  std::vector<std::string> names;
  names.reserve(items_.size());
  for (const auto& item : items_) names.push_back(item->Name);
  return names;
}

}  // namespace kv
