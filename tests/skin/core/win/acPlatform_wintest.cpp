// The platform answers the toolkit branches on, all read through the one
// table a test sets: composition and the system version, layered windows,
// the visual-style call.
#include <gtest/gtest.h>

#include <vector>

#include "SkinTestForms.h"
#include "skin/core/acPlatform.h"
#include "skin/core/sCommonData_win.h"
#include "skin/graphics/acGlow.h"
#include "support/PlatformSeams.h"
#include "support/TestSkin.h"

namespace kvtest {
namespace {

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test"; }
  void TearDown() override { ClearGlows(); }

  static Owned<TsSkinManager> SkinnedManager(const TTestSkinOptions& options = {}) {
    Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
    m->SetSkinDirectory("c:\\NoSkins");
    m->AnimEffects.SkinChanging.Active = false;
    TsStoredSkin& skin = m->InternalSkins.Add();
    skin.Name = "T";
    skin.Data = TTestSkin(options).Packed();
    m->SetSkinName("T");
    return m;
  }

  TPlatformScope platform;
};

TEST_F(PlatformTest, CompositionCountsFromVersionSixOnly) {
  const struct {
    DWORD major;
    bool composition, want;
  } cases[] = {{5, true, false}, {6, true, true}, {6, false, false}, {10, true, true}};
  for (const auto& c : cases) {
    static bool composition;
    static DWORD major;
    composition = c.composition;
    major = c.major;
    platform.Calls().IsCompositionEnabled = [] { return composition; };
    platform.Calls().SystemMajorVersion = [] { return major; };
    EXPECT_EQ(IsDwmCompositionOn(), c.want) << "version " << c.major;
  }
}

// Before version 6 (no composition) the old frame region is dropped before
// the provider makes the new one; from 6 on it is left for the provider.
TEST_F(PlatformTest, AnOldSystemDropsTheFormRegionWhenASkinChangeThaws) {
  for (DWORD major : {5u, 6u}) {
    static DWORD version;
    version = major;
    platform.Calls().SystemMajorVersion = [] { return version; };
    platform.Calls().IsCompositionEnabled = [] { return version >= 6; };
    Owned<TsSkinManager> manager = SkinnedManager();
    Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
    form->Show();
    SetWindowRgn(form->Handle(), CreateRectRgn(0, 0, 50, 40), FALSE);
    manager->SetSkinName("T");
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(form->Handle(), rgn);
    DeleteObject(rgn);
    if (major < 6)
      EXPECT_EQ(kind, ERROR) << "version " << major << ": the region is dropped";
    else
      EXPECT_EQ(kind, SIMPLEREGION) << "version " << major << ": the region stays";
    EXPECT_FALSE(form->provider.locked);
  }
}

TEST_F(PlatformTest, WithoutLayeredWindowsThereAreNoGlowsOrExtendedBorders) {
  TTestSkinOptions options;
  options.Glow = true;
  Owned<TsSkinManager> manager = SkinnedManager(options);
  manager->SetExtendedBorders(true);
  const auto glow = [&] {
    return ShowGlow({40, 40, 80, 60}, {0, 0, 40, 20}, "GLOBALINFO", &manager->Skin(), nullptr, 255,
                    1, "BICONCLOSEGLOW");
  };
  EXPECT_TRUE(manager->AllowGlowing());
  EXPECT_TRUE(manager->ExtendedBorders());
  EXPECT_GE(glow(), 0);
  platform.Calls().UpdateLayeredWindow = nullptr;
  EXPECT_FALSE(manager->AllowGlowing());
  EXPECT_FALSE(manager->ExtendedBorders());
  EXPECT_EQ(glow(), -1);
}

// An unskinned control gives the visual style back on WM_UPDATEUISTATE, when
// the program is drawn with visual styles at all.
TEST_F(PlatformTest, AnUnskinnedControlResetsItsVisualStyleThroughTheTable) {
  static std::vector<HWND> themed;
  static bool themes;
  platform.Calls().SetWindowTheme = [](HWND wnd, LPCWSTR, LPCWSTR) -> HRESULT {
    themed.push_back(wnd);
    return S_OK;
  };
  platform.Calls().IsThemeActive = [] { return themes; };
  for (const bool on : {true, false}) {
    themed.clear();
    themes = on;
    Owned<TForm> form = CreateOwned<TForm>();
    auto* box = Create<TSkinnedBox>(form.get());
    box->SetParent(form.get());
    box->SetBounds(0, 0, 20, 20);
    SendMessageW(box->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(themed, on ? std::vector<HWND>{box->Handle()} : std::vector<HWND>{})
        << "visual styles " << (on ? "on" : "off");
  }
}

}  // namespace
}  // namespace kvtest
