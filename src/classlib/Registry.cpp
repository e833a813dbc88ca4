#include "classlib/Registry.h"

#include "classlib/WideText.h"

namespace kv {

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  if (root == root_) return;
  CloseKey();
  root_ = root;
}

void TRegistry::CloseKey() {
  if (current_ != nullptr) RegCloseKey(current_);
  current_ = nullptr;
  path_.clear();
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& relative) const {
  if (!key.empty() && key[0] == '\\') {
    relative = key.substr(1);
    return root_;
  }
  relative = key;
  return current_ != nullptr ? current_ : root_;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  const std::wstring w = Wide(relative);
  HKEY opened = nullptr;
  LONG rc;
  if (canCreate) {
    rc = RegCreateKeyExW(base, w.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                         &opened, nullptr);
  } else {
    rc = RegOpenKeyExW(base, w.c_str(), 0, access_, &opened);
  }
  if (rc != ERROR_SUCCESS) return false;
  const std::string newPath = (base == root_ || path_.empty()) ? relative : path_ + "\\" + relative;
  CloseKey();
  current_ = opened;
  path_ = newPath;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  const REGSAM saved = access_;
  access_ = KEY_READ;
  const bool ok = OpenKey(key, false);
  access_ = saved;
  return ok;
}

bool TRegistry::KeyExists(const std::string& key) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  HKEY probe = nullptr;
  if (RegOpenKeyExW(base, Wide(relative).c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS)
    return false;
  RegCloseKey(probe);
  return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  const std::wstring w = Wide(relative);
  if (w.empty()) return false;  // never the root or the open key itself
  RegDeleteTreeW(base, w.c_str());
  RegDeleteKeyW(base, w.c_str());
  return !KeyExists(key);
}

bool TRegistry::ValueExists(const std::string& name) {
  if (current_ == nullptr) return false;
  return RegQueryValueExW(current_, Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name) {
  return current_ != nullptr && RegDeleteValueW(current_, Wide(name).c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (current_ == nullptr) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t buf[16384];
    DWORD len = 16384;
    if (RegEnumValueW(current_, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.push_back(Narrow(std::wstring_view(buf, len)));
  }
  return names;
}

std::vector<std::string> TRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (current_ == nullptr) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t buf[256];
    DWORD len = 256;
    if (RegEnumKeyExW(current_, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.push_back(Narrow(std::wstring_view(buf, len)));
  }
  return names;
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
  DWORD type = 0;
  if (current_ == nullptr || RegQueryValueExW(current_, Wide(name).c_str(), nullptr, &type, nullptr,
                                              nullptr) != ERROR_SUCCESS)
    return rdUnknown;
  switch (type) {
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_DWORD:
      return rdInteger;
    case REG_BINARY:
      return rdBinary;
    default:
      return rdUnknown;
  }
}

std::string TRegistry::ReadString(const std::string& name) {
  if (current_ == nullptr) return {};
  const std::wstring w = Wide(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(current_, w.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException("Invalid data type for '" + name + "'");
  std::wstring buf(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  if (RegQueryValueExW(current_, w.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                       &got) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '" + name + "'");
  // The data need not end in a zero: take it up to the first one.
  buf.resize(std::min<size_t>(got / sizeof(wchar_t), buf.size()));
  const size_t zero = buf.find(L'\0');
  if (zero != std::wstring::npos) buf.resize(zero);
  return Narrow(buf);
}

int TRegistry::ReadInteger(const std::string& name) {
  DWORD type = 0, value = 0, size = sizeof value;
  if (current_ == nullptr ||
      RegQueryValueExW(current_, Wide(name).c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    throw ERegistryException("Invalid data type for '" + name + "'");
  return static_cast<int>(value);
}

void TRegistry::Put(const std::string& name, DWORD type, const void* data, DWORD size) {
  if (current_ == nullptr || RegSetValueExW(current_, Wide(name).c_str(), 0, type,
                                            static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  const std::wstring w = Wide(value);
  Put(name, REG_SZ, w.c_str(), static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  const std::wstring w = Wide(value);
  Put(name, REG_EXPAND_SZ, w.c_str(), static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
}

void TRegistry::WriteInteger(const std::string& name, int value) {
  const DWORD v = static_cast<DWORD>(value);
  Put(name, REG_DWORD, &v, sizeof v);
}

}  // namespace kv
