#include "app/Skins_Unt_win.h"

#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "app/ConstLang_Unt.h"
#include "app/Message_Frm_win.h"
#include "app/Skins_Unt.h"
#include "classlib/Forms.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/model/acSkinPack.h"

namespace kv {

void CreateWindowSkin(TCustomForm* form, bool isDefault, TsSkinManager*& manager,
                      TsSkinProvider*& provider) {
  manager = Create<TsSkinManager>(form);
  manager->BeginLoading();
  manager->SetName("sknmngr");
  if (!isDefault) {
    manager->SetIsDefault(false);
    // Such a manager shows the skin of the window it follows (FollowSkin):
    // it stays off until then, rather than load a skin only to replace it.
    manager->SetActive(false);
  }
  // A skin chosen in the Skins menu shows at once: the fade over the old
  // look would paint every window a second time and hold the program for
  // its duration.
  manager->AnimEffects.SkinChanging.Active = false;
  manager->SetSkinDirectory(WindowSkinDirectory);
  // An empty stored skin would fail to load with a message; without one the
  // manager just finds nothing and the window stays plain.
  if (TacBytes bytes = ResourceBytes(DefaultSkinResource); !bytes.empty()) {
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = StoredSkinName;
    stored.Data = std::move(bytes);
  }
  manager->SetSkinName(WindowSkinName);

  provider = Create<TsSkinProvider>(form);
  provider->BeginLoading();
  provider->SetName("sknprvdr");
  // A frame's manager is not the default: the provider is told its own.
  provider->SkinData()->SetSkinManager(manager);
  // The windows' stored title font: no added text, the title's own colour.
  TFont title;
  title.SetName("MS Sans Serif");
  title.SetHeight(-11);
  title.SetColor(clNone);
  provider->AddedTitle.SetFont(title);
  manager->EndLoading();
  provider->EndLoading();
}

void FollowSkin(TsSkinManager& follower, const TsSkinManager& leader) {
  if (!leader.Active()) {
    follower.SetActive(false);
    return;
  }
  const bool same = follower.Active() && follower.SkinDirectory() == leader.SkinDirectory() &&
                    follower.SkinName() == leader.SkinName();
  if (same) return;
  follower.SetSkinDirectory(leader.SkinDirectory());
  // While off the name is only kept; switching on loads it once.
  follower.SetSkinName(leader.SkinName());
  if (!follower.Active()) follower.SetActive(true);
}

namespace {

// True when the file is still there and reads as a packed skin with its
// options; the manager would otherwise fall back to another skin or fail
// half-way, and the user would not learn that the choice did not take.
bool ReadableSkinFile(const std::string& path) {
  try {
    std::unique_ptr<TacSkinConvertor> convertor;
    LoadPackedSkinFile(path, convertor, true);
    return convertor != nullptr && convertor->OptionsData != nullptr;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TSoftSkins::TSoftSkins(TComponent* owner, TsSkinManager* manager, TMenuItem* menu,
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
  if (!ReadableSkinFile(choice->SkinDirectory + choice->SkinName + ".asz")) {
    // The skin shown stays; the user is told the choice did not take.
    ShowMessageForm(SkinLoadErrorText(LanguageFlag, choice->SkinName), Application->Title());
    return;
  }
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
