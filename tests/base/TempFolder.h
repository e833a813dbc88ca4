// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "base/SysUtils.h"

namespace kv::test {

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    path_ = GetTempFolder() + "kvbase-" + IntToHex(rd(), 8) + IntToHex(rd(), 8) + PathDelim();
    ForceDirectories(path_);
    folders_.push_back(path_);
  }
  ~TempFolder() {
    for (const std::string& f : FindFiles(path_, "*", true)) DeleteFileUtf8(f);
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDir(*it);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  // Makes a subfolder (name relative to the temporary folder).
  std::string Folder(const std::string& name) {
    const std::string dir = path_ + name + PathDelim();
    ForceDirectories(dir);
    folders_.push_back(dir);
    return dir;
  }

 private:
  std::string path_;
  std::vector<std::string> folders_;
};

}  // namespace kv::test
