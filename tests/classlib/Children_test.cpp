// A parent's children by kind, and the identifiers of child windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "classlib/Forms.h"

using namespace kv;

namespace {

struct Children : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 100);
  }
  void TearDown() override { form->Free(); }
  template <class T>
  T* Add(int left) {
    auto* c = Create<T>(form);
    c->SetParent(form);
    c->SetBounds(left, 0, 50, 50);
    return c;
  }
  TForm* form = nullptr;
};

TEST_F(Children, WindowlessComeBeforeWindowedAndEachKindKeepsItsStackingOrder) {
  auto* panel1 = Add<TCustomControl>(0);
  auto* block1 = Add<TGraphicControl>(10);
  auto* panel2 = Add<TCustomControl>(20);
  auto* block2 = Add<TGraphicControl>(30);
  block1->BringToFront();
  panel1->BringToFront();
  const std::vector<TControl*> want = {block2, block1, panel2, panel1};
  for (int i = 0; i < form->ControlCount(); ++i) EXPECT_EQ(form->Controls(i), want.at(i)) << i;
  // Where all four overlap the windowed ones lie on top.
  EXPECT_EQ(form->ControlAtPos({35, 5}, false, true), panel1);
  EXPECT_EQ(form->ControlAtPos({35, 5}, false, false), block1);
  panel1->SetParent(nullptr);
  block1->SetParent(nullptr);
  EXPECT_EQ(form->ControlAtPos({35, 5}, false, true), panel2);
  EXPECT_EQ(form->ControlAtPos({35, 5}, false, false), block2);
  panel1->Free();
  block1->Free();
}

TEST_F(Children, IdentifiersOfDestroyedWindowsAreGivenOutAgain) {
  std::set<int> living;
  for (int i = 0; i < 3; ++i) living.insert(GetDlgCtrlID(Add<TCustomControl>(i)->Handle()));
  EXPECT_EQ(living.size(), 3u);
  auto* gone = Add<TCustomControl>(0);
  const int id = GetDlgCtrlID(gone->Handle());
  EXPECT_EQ(living.count(id), 0u);
  gone->Free();
  EXPECT_EQ(GetDlgCtrlID(Add<TCustomControl>(0)->Handle()), id);
}

// A form shown on its own and then placed inside a control, freed while the
// cursor is over where its own window was: the idle step must find nothing of it.
TEST_F(Children, AFormPlacedInAControlGivesUpItsOwnWindow) {
  form->Show();
  auto* guest = Create<TForm>(nullptr);
  guest->SetBorderStyle(bsNone);
  guest->SetFormStyle(fsStayOnTop);
  guest->SetBounds(400, 300, 120, 80);
  guest->Show();
  const HWND own = guest->Handle();
  SetCursorPos(460, 340);
  ASSERT_EQ(WindowFromPoint(POINT{460, 340}), own);
  guest->SetParent(form);
  EXPECT_NE(guest->Handle(), own);
  EXPECT_FALSE(IsWindow(own)) << "the form's own window outlives the move";
  guest->Free();
  CheckMouseControl();  // the idle step
  EXPECT_EQ(MouseControl(), nullptr);
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

}  // namespace

// Window properties can be read across processes: another program's control
// pointer must never be taken for one of ours (the mouse check walks the
// window under the cursor, whoever owns it).
TEST(WindowOwner, AWindowOfAnotherProcessIsNeverTakenForOurs) {
  HWND desktop = GetDesktopWindow();
  DWORD process = 0;
  GetWindowThreadProcessId(desktop, &process);
  if (process == GetCurrentProcessId()) GTEST_SKIP() << "the desktop window belongs to this process";
  if (!SetPropW(desktop, L"KvControl", reinterpret_cast<HANDLE>(0x1234)))
    GTEST_SKIP() << "no property can be set on another process's window here";
  EXPECT_EQ(nullptr, TWinControl::FromHandle(desktop));
  RemovePropW(desktop, L"KvControl");
}
