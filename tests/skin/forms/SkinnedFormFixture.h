// A form with a provider under the synthetic skin, for the frame tests:
// the skin (full or minimal) in a manager of its own, composition on, no
// show animation, and read-backs of the frame cache and the window.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "support/MessageLog.h"
#include "support/Pixels.h"
#include "support/PlatformSeams.h"
#include "support/TestSkin.h"

namespace kvtest {

class TSkinnedFormFixture {
 public:
  explicit TSkinnedFormFixture(const TTestSkinOptions& options = {}) : skin(options) {
    savedServices_ = kv::FormServices();
    kv::InstallFormServices();
    platform_.Calls().IsCompositionEnabled = +[] { return true; };
    platform_.Calls().SystemMajorVersion = [] { return DWORD{10}; };
    manager = kv::CreateOwned<kv::TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    kv::TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin.Packed();
    manager->SetSkinName("T");
    manager->AnimEffects.FormShow.Active = false;
    manager->AnimEffects.DialogShow.Active = false;
    form = kv::Create<kv::TForm>(nullptr);
    form->SetBounds(40, 40, 300, 200);
  }
  ~TSkinnedFormFixture() {
    if (form != nullptr) form->Free();
    manager.reset();
    kv::FormServices() = savedServices_;
  }
  kv::TsSkinProvider* Provide() { return provider = kv::Create<kv::TsSkinProvider>(form); }
  // A main menu of one item on the form.
  kv::TMainMenu* GiveMenu(const char* caption = "&File") {
    auto* menu = kv::Create<kv::TMainMenu>(form);
    auto* item = kv::Create<kv::TMenuItem>(form);
    item->SetCaption(caption);
    menu->Items()->Add(item);
    form->SetMenu(menu);
    return menu;
  }
  void Show() {
    form->Show();
    PumpUntilIdle();
    LookActive();
  }
  // Test programs running side by side share one desktop and may take the
  // activation from each other: the frame is told it is active instead.
  void LookActive() { SendMessageW(form->Handle(), WM_NCACTIVATE, TRUE, 0); }
  HWND Wnd() { return form->Handle(); }
  TPixels Cache() { return TPixels::FromBitmap(*provider->SkinData()->CacheBmp); }
  // The section (and key) a pixel's colour stands for, "?" for none.
  std::string ItemAt(const TPixels& p, int x, int y) const {
    const TSkinItem* item = skin.Legend(p.At(x, y));
    return item == nullptr ? "?"
                           : item->Section + "." + item->Key + "#" + std::to_string(item->State);
  }
  std::string SectionAt(const TPixels& p, int x, int y) const {
    const TSkinItem* item = skin.Legend(p.At(x, y));
    return item == nullptr ? "?" : item->Section;
  }

  TTestSkin skin;
  TPlatformScope platform_;
  kv::Owned<kv::TsSkinManager> manager;
  kv::TForm* form = nullptr;
  kv::TsSkinProvider* provider = nullptr;

 private:
  kv::TacFormServices savedServices_{};
};

}  // namespace kvtest
