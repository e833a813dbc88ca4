#include "app/Skins_Unt.h"

#include <algorithm>

#include "app/Funs_Unt.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

constexpr std::string_view kSkinExt = ".asz";

std::string RemoveAll(std::string_view text, char c) {
  std::string out;
  for (char ch : text) {
    if (ch != c) out += ch;
  }
  return out;
}

// Every occurrence of the extension, in any letter case.
std::string RemoveSkinExt(std::string_view name) {
  std::string out;
  std::size_t i = 0;
  while (i < name.size()) {
    if (i + kSkinExt.size() <= name.size() && SameText(name.substr(i, kSkinExt.size()), kSkinExt)) {
      i += kSkinExt.size();
      continue;
    }
    out += name[i++];
  }
  return out;
}

}  // namespace

std::vector<std::string> FindSkinFiles(const std::string& folder) {
  return FindFilesRecursive(folder, kSkinExt);
}

std::string SkinMenuCaption(std::string_view path) { return RemoveSkinExt(ExtractFileName(path)); }

std::optional<TSkinChoice> SkinForMenuCaption(const std::vector<std::string>& skinFiles,
                                              std::string_view caption) {
  const std::string name = RemoveAll(Trim(std::string(caption) + std::string(kSkinExt)), '&');
  for (const std::string& path : skinFiles) {
    // A file whose own name holds "&" shows it as an accelerator sign.
    if (!SameText(RemoveAll(ExtractFileName(path), '&'), name)) continue;
    return TSkinChoice{ExtractFilePath(path), name.substr(0, name.size() - kSkinExt.size())};
  }
  return std::nullopt;
}

}  // namespace kv
