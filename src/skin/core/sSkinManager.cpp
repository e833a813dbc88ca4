#include "skin/core/sSkinManager.h"

#include <algorithm>

#include "base/SysUtils.h"
#include "skin/core/acUtils.h"

namespace kv {

std::string ResolveSkinDirectory(std::string_view dir, std::string_view programFolder) {
  const std::string p(programFolder);
  if (dir.starts_with("..")) {
    std::string parent = p.empty() ? p : p.substr(0, p.size() - 1);
    while (!parent.empty() && parent.back() != '\\' && parent.back() != '/') parent.pop_back();
    return parent + std::string(dir.size() > 3 ? dir.substr(3) : std::string_view{});
  }
  if (dir.starts_with(".\\") || dir.starts_with("./")) return p + std::string(dir.substr(2));
  if (dir.find(':') == std::string_view::npos && dir.find("\\\\") == std::string_view::npos)
    return p + std::string(dir);
  return std::string(dir);
}

TsSkinLocation LocateSkin(std::string_view skinDirectory, std::string_view skinName,
                          std::string_view programFolder,
                          const std::vector<std::string>& storedNames,
                          const std::function<bool(const std::string&)>& fileExists) {
  const std::string base =
      AddTrailingBackslash(ResolveSkinDirectory(skinDirectory, programFolder));
  const std::string name(skinName);
  TsSkinLocation loc;
  loc.SkinName = name;
  if (!name.empty()) {
    if (const std::string packed = base + name + ".asz"; fileExists(packed)) {
      loc.Source = TsSkinSource::Packed;
      loc.Path = packed;
      return loc;
    }
    if (const std::string folder = base + name + "\\"; fileExists(folder + "Options.dat")) {
      loc.Source = TsSkinSource::Folder;
      loc.Path = folder;
      return loc;
    }
  }
  if (storedNames.empty()) return loc;
  const auto it = std::find(storedNames.begin(), storedNames.end(), name);
  loc.Source = TsSkinSource::Stored;
  loc.StoredIndex = it != storedNames.end() ? static_cast<int>(it - storedNames.begin()) : 0;
  loc.SkinName = storedNames[static_cast<size_t>(loc.StoredIndex)];
  return loc;
}

std::string PackedSkinName(std::string_view fileName) {
  constexpr std::string_view ext = ".asz";
  if (fileName.size() <= ext.size() || !SameText(fileName.substr(fileName.size() - 4), ext))
    return {};
  return std::string(fileName.substr(0, fileName.size() - ext.size()));
}

std::vector<std::string> SkinListNames(const std::vector<std::string>& storedNames,
                                       const std::vector<TsSkinDirEntry>& entries, int kind,
                                       std::string& firstName) {
  std::vector<std::string> names = storedNames;
  const bool folders = kind == 0 || kind == 2;
  const bool packed = kind == 1 || kind == 2;
  for (const TsSkinDirEntry& e : entries) {
    if (e.Name.empty() || e.Name.front() == '.') continue;
    if (e.IsDirectory) {
      if (folders && e.HasOptions) names.push_back(e.Name);
    } else if (packed) {
      if (std::string n = PackedSkinName(e.Name); !n.empty()) names.push_back(std::move(n));
    }
  }
  firstName = names.empty() ? std::string() : names.front();
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

bool AsksForToolkitVersion(const std::vector<std::string>& args) {
  for (size_t i = 1; i < args.size(); ++i)
    if (LowerCase(args[i]) == "/acver") return true;
  return false;
}

TRect ExtBorderMargins(const std::optional<TacExBorderMask>& exBorder, int borderMode,
                       int formOffset, bool builtInShadows, bool composition) {
  if (exBorder) {
    if (borderMode != 0) return {formOffset, formOffset, formOffset, formOffset};
    return {exBorder->WL - formOffset, exBorder->WT - formOffset, exBorder->WR - formOffset,
            exBorder->WB - formOffset};
  }
  if (!builtInShadows) return {};
  // The built-in shadow pictures' margins.
  TRect r{11, 7, 11, 11};
  if (composition) r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  return r;
}

}  // namespace kv
