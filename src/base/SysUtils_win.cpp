#include <windows.h>

#include "base/SysUtils.h"
#include "base/TextCodec.h"

namespace kv {

namespace {

std::wstring Wide(const std::string& s) {
  const std::u16string w = Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const wchar_t* s) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(s), wcslen(s)));
}

DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Wide(path).c_str());
}

}  // namespace

char PathDelim() { return '\\'; }

bool FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) {
  const std::string dir = ExcludeTrailingPathDelimiter(path);
  if (dir.empty() || DirectoryExists(dir)) return !dir.empty();
  const std::string parent = ExcludeTrailingPathDelimiter(ExtractFilePath(dir));
  if (!parent.empty() && parent != dir && parent.back() != ':' && !ForceDirectories(parent)) {
    return false;
  }
  return CreateDirectoryW(Wide(dir).c_str(), nullptr) || DirectoryExists(dir);
}

bool DeleteFileUtf8(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

bool RemoveDir(const std::string& path) {
  return RemoveDirectoryW(Wide(ExcludeTrailingPathDelimiter(path)).c_str()) != 0;
}

std::string GetTempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return ".\\";
  return IncludeTrailingPathDelimiter(Narrow(buffer));
}

namespace detail {

std::vector<TDirEntry> ReadDirectory(const std::string& dir) {
  std::vector<TDirEntry> entries;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(Wide(dir + "*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return entries;
  do {
    std::string name = Narrow(data.cFileName);
    if (name == "." || name == "..") continue;
    entries.push_back({std::move(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return entries;
}

}  // namespace detail

}  // namespace kv
