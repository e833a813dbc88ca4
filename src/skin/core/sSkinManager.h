// The skin manager's decisions that need no window: where SkinDirectory
// points, where a skin named SkinName is found, and which names the skin list
// offers. The component itself is in sSkinManager_win.h.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Types.h"

namespace kv {

// SkinDirectory resolved against the program's folder (with its trailing
// "\"): "..\x" is the folder's parent + "x" (one level), ".\x" and "./x" the
// folder + "x", a text with neither ":" nor "\\" the folder + the text;
// anything else stays as written. No trailing separator is added.
std::string ResolveSkinDirectory(std::string_view skinDirectory, std::string_view programFolder);

enum class TsSkinSource { None, Packed, Folder, Stored };

struct TsSkinLocation {
  TsSkinSource Source = TsSkinSource::None;
  std::string Path;      // the packed file, or the skin's folder with a trailing "\"
  int StoredIndex = -1;  // the stored skin used
  std::string SkinName;  // the name the skin is known by afterwards
};

// The order tried: the packed file "<dir>\<name>.asz", the folder
// "<dir>\<name>\" holding "Options.dat", the stored skin of that exact name,
// the first stored skin (whose name the manager then takes). Both disk
// places use the resolved directory, so that a relative SkinDirectory never
// depends on the current directory.
TsSkinLocation LocateSkin(std::string_view skinDirectory, std::string_view skinName,
                          std::string_view programFolder,
                          const std::vector<std::string>& storedNames,
                          const std::function<bool(const std::string&)>& fileExists);

// One entry of the skin directory as the file search gives it.
struct TsSkinDirEntry {
  std::string Name;
  bool IsDirectory = false;
  bool HasOptions = false;  // a folder holding "Options.dat"
};

// The skin name of a packed file: its name without the final ".asz" (any
// letter case); empty when it is not a packed skin.
std::string PackedSkinName(std::string_view fileName);

// The names for a skin list. Kind 0: stored skins and skin folders; 1: stored
// skins and packed files; 2: all three. Names starting with "." are left out;
// the list is sorted without regard to case. FirstName is the first name
// found (the first stored skin, else the first entry in search order).
std::vector<std::string> SkinListNames(const std::vector<std::string>& storedNames,
                                       const std::vector<TsSkinDirEntry>& entries, int kind,
                                       std::string& firstName);

// Whether the command line asks for the toolkit's version box: a parameter
// (after the program's name) "/acver" in any letter case.
bool AsksForToolkitVersion(const std::vector<std::string>& args);

// Margins of the skin's own EXBORDER picture (its WL, WT, WR, WB).
struct TacExBorderMask {
  int WL = 0, WT = 0, WR = 0, WB = 0;
};

// Left, top, right and bottom shadow margins of extended borders. With an
// EXBORDER picture the skin says them (FORMOFFSET all round when the border
// form draws the borders, BORDERMODE not 0); without one the built-in
// shadow pictures give 11, 7, 11, 11, one more under composition; nothing
// without either.
TRect ExtBorderMargins(const std::optional<TacExBorderMask>& exBorder, int borderMode,
                       int formOffset, bool builtInShadows, bool composition);

}  // namespace kv
