#pragma once
// A form owned by the application with the synthetic skin loaded, for the
// skinned buttons' tests: skin changes reach it as they reach the program's
// forms. Each colour a control shows names, through the skin's legend, the
// item and state that painted it.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Counters.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kvtest {

class TSkinnedFormTest : public ::testing::Test {
 protected:
  static constexpr kv::TColor kFormColor = 0x3C5A78;

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
    form = kv::Create<kv::TForm>(kv::Application);
    form->SetBounds(0, 0, 320, 200);
    form->SetColor(kFormColor);
  }
  void Show() {
    form->Show();
    kv::pump::PumpUntilIdle();
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    manager.reset();
  }

  // Fifty switches of the skin off and on, `repaint` after each, after one
  // round that makes what the plain look keeps for good: the object counters
  // end where they began.
  ::testing::AssertionResult SkinSwitchesLeaveNoObjects(const std::function<void()>& repaint) {
    const auto round = [&](bool active) {
      manager->SetActive(active);
      repaint();
      kv::pump::PumpUntilIdle();
    };
    round(false);
    round(true);
    const TObjectBaseline baseline;
    for (int i = 0; i < 50; ++i) round(i % 2 != 0);
    round(true);
    return baseline.Unchanged();
  }

  // The skin item and state a colour stands for, as "SECTION.KEY#state".
  std::string Item(COLORREF colour) const {
    const TSkinItem* item = skin->Legend(colour);
    if (item == nullptr) return "none";
    return item->Section + "." + item->Key + "#" + std::to_string(item->State);
  }
  static std::string Name(const std::string& section, const std::string& key, int state) {
    return section + "." + key + "#" + std::to_string(state);
  }

  std::unique_ptr<TTestSkin> skin;
  kv::Owned<kv::TsSkinManager> manager;
  kv::TForm* form = nullptr;
};

// The client pixels of a window as they are now.
inline COLORREF ClientPixel(HWND wnd, int x, int y) { return TPixels::FromClient(wnd).At(x, y); }

}  // namespace kvtest
