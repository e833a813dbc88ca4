// The Skins menu: one item per packed skin file found under the program's
// folder; choosing an item hands that skin to the skin manager.
#pragma once

#include <string>
#include <vector>

#include "base/Classes.h"
#include "classlib/Menus.h"

namespace kv {

// Keeps the skin chosen in the Skins menu: the folder and name the skin
// manager loads from. It stands where the main window's skin manager goes
// and loads nothing itself.
class TSkinManagerStandIn : public TComponent {
 public:
  using TComponent::TComponent;
  void AfterConstruction() {}

  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& value) { skinDirectory_ = value; }
  const std::string& SkinName() const { return skinName_; }
  void SetSkinName(const std::string& value) { skinName_ = value; }
  // What the manager knows about the loaded skin; nothing is loaded here.
  std::string SkinInfo() const { return {}; }

 private:
  std::string skinDirectory_;
  std::string skinName_;
};

class TSoftSkins : public TComponent {
 public:
  // folder: where the skin files are looked for, subfolders included.
  TSoftSkins(TComponent* owner, TSkinManagerStandIn* manager, TMenuItem* menu, std::string folder);
  // Finds the skin files and adds one item per file under the menu.
  void AfterConstruction();

  // Handler of every skin item.
  void SkinMenuClick(TObject* Sender);
  // Full paths of the skin files, in menu order.
  const std::vector<std::string>& SkinFileList() const { return skinFileList_; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TSkinManagerStandIn* manager_;
  TMenuItem* menu_;
  std::string folder_;
  std::vector<std::string> skinFileList_;
};

}  // namespace kv
