// The windows' skins: the skin manager and form provider each window of the
// program carries, and the Skins menu, one item per packed skin file found
// under the program's folder; choosing an item loads that skin.
#pragma once

#include <string>
#include <vector>

#include "base/Classes.h"
#include "classlib/Menus.h"

namespace kv {

class TCustomForm;
class TsSkinManager;
class TsSkinProvider;

// The skin every window names: looked for as a packed file or folder under
// WindowSkinDirectory first, else the stored copy of our default skin.
inline constexpr const char* WindowSkinName = "Vista";
inline constexpr const char* WindowSkinDirectory = "E:\\Project\\Skins";
inline constexpr const char* StoredSkinName = "Vista (internal)";

// Creates a window's skin manager and its provider, owned by the form, under
// the loading protocol: the skin is loaded and announced once both are
// complete. A manager made with isDefault false never takes the default role
// and stays off until FollowSkin gives it a skin (the side-bar frames'
// managers). The stored skin is left out when the
// program carries none, and the window then stays plain.
void CreateWindowSkin(TCustomForm* form, bool isDefault, TsSkinManager*& manager,
                      TsSkinProvider*& provider);

// Gives follower the skin leader shows: the same folder, name and state.
void FollowSkin(TsSkinManager& follower, const TsSkinManager& leader);

class TSoftSkins : public TComponent {
 public:
  // folder: where the skin files are looked for, subfolders included.
  TSoftSkins(TComponent* owner, TsSkinManager* manager, TMenuItem* menu, std::string folder);
  // Finds the skin files and adds one item per file under the menu.
  void AfterConstruction();

  // Handler of every skin item.
  void SkinMenuClick(TObject* Sender);
  // Full paths of the skin files, in menu order.
  const std::vector<std::string>& SkinFileList() const { return skinFileList_; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TsSkinManager* manager_;
  TMenuItem* menu_;
  std::string folder_;
  std::vector<std::string> skinFileList_;
};

}  // namespace kv
