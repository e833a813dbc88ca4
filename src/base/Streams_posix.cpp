#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Streams.h"

namespace kv::detail {

std::FILE* OpenFile(const std::string& fileName, const char* mode) {
  return std::fopen(fileName.c_str(), mode);
}

bool SeekFile(std::FILE* file, int64_t offset, int origin) {
  return fseeko(file, static_cast<off_t>(offset), origin) == 0;
}

int64_t TellFile(std::FILE* file) { return static_cast<int64_t>(ftello(file)); }

bool ResizeFile(std::FILE* file, int64_t size) {
  return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
}

std::string LastErrorText() { return std::strerror(errno); }

}  // namespace kv::detail
