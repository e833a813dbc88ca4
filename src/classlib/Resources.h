#pragma once
// The program module's resources: raw data (RCDATA and other types) as a
// read-only stream, strings of the string tables, and sounds.

#include <windows.h>

#include <string>

#include "base/Streams.h"
#include "classlib/Graphics.h"

namespace kv {

// Resource type names as the Win32 numbers.
inline const wchar_t* const RT_RCDATA_W = MAKEINTRESOURCEW(10);
inline const wchar_t* const RT_BITMAP_W = MAKEINTRESOURCEW(2);

// Reads a resource in place; the module keeps the bytes.
class TResourceStream : public TStream {
 public:
  // Raises EResNotFound "Resource <name> not found".
  TResourceStream(HINSTANCE instance, const std::string& name, const wchar_t* type);
  TResourceStream(HINSTANCE instance, int id, const wchar_t* type);

  int64_t Read(void* buffer, int64_t count) override;
  // Resources are read-only: raises EStreamError.
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }
  const uint8_t* Memory() const { return data_; }

 private:
  void Find(HINSTANCE instance, const wchar_t* name, const std::string& shown, const wchar_t* type);
  const uint8_t* data_ = nullptr;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

// True when the module has that resource.
bool ResourceExists(HINSTANCE instance, const std::string& name, const wchar_t* type);

// A string of the module's string tables; "" when there is none.
std::string LoadStr(UINT id, HINSTANCE instance = nullptr);

// Plays a WAVE resource of the module; false when it is missing or cannot play.
bool PlayResourceSound(const std::string& name, bool async = true, HINSTANCE instance = nullptr);

}  // namespace kv
