// The Skins menu's files: the packed skins found under the program's folder,
// their menu captions, and the skin a chosen caption stands for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Full paths of every ".asz" file (any letter case) under folder and its
// subfolders, sorted case-insensitively, each path once.
std::vector<std::string> FindSkinFiles(const std::string& folder);

// The menu caption of a skin file: its name without folder, every ".asz"
// (any letter case) removed.
std::string SkinMenuCaption(std::string_view path);

// What the skin manager is given for a chosen skin.
struct TSkinChoice {
  std::string SkinDirectory;  // the file's folder with its trailing delimiter
  std::string SkinName;       // the file name without ".asz"
};

// The skin of a clicked menu item: caption + ".asz", trimmed, every "&"
// removed (menus add accelerator signs), matched against the file names of
// skinFiles exactly, ignoring letter case. Matching the whole name keeps
// "Blue" from picking ".../DarkBlue.asz". Nothing when no file has that name.
std::optional<TSkinChoice> SkinForMenuCaption(const std::vector<std::string>& skinFiles,
                                              std::string_view caption);

}  // namespace kv
