// A borderless form shown at the screen's corner with the synthetic skin
// loaded, for the skinned bars' tests: they read back what a control painted
// and name it by the skin's legend ("SECTION.KEY#state").
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Pixels.h"
#include "support/TestSkin.h"

namespace kvtest {

constexpr kv::TColor kFormColour = 0x3C5A78;

class TSkinnedForm : public ::testing::Test {
 protected:
  void SetUp() override { Load({}); }
  void TearDown() override {
    if (form != nullptr) form->Free();
    manager.reset();
  }

  // A new manager with the synthetic skin made with these options; the form
  // is made once.
  void Load(const TTestSkinOptions& options) {
    manager.reset();
    ASSERT_EQ(kv::DefaultManager, nullptr) << "a manager outlived its test";
    manager = kv::CreateOwned<kv::TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    skin = std::make_unique<TTestSkin>(options);
    kv::TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin->Packed();
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    if (form != nullptr) return;
    // Owned by the application, as the program's forms: skin changes reach it.
    form = kv::Create<kv::TForm>(kv::Application);
    form->SetBorderStyle(kv::bsNone);
    form->SetBounds(0, 0, 320, 120);
    form->SetColor(kFormColour);
  }

  // What the form's client area shows now, children included.
  TPixels Shot() {
    form->Show();
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Read();
  }
  // The form's client area as it is, without repainting anything.
  TPixels Read() {
    RECT r;
    GetClientRect(form->Handle(), &r);
    HDC dc = GetDC(form->Handle());
    TPixels shot = TPixels::FromDC(dc, r);
    ReleaseDC(form->Handle(), dc);
    return shot;
  }
  // The legend's name of a colour, "-" for one that is no skin item's.
  std::string Item(COLORREF colour) const {
    const TSkinItem* item = skin->Legend(colour);
    if (item == nullptr) return "-";
    return item->Section + "." + item->Key + "#" + std::to_string(item->State);
  }
  std::string ItemAt(const TPixels& shot, int x, int y) const { return Item(shot.At(x, y)); }
  // The section a colour belongs to, whichever item of it painted.
  std::string SectionOf(COLORREF colour) const {
    const TSkinItem* item = skin->Legend(colour);
    return item != nullptr ? item->Section : "-";
  }

  kv::Owned<kv::TsSkinManager> manager;
  std::unique_ptr<TTestSkin> skin;
  kv::TForm* form = nullptr;
};

}  // namespace kvtest
