// Window properties with a copy in the process: what is read is what was set
// through them, the system property says the same, and a window's copies go
// when it does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "classlib/Forms.h"
#include "classlib/WindowProps.h"

using namespace kv;

namespace {

HANDLE Value(int n) { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(n)); }

struct WindowProps : ::testing::Test {
  void SetUp() override {
    wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                          nullptr);
    ASSERT_NE(wnd, nullptr);
  }
  void TearDown() override {
    if (IsWindow(wnd)) DestroyWindow(wnd);
  }
  HWND wnd = nullptr;
};

TEST_F(WindowProps, WhatIsSetIsReadBackAndTheSystemSeesTheSame) {
  ASSERT_TRUE(SetLocalProp(wnd, L"KvTestA", Value(11)));
  ASSERT_TRUE(SetLocalProp(wnd, L"KvTestB", Value(22)));
  EXPECT_EQ(GetLocalProp(wnd, L"KvTestA"), Value(11));
  EXPECT_EQ(GetLocalProp(wnd, L"KvTestB"), Value(22));
  EXPECT_EQ(GetPropW(wnd, L"KvTestA"), Value(11));
  ASSERT_TRUE(SetLocalProp(wnd, L"KvTestA", Value(33)));
  EXPECT_EQ(GetLocalProp(wnd, L"KvTestA"), Value(33));
  EXPECT_EQ(GetPropW(wnd, L"KvTestA"), Value(33));

  EXPECT_EQ(RemoveLocalProp(wnd, L"KvTestA"), Value(33));
  EXPECT_EQ(GetLocalProp(wnd, L"KvTestA"), nullptr);
  EXPECT_EQ(GetPropW(wnd, L"KvTestA"), nullptr);
  EXPECT_EQ(GetLocalProp(wnd, L"KvTestB"), Value(22)) << "the other property stays";
  EXPECT_EQ(RemoveLocalProp(wnd, L"KvTestA"), nullptr);
  RemoveLocalProp(wnd, L"KvTestB");
}

TEST_F(WindowProps, ANameIsComparedByItsCharactersNotItsAddress) {
  std::wstring name = L"KvTestName";
  ASSERT_TRUE(SetLocalProp(wnd, name.c_str(), Value(5)));
  const std::wstring copy(name);
  name.assign(L"Overwritten");
  EXPECT_EQ(GetLocalProp(wnd, copy.c_str()), Value(5));
  EXPECT_EQ(GetLocalProp(wnd, L"KvTestName"), Value(5));
  EXPECT_EQ(RemoveLocalProp(wnd, L"KvTestName"), Value(5));
}

TEST_F(WindowProps, OnlyWhatWasSetThroughThemIsRead) {
  // A property somebody else put on the window (another process could put a
  // pointer into its own memory there) is not taken for ours.
  SetPropW(wnd, L"KvTestForeign", Value(7));
  EXPECT_EQ(GetLocalProp(wnd, L"KvTestForeign"), nullptr);
  RemovePropW(wnd, L"KvTestForeign");
  EXPECT_EQ(GetLocalProp(nullptr, L"KvTestForeign"), nullptr);
  // A window that is gone keeps nothing.
  const HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
  DestroyWindow(gone);
  EXPECT_FALSE(SetLocalProp(gone, L"KvTestX", Value(1)));
  EXPECT_EQ(GetLocalProp(gone, L"KvTestX"), nullptr);
}

// The class library's controls are found through such a property: a window
// made again for the same control is found, the old one no longer.
TEST(WindowOwner, AControlIsFoundByItsWindowOnlyWhileTheWindowLives) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* child = Create<TCustomControl>(form.get());
  child->SetParent(form.get());
  const HWND first = child->Handle();
  EXPECT_EQ(TWinControl::FromHandle(first), child);
  child->RecreateWnd();
  const HWND second = child->Handle();
  ASSERT_NE(first, second);
  EXPECT_EQ(TWinControl::FromHandle(first), nullptr);
  EXPECT_EQ(TWinControl::FromHandle(second), child);
  child->Free();
  EXPECT_EQ(TWinControl::FromHandle(second), nullptr);
}

}  // namespace
