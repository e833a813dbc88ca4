#include "app/Skins_Unt_win.h"

#include <optional>
#include <utility>

#include "app/Skins_Unt.h"

namespace kv {

TSoftSkins::TSoftSkins(TComponent* owner, TSkinManagerStandIn* manager, TMenuItem* menu,
                       std::string folder)
    : TComponent(owner), manager_(manager), menu_(menu), folder_(std::move(folder)) {
  if (manager_ != nullptr) manager_->FreeNotification(this);
  if (menu_ != nullptr) menu_->FreeNotification(this);
}

void TSoftSkins::AfterConstruction() {
  skinFileList_ = FindSkinFiles(folder_);
  if (menu_ == nullptr) return;
  for (const std::string& path : skinFileList_) {
    // The items are this object's: they go when it goes.
    auto* item = Create<TMenuItem>(this);
    item->SetCaption(SkinMenuCaption(path));
    item->OnClick = [this](TObject* sender) { SkinMenuClick(sender); };
    menu_->Add(item);
  }
}

void TSoftSkins::SkinMenuClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || manager_ == nullptr || skinFileList_.empty()) return;
  const std::optional<TSkinChoice> choice = SkinForMenuCaption(skinFileList_, item->Caption());
  if (!choice) return;
  manager_->SetSkinDirectory(choice->SkinDirectory);
  manager_->SetSkinName(choice->SkinName);
  manager_->SkinInfo();
}

void TSoftSkins::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) {
    if (component == manager_) manager_ = nullptr;
    if (component == menu_) menu_ = nullptr;
  }
  TComponent::Notification(component, operation);
}

}  // namespace kv
