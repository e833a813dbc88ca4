// A shown form with a skin provider, a skin manager holding the synthetic
// skin, and standard controls made on it: what the tests of the control
// adapter and of the adapters it attaches start from.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "skin/adapters/acCtrlAdapter_win.h"
#include "skin/adapters/acScrollWndGeometry.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "support/Pixels.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {

inline LRESULT Command(HWND wnd, unsigned code, LPARAM lParam = 0) {
  return SendMessageW(wnd, SM_ALPHACMD, CommandWParam(code), lParam);
}

class SkinnedFormFixture : public ::testing::Test {
 protected:
  // The skin's options; a fixture that needs others says so.
  virtual kvtest::TTestSkinOptions SkinOptions() const { return {}; }

  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    skinOwned = std::make_unique<kvtest::TTestSkin>(SkinOptions());
    savedServices_ = FormServices();
    InstallFormServices();
    platform_.Calls().IsCompositionEnabled = +[] { return true; };
    manager = CreateOwned<TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin().Packed();
    manager->SetSkinName("T");
    manager->AnimEffects.FormShow.Active = false;
    manager->AnimEffects.DialogShow.Active = false;
    form = Create<TForm>(nullptr);
    form->SetBounds(40, 40, 520, 420);
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    manager.reset();
    FormServices() = savedServices_;
  }

  const kvtest::TTestSkin& skin() const { return *skinOwned; }
  template <class T>
  T* Add(int x, int y, int w, int h, TWinControl* parent = nullptr) {
    auto* c = Create<T>(form);
    c->SetParent(parent != nullptr ? parent : form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  void ShowSkinned() {
    provider = Create<TsSkinProvider>(form);
    form->Show();
    pump::PumpUntilIdle();
  }
  TacCtrlAdapter* Adapter() const { return provider->Adapter(); }
  static TacMainWnd* AdapterOf(TWinControl* c) {
    return c->HandleAllocated() ? AdapterOfWindow(c->Handle()) : nullptr;
  }
  // The section a legend colour stands for; "?" for a colour of no item.
  std::string SectionAt(const kvtest::TPixels& img, int x, int y) const {
    const kvtest::TSkinItem* item = skin().Legend(img.At(x, y) & 0xFFFFFF);
    return item != nullptr ? item->Section + "." + item->Key : "?";
  }
  int StateAt(const kvtest::TPixels& img, int x, int y) const {
    const kvtest::TSkinItem* item = skin().Legend(img.At(x, y) & 0xFFFFFF);
    return item != nullptr ? item->State : -1;
  }
  COLORREF Legend(const std::string& section, const std::string& key, int state = 0) const {
    return static_cast<COLORREF>(skin().Colour(section, key, state));
  }
  static kvtest::TPixels Shown(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME);
    pump::PumpUntilIdle();
    return kvtest::TPixels::FromClient(wnd);
  }
  static kvtest::TPixels Shown(TWinControl* c) { return Shown(c->Handle()); }
  // Presses the real button on the skinned vertical bar's thumb and drags
  // it with the real cursor past the bar's end; whileHeld runs before the
  // button goes up. The press ends, whatever the scroll messages' handlers
  // did to the control's adapter.
  static void DragThumbToEnd(TWinControl* c, const std::function<void()>& whileHeld = {}) {
    const HWND wnd = c->Handle();
    auto* a = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(wnd));
    ASSERT_NE(nullptr, a);
    TacScrollBar& bar = a->Bar(acBarVert);
    UpdateScrollBarInfo(a, false);
    const TRect r = VertScrollBarRect(a, wnd);
    const TacScrollGeometry g =
        ScrollThumbGeometry(bar, r, ScrollBarPartSize(a, bar, spsArrowLength, true));
    ASSERT_TRUE(g.HasThumb());
    const int x = (r.Left + r.Right) / 2;
    Button({x, g.ThumbStart + g.ThumbLength / 2}, true);
    ASSERT_TRUE(pump::PumpUntil([&] { return ScrollPartPressed(wnd); }));
    SetCursorPos(x, r.Bottom + 40);
    pump::PumpUntilIdle();
    if (whileHeld) whileHeld();
    Button({x, r.Bottom + 40}, false);
    ASSERT_TRUE(pump::PumpUntil([&] { return !ScrollPartPressed(wnd); }));
  }
  static void Button(POINT screen, bool down) {
    SetCursorPos(screen.x, screen.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
  }

  std::unique_ptr<kvtest::TTestSkin> skinOwned;
  kvtest::TPlatformScope platform_;
  Owned<TsSkinManager> manager;
  TForm* form = nullptr;
  TsSkinProvider* provider = nullptr;

 private:
  TacFormServices savedServices_{};
};

}  // namespace kv
