// A form owned by the application under a manager holding a synthetic skin,
// for the tests of the edit, label and combo box; the form and the manager go
// at the end of each test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "classlib/Forms.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Mouse.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kvtest {

inline constexpr kv::TColor kFormColor = 0x3C5A78;

class TSkinnedFormTest : public ::testing::Test {
 protected:
  void Load(const TTestSkinOptions& options = {}) {
    ASSERT_EQ(kv::DefaultManager, nullptr) << "a manager outlived its test";
    skin = std::make_unique<TTestSkin>(options);
    manager = kv::CreateOwned<kv::TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    kv::TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin->Packed();
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    // Owned by the application, as the program's forms: skin changes reach it.
    form = kv::Create<kv::TForm>(kv::Application);
    form->SetBounds(0, 0, 320, 200);
    form->SetColor(kFormColor);
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
