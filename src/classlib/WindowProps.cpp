#include "classlib/WindowProps.h"

#include <cwchar>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kv {

namespace {

class TLocalProps {
 public:
  void Set(HWND wnd, const wchar_t* name, HANDLE value) {
    std::lock_guard<std::mutex> hold(mutex_);
    auto& props = windows_[wnd];
    for (auto& [n, v] : props)
      if (std::wcscmp(n.c_str(), name) == 0) {
        v = value;
        return;
      }
    props.emplace_back(name, value);
  }
  HANDLE Get(HWND wnd, const wchar_t* name) {
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = windows_.find(wnd);
    if (it == windows_.end()) return nullptr;
    for (const auto& [n, v] : it->second)
      if (std::wcscmp(n.c_str(), name) == 0) return v;
    return nullptr;
  }
  HANDLE Remove(HWND wnd, const wchar_t* name) {
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = windows_.find(wnd);
    if (it == windows_.end()) return nullptr;
    auto& props = it->second;
    for (auto p = props.begin(); p != props.end(); ++p)
      if (std::wcscmp(p->first.c_str(), name) == 0) {
        HANDLE value = p->second;
        props.erase(p);
        if (props.empty()) windows_.erase(it);
        return value;
      }
    return nullptr;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<HWND, std::vector<std::pair<std::wstring, HANDLE>>> windows_;
};

TLocalProps& LocalProps() {
  static auto* props = new TLocalProps;  // windows may outlive static destruction
  return *props;
}

}  // namespace

bool SetLocalProp(HWND wnd, const wchar_t* name, HANDLE value) {
  if (!SetPropW(wnd, name, value)) return false;
  LocalProps().Set(wnd, name, value);
  return true;
}

HANDLE GetLocalProp(HWND wnd, const wchar_t* name) {
  return wnd == nullptr ? nullptr : LocalProps().Get(wnd, name);
}

HANDLE RemoveLocalProp(HWND wnd, const wchar_t* name) {
  RemovePropW(wnd, name);
  return LocalProps().Remove(wnd, name);
}

}  // namespace kv
