#include "classlib/Resources.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

#include "classlib/WideText.h"

namespace kv {

namespace {
HINSTANCE OrModule(HINSTANCE instance) {
  return instance != nullptr ? instance : GetModuleHandleW(nullptr);
}
}  // namespace

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, const wchar_t* type) {
  const std::wstring w = Wide(name);
  Find(instance, w.c_str(), name, type);
}

TResourceStream::TResourceStream(HINSTANCE instance, int id, const wchar_t* type) {
  Find(instance, MAKEINTRESOURCEW(id), std::to_string(id), type);
}

void TResourceStream::Find(HINSTANCE instance, const wchar_t* name, const std::string& shown,
                           const wchar_t* type) {
  instance = OrModule(instance);
  HRSRC res = FindResourceW(instance, name, type);
  HGLOBAL mem = res != nullptr ? LoadResource(instance, res) : nullptr;
  data_ = mem != nullptr ? static_cast<const uint8_t*>(LockResource(mem)) : nullptr;
  if (data_ == nullptr) throw EResNotFound("Resource " + shown + " not found");
  size_ = SizeofResource(instance, res);
}

int64_t TResourceStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::clamp<int64_t>(size_ - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TResourceStream::Write(const void*, int64_t) {
  throw EStreamError("Can't write to a read-only resource stream");
}

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

bool ResourceExists(HINSTANCE instance, const std::string& name, const wchar_t* type) {
  const std::wstring w = Wide(name);
  return FindResourceW(OrModule(instance), w.c_str(), type) != nullptr;
}

std::string LoadStr(UINT id, HINSTANCE instance) {
  // With a zero length LoadString gives a pointer to the string in place.
  const wchar_t* text = nullptr;
  const int n = LoadStringW(OrModule(instance), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (n <= 0 || text == nullptr) return {};
  return Narrow(std::wstring_view(text, static_cast<size_t>(n)));
}

bool PlayResourceSound(const std::string& name, bool async, HINSTANCE instance) {
  const std::wstring w = Wide(name);
  instance = OrModule(instance);
  if (FindResourceW(instance, w.c_str(), L"WAVE") == nullptr) return false;
  return PlaySoundW(w.c_str(), instance,
                    SND_RESOURCE | SND_NODEFAULT | (async ? SND_ASYNC : SND_SYNC)) != FALSE;
}

}  // namespace kv
