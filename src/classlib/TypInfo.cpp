#include "classlib/TypInfo.h"

#include <algorithm>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/Grids.h"

namespace kv {

namespace {

std::vector<TPropInfo>& Registry() {
  static std::vector<TPropInfo> registry;
  return registry;
}

std::vector<std::string> SplitNames(std::string_view text) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    if (std::string name = Trim(text.substr(start, comma - start)); !name.empty())
      names.push_back(std::move(name));
    start = comma + 1;
  }
  return names;
}

// The class library's own published properties that other code asks for by name.
bool RegisterClassLibProperties() {
  RegisterOrdProperty<TControl>(
      "Color", [](TControl& c) { return std::int64_t{c.Color()}; },
      [](TControl& c, std::int64_t v) { c.SetColor(static_cast<TColor>(v)); });
  RegisterOrdProperty<TControl>(
      "ParentColor", [](TControl& c) { return std::int64_t{c.ParentColor()}; },
      [](TControl& c, std::int64_t v) { c.SetParentColor(v != 0); });
  RegisterObjectProperty<TControl>("Font", [](TControl& c) -> TObject* { return c.Font(); });
  // The grid adapter skins the fixed cells through it.
  RegisterOrdProperty<TStringGrid>(
      "FixedColor", [](TStringGrid& g) { return std::int64_t{g.FixedColor()}; },
      [](TStringGrid& g, std::int64_t v) { g.SetFixedColor(static_cast<TColor>(v)); });
  return true;
}

}  // namespace

void RegisterProperty(TPropInfo info) { Registry().push_back(std::move(info)); }

void RegisterSetElements(std::vector<std::string> elements) {
  if (Registry().empty()) return;
  Registry().back().Kind = TPropKind::Set;
  Registry().back().ElementNames = std::move(elements);
}

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
  static const bool registered = RegisterClassLibProperties();
  (void)registered;
  if (obj == nullptr) return nullptr;
  for (const TPropInfo& p : Registry())
    if (SameText(p.Name, name) && p.Applies(*obj)) return &p;
  return nullptr;
}

std::int64_t GetOrdProp(TObject& obj, const TPropInfo& prop) {
  return prop.GetOrd ? prop.GetOrd(obj) : 0;
}

void SetOrdProp(TObject& obj, const TPropInfo& prop, std::int64_t value) {
  if (prop.SetOrd) prop.SetOrd(obj, value);
}

TObject* GetObjectProp(TObject& obj, const TPropInfo& prop) {
  return prop.ReadObject ? prop.ReadObject(obj) : nullptr;
}

std::string GetSetPropText(TObject& obj, const TPropInfo& prop) {
  const auto bits = static_cast<std::uint32_t>(GetOrdProp(obj, prop));
  std::string text;
  for (size_t i = 0; i < prop.ElementNames.size() && i < 32; ++i) {
    if ((bits & (1u << i)) == 0) continue;
    if (!text.empty()) text += ',';
    text += prop.ElementNames[i];
  }
  return text;
}

void SetSetPropText(TObject& obj, const TPropInfo& prop, std::string_view text) {
  std::uint32_t bits = 0;
  for (const std::string& name : SplitNames(text)) {
    size_t i = 0;
    while (i < prop.ElementNames.size() && !SameText(prop.ElementNames[i], name)) ++i;
    if (i == prop.ElementNames.size() || i >= 32)
      throw EPropertyConvertError("Invalid property element: " + name);
    bits |= 1u << i;
  }
  SetOrdProp(obj, prop, bits);
}

}  // namespace kv
