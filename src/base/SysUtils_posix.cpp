#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "base/SysUtils.h"

namespace kv {

char PathDelim() { return '/'; }

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
  const std::string dir = ExcludeTrailingPathDelimiter(path);
  if (dir.empty() || DirectoryExists(dir)) return !dir.empty();
  const std::string parent = ExcludeTrailingPathDelimiter(ExtractFilePath(dir));
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return mkdir(dir.c_str(), 0777) == 0 || DirectoryExists(dir);
}

bool DeleteFileUtf8(const std::string& path) { return unlink(path.c_str()) == 0; }

bool RemoveDir(const std::string& path) {
  return rmdir(ExcludeTrailingPathDelimiter(path).c_str()) == 0;
}

std::string GetTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return IncludeTrailingPathDelimiter(tmp != nullptr && *tmp != 0 ? tmp : "/tmp");
}

namespace detail {

std::vector<TDirEntry> ReadDirectory(const std::string& dir) {
  std::vector<TDirEntry> entries;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return entries;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const bool isDir = DirectoryExists(dir + name);
    entries.push_back({std::move(name), isDir});
  }
  closedir(d);
  return entries;
}

}  // namespace detail

}  // namespace kv
