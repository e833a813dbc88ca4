// Forms owned by the application under a manager holding a synthetic skin,
// for the skinned controls' tests: they read back what a control painted and
// name it by the skin's legend ("SECTION.KEY#state"). The form and the
// manager go at the end of each test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Mouse.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kvtest {

constexpr kv::TColor kFormColour = 0x3C5A78;

// A new manager with the synthetic skin made with these options, active.
inline void LoadSyntheticSkin(kv::Owned<kv::TsSkinManager>& manager,
                              std::unique_ptr<TTestSkin>& skin,
                              const TTestSkinOptions& options) {
  manager.reset();
  ASSERT_EQ(kv::DefaultManager, nullptr) << "a manager outlived its test";
  skin = std::make_unique<TTestSkin>(options);
  manager = kv::CreateOwned<kv::TsSkinManager>();
  manager->SetSkinDirectory("c:\\NoSkins");
  kv::TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = "T";
  stored.Data = skin->Packed();
  manager->SetSkinName("T");
  ASSERT_TRUE(manager->CommonSkinData().Active);
}

// Owned by the application, as the program's forms: skin changes reach it.
inline kv::TForm* CreateTestForm(int width, int height, bool borderless) {
  auto* form = kv::Create<kv::TForm>(kv::Application);
  if (borderless) form->SetBorderStyle(kv::bsNone);
  form->SetBounds(0, 0, width, height);
  form->SetColor(kFormColour);
  return form;
}

// A borderless form at the screen's corner, made once; the skin loaded in
// SetUp and again by each Load.
class TSkinnedForm : public ::testing::Test {
 protected:
  void SetUp() override { Load({}); }
  void TearDown() override {
    if (form != nullptr) form->Free();
    manager.reset();
  }

  void Load(const TTestSkinOptions& options) {
    LoadSyntheticSkin(manager, skin, options);
    if (form == nullptr) form = CreateTestForm(320, 120, true);
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

// A framed form made by each test's Load, for the edit, label and combo box.
class TSkinnedFormTest : public ::testing::Test {
 protected:
  void Load(const TTestSkinOptions& options = {}) {
    LoadSyntheticSkin(manager, skin, options);
    form = CreateTestForm(320, 200, false);
  }
  void Show() {
    form->Show();
    HoverOut();
    kv::pump::PumpUntilIdle();
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    form = nullptr;
    manager.reset();
  }
  std::uint32_t Colour(const char* section, const char* key, int state = 0) const {
    return skin->Colour(section, key, state);
  }

  std::unique_ptr<TTestSkin> skin;
  kv::Owned<kv::TsSkinManager> manager;
  kv::TForm* form = nullptr;
};

// A container with a skin section, as a skinned panel is to its children:
// it answers the skin commands (its section, its background colour) and
// shows its section's colour.
class TSectionBox : public kv::TCustomControl {
 public:
  TSectionBox(kv::TComponent* owner, const std::string& section) : kv::TCustomControl(owner) {
    sd.SetSkinSection(section);
    if (const kv::TsGeneralData* s = sd.Section()) SetColor(static_cast<kv::TColor>(s->Color));
  }
  kv::TsCommonData sd{this, false};

 protected:
  void WndProc(kv::TMessage& m) override {
    if (m.Msg == kv::SM_ALPHACMD && kv::HandleSkinCommand(m, &sd) == kv::coAnswered) return;
    kv::TCustomControl::WndProc(m);
  }
};

}  // namespace kvtest
