#include "skin/model/sStoredSkins.h"

namespace kv {

int TsStoredSkins::IndexOf(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i).Name == name) return i;
  return -1;
}

std::vector<std::string> TsStoredSkins::Names() const {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) names.push_back(Items(i).Name);
  return names;
}

}  // namespace kv
