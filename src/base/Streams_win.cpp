#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "base/Streams.h"
#include "base/TextCodec.h"

namespace kv::detail {

namespace {
std::wstring Wide(std::string_view s) {
  const std::u16string w = Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
}
}  // namespace

std::FILE* OpenFile(const std::string& fileName, const char* mode) {
  return _wfopen(Wide(fileName).c_str(), Wide(mode).c_str());
}

bool SeekFile(std::FILE* file, int64_t offset, int origin) {
  return _fseeki64(file, offset, origin) == 0;
}

int64_t TellFile(std::FILE* file) { return _ftelli64(file); }

bool ResizeFile(std::FILE* file, int64_t size) { return _chsize_s(_fileno(file), size) == 0; }

std::string LastErrorText() { return std::strerror(errno); }

}  // namespace kv::detail
