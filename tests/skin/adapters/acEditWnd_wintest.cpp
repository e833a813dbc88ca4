// The edit adapter on a real multi-line edit and on a memo of the class
// library: the skinned border and its states, the colours it gives and
// gives back, and printing at an offset inside border and bars.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "classlib/TypInfo.h"
#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/acEditWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/model/acToolkitFlags.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kEdge = 2;

// A memo whose class publishes "FocusColor", as skinned edits do.
class TFocusMemo : public TMemo {
 public:
  using TMemo::TMemo;
  TColor FocusColor = clAqua;
};

// A memo that, asked how it looks disabled (toolkit command 35), says grey.
class TGreyedMemo : public TFocusMemo {
 public:
  using TFocusMemo::TFocusMemo;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdAdapterPrivate35) GlobalDisabledKind = dkGrayed;
    TFocusMemo::WndProc(m);
  }
};

bool RegisterFocusColor() {
  RegisterOrdProperty<TFocusMemo>(
      "FocusColor", [](TFocusMemo& m) { return std::int64_t{m.FocusColor}; },
      [](TFocusMemo& m, std::int64_t v) { m.FocusColor = static_cast<TColor>(v); });
  return true;
}

// More lines than the edit shows, all short: the vertical bar is active.
std::wstring ManyLines() {
  std::wstring text;
  for (int i = 0; i < 40; ++i) text += L"WWWW\r\n";
  return text;
}

class EditWnd : public kvtest::AdapterFixture {
 protected:
  void TearDown() override {
    FreeAdapter(adapter);
    if (wnd != nullptr && IsWindow(wnd)) DestroyWindow(wnd);
    form.reset();
    AdapterFixture::TearDown();
  }
  TPixels Window() {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    pump::PumpUntilIdle();
    return TPixels::FromWindow(wnd);
  }
  template <class Memo = TFocusMemo>
  Memo* MakeMemo() {
    static const bool registered = RegisterFocusColor();
    (void)registered;
    form = CreateOwned<TForm>();
    form->SetBounds(300, 200, 300, 200);
    auto* memo = Create<Memo>(form.get());
    memo->SetParent(form.get());
    memo->SetBounds(10, 10, 200, 120);
    memo->SetScrollBars(ssVertical);
    memo->SetColor(clYellow);
    memo->Font()->SetColor(clMaroon);
    form->Show();
    pump::PumpUntilIdle();
    sd = std::make_unique<TsCommonData>(memo, true);
    sd->SetSkinManager(manager.get());
    wnd = memo->Handle();
    adapter = CreateAdapter<TacEditWnd>(wnd, true, sd.get(), manager.get(), "");
    pump::PumpUntilIdle();
    return memo;
  }
  void RemoveSkin() {
    SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdSkinRemoved),
                 reinterpret_cast<LPARAM>(manager.get()));
  }

  HWND wnd = nullptr;
  TacEditWnd* adapter = nullptr;
  Owned<TForm> form;
  std::unique_ptr<TsCommonData> sd;
};

TEST_F(EditWnd, TheBorderIsTheSkinsUntilTheSkinGoes) {
  wnd = MakeEdit(10, 10, 200, 120);
  adapter = CreateAdapter<TacEditWnd>(wnd, true, nullptr, manager.get(), "");
  SetWindowTextW(wnd, ManyLines().c_str());
  EXPECT_EQ("EDIT", adapter->SkinData->SkinSection());
  const COLORREF border = Legend("EDIT", "BORDERSMASK", 0);
  TPixels shown = Window();
  EXPECT_TRUE(kvtest::ColourAt(shown, 0, 60, border));
  EXPECT_TRUE(kvtest::ColourAt(shown, 100, 1, border));
  // The bars are there beside it.
  EXPECT_GT(shown.CountOf(Legend("SCROLLBTNTOP", "BORDERSMASK"), shown.Whole()), 0);
  RemoveSkin();
  manager->SetActive(false);
  shown = Window();
  EXPECT_NE(shown.At(0, 60), border);
  EXPECT_EQ(0, shown.CountOf(Legend("SCROLLBTNTOP", "BORDERSMASK"), shown.Whole()));
}

TEST_F(EditWnd, AMemoTakesTheSkinsColoursAndGetsItsOwnBack) {
  TFocusMemo* memo = MakeMemo();
  Window();
  const TsGeneralData* section = adapter->SkinData->Section();
  ASSERT_NE(nullptr, section);
  const TColor skinColour = SkinnedBgColor(adapter->SkinData, false, wnd);
  EXPECT_EQ(skinColour, memo->Color());
  EXPECT_EQ(skinColour, memo->FocusColor);
  EXPECT_EQ(section->HotFontColor[0], memo->Font()->Color());
  RemoveSkin();
  EXPECT_EQ(clYellow, memo->Color());
  EXPECT_EQ(clAqua, memo->FocusColor);
  EXPECT_EQ(clMaroon, memo->Font()->Color());
}

// Focus and hover both show the border mask's second state, and leaving
// brings the first back.
struct BorderStateCase {
  const char* name;
  std::function<void(HWND, TControl*)> enter, leave;
};

class EditBorderStates : public EditWnd, public ::testing::WithParamInterface<BorderStateCase> {};

TEST_P(EditBorderStates, RedrawTheBorderInTheMasksSecondState) {
  TFocusMemo* memo = MakeMemo();
  EXPECT_TRUE(kvtest::ColourAt(Window(), 0, 60, Legend("EDIT", "BORDERSMASK", 0)));
  GetParam().enter(form->Handle(), memo);
  pump::PumpUntilIdle();
  EXPECT_TRUE(kvtest::ColourAt(Window(), 0, 60, Legend("EDIT", "BORDERSMASK", 1)));
  GetParam().leave(form->Handle(), memo);
  pump::PumpUntilIdle();
  EXPECT_TRUE(kvtest::ColourAt(Window(), 0, 60, Legend("EDIT", "BORDERSMASK", 0)));
}

INSTANTIATE_TEST_SUITE_P(
    Memo, EditBorderStates,
    ::testing::Values(BorderStateCase{"Focus",
                                      [](HWND form, TControl* memo) {
                                        SetForegroundWindow(form);
                                        SetFocus(static_cast<TWinControl*>(memo)->Handle());
                                      },
                                      [](HWND, TControl*) { SetFocus(nullptr); }},
                      BorderStateCase{
                          "Hover", [](HWND, TControl* memo) { memo->Perform(CM_MOUSEENTER, 0, 0); },
                          [](HWND, TControl* memo) { memo->Perform(CM_MOUSELEAVE, 0, 0); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Disabled, a memo's border takes the look its control asks for: blended
// into what lies behind it unless the control says grey; enabled again, the
// skin's border comes back.
struct DisabledCase {
  const char* name;
  bool greyed;
};

class EditDisabledLook : public EditWnd, public ::testing::WithParamInterface<DisabledCase> {};

TEST_P(EditDisabledLook, FollowsTheKindTheControlAnswers) {
  TFocusMemo* memo = GetParam().greyed ? MakeMemo<TGreyedMemo>() : MakeMemo();
  const COLORREF border = Legend("EDIT", "BORDERSMASK", 0);
  ASSERT_TRUE(kvtest::ColourAt(Window(), 0, 60, border));
  // What lies behind the memo: its form left of it.
  const COLORREF behind = TPixels::FromClient(form->Handle()).At(5, 70);
  ASSERT_NE(behind, border);
  memo->SetEnabled(false);
  pump::PumpUntilIdle();
  const COLORREF disabled = Window().At(0, 60);
  EXPECT_NE(disabled, border);
  const auto between = [](int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); };
  if (GetParam().greyed) {
    EXPECT_TRUE(GetRValue(disabled) == GetGValue(disabled) &&
                GetGValue(disabled) == GetBValue(disabled))
        << std::hex << disabled;
  } else {
    EXPECT_NE(disabled, behind);
    EXPECT_TRUE(between(GetRValue(disabled), GetRValue(border), GetRValue(behind)) &&
                between(GetGValue(disabled), GetGValue(border), GetGValue(behind)) &&
                between(GetBValue(disabled), GetBValue(border), GetBValue(behind)))
        << std::hex << disabled << " lies not between " << border << " and " << behind;
  }
  memo->SetEnabled(true);
  pump::PumpUntilIdle();
  EXPECT_TRUE(kvtest::ColourAt(Window(), 0, 60, border));
}

INSTANTIATE_TEST_SUITE_P(Memo, EditDisabledLook,
                         ::testing::Values(DisabledCase{"Blended", false},
                                           DisabledCase{"Greyed", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditWnd, PrintingDrawsBorderAndBarsAndTheClientInsideThem) {
  wnd = MakeEdit(10, 10, 200, 120);
  adapter = CreateAdapter<TacEditWnd>(wnd, true, nullptr, manager.get(), "");
  SetWindowTextW(wnd, ManyLines().c_str());
  pump::PumpUntilIdle();
  const TPixels printed = TPixels::FromPrint(wnd);
  EXPECT_TRUE(kvtest::ColourAt(printed, 0, 60, Legend("EDIT", "BORDERSMASK", 0)));
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  // The arrows are the skin's, not overwritten by the client's painting.
  EXPECT_GT(printed.CountOf(Legend("SCROLLBTNTOP", "BORDERSMASK"),
                            {200 - kEdge - bar, kEdge, 200 - kEdge, kEdge + 16}),
            0);
  // The text lands inside the border, moved by the frame width.
  const RECT client{kEdge, kEdge, 200 - kEdge - bar, 120 - kEdge - bar};
  const COLORREF background = printed.At(client.right - 3, client.bottom - 3);
  EXPECT_GT(printed.CountDiffering(background, {kEdge, kEdge, kEdge + 60, kEdge + 30}), 0);
  EXPECT_EQ(0, printed.CountDiffering(background,
                                      {kEdge + 100, kEdge + 40, client.right, client.bottom}));
}

// Told to wait for its parent, the edit paints nothing; once the parent says
// it has painted, the edit asks again and paints its skinned border.
TEST_F(EditWnd, PaintingPutOffForTheParentResumesWhenTheParentHasPainted) {
  MakeMemo();
  const COLORREF border = Legend("EDIT", "BORDERSMASK", 0);
  ASSERT_TRUE(kvtest::ColourAt(Window(), 0, 60, border));
  SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(1, cmdSetSuspended), 0);
  EXPECT_TRUE(adapter->SkinData->Updating);
  SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdParentPainted), 0);
  EXPECT_FALSE(adapter->SkinData->Updating);
  EXPECT_TRUE(kvtest::ColourAt(Window(), 0, 60, border));
}

TEST_F(EditWnd, AListLikeControlHasAnAdapterOnlyWhileTheSkinIsUsable) {
  MakeMemo();
  FreeAdapter(adapter);
  UpdateEditWndAdapter(sd.get(), adapter);
  ASSERT_NE(nullptr, adapter);
  EXPECT_EQ(adapter, AdapterOfWindow(wnd));
  TacEditWnd* same = adapter;
  UpdateEditWndAdapter(sd.get(), adapter);
  EXPECT_EQ(same, adapter);
  manager->SetActive(false);
  UpdateEditWndAdapter(sd.get(), adapter);
  EXPECT_EQ(nullptr, adapter);
  EXPECT_EQ(nullptr, AdapterOfWindow(wnd));
}

}  // namespace
}  // namespace kv
