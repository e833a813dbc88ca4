// Properties by name: a small registry of named properties per class, for
// code that reaches a property of a control it does not know (the skin
// toolkit's window adapters). Ordinal properties (integers, enumerations,
// Booleans, colours), sets of up to 32 named elements and object properties.
// A property registered for a class applies to its descendants too.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Classes.h"
#include "base/SysUtils.h"

namespace kv {

// A set element name the set's type does not know.
class EPropertyConvertError : public Exception {
  using Exception::Exception;
};

enum class TPropKind { Ordinal, Set, Object };

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Ordinal;
  std::function<bool(const TObject&)> Applies;
  std::function<std::int64_t(TObject&)> GetOrd;  // a set's bits for sets
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<TObject*(TObject&)> ReadObject;
  std::vector<std::string> ElementNames;  // of a set, element 0 first
};

void RegisterProperty(TPropInfo info);
// Makes the property registered last a set of these elements.
void RegisterSetElements(std::vector<std::string> elements);

template <class T>
void RegisterOrdProperty(std::string name, std::function<std::int64_t(T&)> get,
                         std::function<void(T&, std::int64_t)> set) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Applies = [](const TObject& o) { return dynamic_cast<const T*>(&o) != nullptr; };
  p.GetOrd = [get](TObject& o) { return get(dynamic_cast<T&>(o)); };
  p.SetOrd = [set](TObject& o, std::int64_t v) { set(dynamic_cast<T&>(o), v); };
  RegisterProperty(std::move(p));
}

template <class T>
void RegisterSetProperty(std::string name, std::vector<std::string> elements,
                         std::function<std::uint32_t(T&)> get,
                         std::function<void(T&, std::uint32_t)> set) {
  RegisterOrdProperty<T>(std::move(name), [get](T& o) { return std::int64_t{get(o)}; },
                         [set](T& o, std::int64_t v) { set(o, static_cast<std::uint32_t>(v)); });
  RegisterSetElements(std::move(elements));
}

template <class T>
void RegisterObjectProperty(std::string name, std::function<TObject*(T&)> get) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Object;
  p.Applies = [](const TObject& o) { return dynamic_cast<const T*>(&o) != nullptr; };
  p.ReadObject = [get](TObject& o) { return get(dynamic_cast<T&>(o)); };
  RegisterProperty(std::move(p));
}

// The property of that name (case-insensitive) of obj's class; null when none.
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);

std::int64_t GetOrdProp(TObject& obj, const TPropInfo& prop);
void SetOrdProp(TObject& obj, const TPropInfo& prop, std::int64_t value);
TObject* GetObjectProp(TObject& obj, const TPropInfo& prop);
// A set as its element names joined by ",", element 0 first.
std::string GetSetPropText(TObject& obj, const TPropInfo& prop);
// Raises EPropertyConvertError for a name the set does not know.
void SetSetPropText(TObject& obj, const TPropInfo& prop, std::string_view text);

}  // namespace kv
