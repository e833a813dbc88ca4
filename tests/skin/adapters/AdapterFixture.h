// A skin manager holding the synthetic skin, a shown host window at a known
// screen place, and standard windows made on it: what the adapter tests
// start from.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "skin/core/sSkinManager_win.h"
#include "support/HostWindow.h"
#include "support/TestSkin.h"

namespace kvtest {

class AdapterFixture : public ::testing::Test {
 protected:
  // The skin's options; a fixture that needs others says so.
  virtual TTestSkinOptions SkinOptions() const { return {}; }

  void SetUp() override {
    ASSERT_EQ(kv::DefaultManager, nullptr) << "a manager outlived its test";
    skin = std::make_unique<TTestSkin>(SkinOptions());
    manager = kv::CreateOwned<kv::TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    kv::TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin->Packed();
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    host = std::make_unique<THostWindow>(320, 240);
  }
  void TearDown() override {
    host.reset();
    manager.reset();
  }

  // A multi-line edit with both bars and a sunken edge.
  HWND MakeEdit(int x, int y, int w, int h, DWORD extraStyle = 0) {
    return CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                           WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL |
                               ES_AUTOVSCROLL | ES_AUTOHSCROLL | extraStyle,
                           x, y, w, h, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  HWND MakeList(int x, int y, int w, int h, int items) {
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, x, y, w,
                                h, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < items; ++i)
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    return list;
  }
  COLORREF Legend(const std::string& section, const std::string& key, int state = 0) const {
    return static_cast<COLORREF>(skin->Colour(section, key, state));
  }

  std::unique_ptr<TTestSkin> skin;
  kv::Owned<kv::TsSkinManager> manager;
  std::unique_ptr<THostWindow> host;
};

// The ink boxes of "File" and "&File" drawn alike: the second is no wider
// (the underline may start a pixel or two before the F's stem; an "&" would
// add a whole character) and reaches lower, by its underline.
inline void ExpectMnemonicUnderlined(const RECT& plain, const RECT& mnemonic) {
  EXPECT_NEAR(plain.right - plain.left, mnemonic.right - mnemonic.left, 3) << "no \"&\" shown";
  EXPECT_GT(mnemonic.bottom - mnemonic.top, plain.bottom - plain.top) << "the F underlined";
}

}  // namespace kvtest
