#pragma once
// The Windows registry: open a key under a root, read and write values.

#include <windows.h>

#include <string>
#include <vector>

#include "base/SysUtils.h"

namespace kv {

class ERegistryException : public Exception {
  using Exception::Exception;
};

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
 public:
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return current_; }
  const std::string& CurrentPath() const { return path_; }
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM access) { access_ = access; }

  // A key starting with "\" is taken from the root, otherwise from the
  // current key. False when it cannot be opened (or created).
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool KeyExists(const std::string& key);
  bool DeleteKey(const std::string& key);

  bool ValueExists(const std::string& name);
  bool DeleteValue(const std::string& name);
  std::vector<std::string> GetValueNames();
  std::vector<std::string> GetKeyNames();
  TRegDataType GetDataType(const std::string& name);

  // Reading a missing value of the wrong type raises ERegistryException;
  // a missing string reads as "".
  std::string ReadString(const std::string& name);
  int ReadInteger(const std::string& name);
  bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
  // Writing raises ERegistryException "Failed to set data for '<name>'".
  void WriteString(const std::string& name, const std::string& value);
  void WriteExpandString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int value);
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

 private:
  HKEY BaseFor(const std::string& key, std::string& relative) const;
  void Put(const std::string& name, DWORD type, const void* data, DWORD size);

  HKEY root_ = HKEY_CURRENT_USER;
  HKEY current_ = nullptr;
  std::string path_;
  REGSAM access_;
};

}  // namespace kv
