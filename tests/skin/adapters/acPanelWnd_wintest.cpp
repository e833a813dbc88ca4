// The container adapters: a panel's skinned frame, panels, pictures and
// size grips of a system dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "SkinnedFormFixture.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "classlib/WideText.h"
#include "skin/adapters/acPanelWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "support/MessageLog.h"

namespace kv {
namespace {

// What a dialog draws inside its panel itself.
constexpr COLORREF kOwnDrawing = RGB(0x21, 0x43, 0x65);

LRESULT CALLBACK OwnDrawingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_PAINT) return DefWindowProcW(wnd, msg, wParam, lParam);
  PAINTSTRUCT ps{};
  HDC dc = wParam != 0 ? reinterpret_cast<HDC>(wParam) : BeginPaint(wnd, &ps);
  RECT r{};
  GetClientRect(wnd, &r);
  HBRUSH brush = CreateSolidBrush(kOwnDrawing);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  if (wParam == 0) EndPaint(wnd, &ps);
  return 0;
}

class PanelAdapter : public SkinnedFormFixture {
 protected:
  void SetUp() override {
    SkinnedFormFixture::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnDrawingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KvOwnDrawingPanel";
    RegisterClassW(&wc);
    dialog = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_VISIBLE, 60, 60, 320, 240, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    for (Made& m : made) FreeAdapter(m.adapter);
    made.clear();
    DestroyWindow(dialog);
    SkinnedFormFixture::TearDown();
  }
  HWND Child(const wchar_t* cls, DWORD style, RECT r, DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, dialog, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  TacMainWnd* Adapt(HWND wnd, TacAdapterKind kind, std::string_view section) {
    Made& m = made.emplace_back();
    m.sd = std::make_unique<TsCommonData>(nullptr, true);
    m.sd->SetSkinManager(manager.get());
    m.adapter = AdapterFactoryOf(kind)(wnd, m.sd.get(), manager.get(), section);
    pump::PumpUntilIdle();
    return m.adapter;
  }

  struct Made {
    std::unique_ptr<TsCommonData> sd;
    TacMainWnd* adapter = nullptr;
  };
  std::vector<Made> made;
  HWND dialog = nullptr;
};

TEST_F(PanelAdapter, ASingleBorderShowsTheSkinsFrameUntilTheSkinGoes) {
  auto* panel = Add<TPanel>(20, 20, 160, 100);
  panel->SetBorderStyle(bsSingle);
  panel->SetCaption("");
  ShowSkinned();
  ASSERT_NE(AdapterOf(panel), nullptr);
  Shown(panel);
  kvtest::TPixels img = kvtest::TPixels::FromWindow(panel->Handle());
  for (const POINT p : {POINT{0, 50}, POINT{80, 0}, POINT{159, 50}, POINT{80, 99}}) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_TRUE(SectionAt(img, p.x, p.y).starts_with("PANEL")) << SectionAt(img, p.x, p.y);
  }
  manager->SetActive(false);
  pump::PumpUntilIdle();
  Shown(panel);
  img = kvtest::TPixels::FromWindow(panel->Handle());
  EXPECT_EQ(SectionAt(img, 0, 50), "?") << "the system's border again";
}

// A disabled panel keeps its look: its children take their background from it.
TEST_F(PanelAdapter, ADisabledPanelIsNotFaded) {
  auto* panel = Add<TPanel>(20, 20, 160, 100);
  panel->SetCaption("");
  ShowSkinned();
  ASSERT_NE(AdapterOf(panel), nullptr);
  const COLORREF enabled = Shown(panel).At(80, 50);
  ASSERT_TRUE(SectionAt(Shown(panel), 80, 50).starts_with("PANEL")) << SectionAt(Shown(panel), 80, 50);
  panel->SetEnabled(false);
  EXPECT_EQ(Shown(panel).At(80, 50), enabled);
}

TEST_F(PanelAdapter, APaintedPanelLetsItsWaitingChildrenPaint) {
  auto* panel = Add<TPanel>(20, 20, 200, 120);
  auto* child = Add<TScrollBox>(10, 10, 100, 60, panel);
  child->HandleNeeded();
  int told = 0;
  TWindowProcHook hook;
  hook = child->InstallWindowProcHook(TWndMethod([&](TMessage& m) {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdParentPainted) ++told;
    hook.CallPrevious(m);
  }));
  ShowSkinned();
  ASSERT_NE(AdapterOf(panel), nullptr);
  told = 0;
  Shown(panel);
  EXPECT_GT(told, 0);
}

TEST_F(PanelAdapter, ADialogPanelKeepsTheDialogsDrawingInsideItsSkinnedFrame) {
  HWND wnd = Child(L"KvOwnDrawingPanel", 0, {10, 10, 210, 130});
  auto* adapter = dynamic_cast<TacDlgPanelWnd*>(Adapt(wnd, TacAdapterKind::DlgPanelWnd, "PANEL"));
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->Panel, nullptr);
  const kvtest::TPixels img = Shown(wnd);
  EXPECT_TRUE(SectionAt(img, 2, 60).starts_with("GROUPBOX.")) << SectionAt(img, 2, 60);
  EXPECT_EQ(img.At(100, 60), kOwnDrawing);
  EXPECT_NE(img.At(5, 60), kOwnDrawing) << "6 pixels of frame stay the skin's";
  EXPECT_EQ(img.At(6, 60), kOwnDrawing);
}

TEST_F(PanelAdapter, ADialogPageRepaintedAloneLeavesItsControlsShowing) {
  // A property page: no WS_CLIPCHILDREN, so its paint reaches its controls.
  HWND page = Child(L"#32770", 0, {10, 10, 250, 190});
  HWND control = CreateWindowExW(0, L"KvOwnDrawingPanel", L"", WS_CHILD | WS_VISIBLE, 20, 20, 100,
                                 60, page, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(control, nullptr);
  ASSERT_NE(Adapt(page, TacAdapterKind::TransPanelWnd, "CHECKBOX"), nullptr);
  Shown(page);
  RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
  pump::PumpUntilIdle();
  HDC dc = GetDC(page);
  const COLORREF onControl = GetPixel(dc, 70, 50), beside = GetPixel(dc, 180, 150);
  ReleaseDC(page, dc);
  EXPECT_EQ(kOwnDrawing, onControl) << "the control is still there";
  EXPECT_NE(nullptr, skin().Legend(beside & 0xFFFFFF)) << "the page is skinned";
}

// Dialog children with a border: a page, a static, a button, a check box.
struct BorderedCase {
  const char* name;
  const wchar_t* cls;
  DWORD style;
  TacAdapterKind kind;
};

void PrintTo(const BorderedCase& c, std::ostream* os) { *os << c.name; }

class BorderedDialogChild : public PanelAdapter,
                            public ::testing::WithParamInterface<BorderedCase> {};

TEST_P(BorderedDialogChild, ShowsTheSkinsFrameNotTheSystems) {
  HWND wnd = Child(GetParam().cls, WS_BORDER | GetParam().style, {10, 10, 250, 190},
                   WS_EX_CLIENTEDGE);
  ASSERT_NE(Adapt(wnd, GetParam().kind, "PANEL"), nullptr);
  Shown(wnd);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  pump::PumpUntilIdle();
  const kvtest::TPixels img = kvtest::TPixels::FromWindow(wnd);
  for (const POINT p : {POINT{0, 90}, POINT{120, 0}, POINT{239, 90}, POINT{120, 179},
                        POINT{2, 90}, POINT{120, 2}}) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_NE(SectionAt(img, p.x, p.y), "?") << "a colour of the skin";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BorderedDialogChild,
    ::testing::Values(BorderedCase{"Page", L"#32770", 0, TacAdapterKind::TransPanelWnd},
                      BorderedCase{"Static", L"STATIC", 0, TacAdapterKind::StaticWnd},
                      BorderedCase{"Button", L"BUTTON", BS_PUSHBUTTON, TacAdapterKind::BtnWnd},
                      BorderedCase{"CheckBox", L"BUTTON", BS_AUTOCHECKBOX,
                                   TacAdapterKind::CheckBoxWnd}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelAdapter, AClassLibraryPanelInADialogTakesTheSkinsColour) {
  auto* panel = Create<TPanel>(Application);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 150, 80);
  panel->SetColor(clYellow);
  panel->HandleNeeded();
  auto* adapter =
      dynamic_cast<TacDlgPanelWnd*>(Adapt(panel->Handle(), TacAdapterKind::DlgPanelWnd, "PANEL"));
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->Panel, panel);
  EXPECT_EQ(adapter->SkinData->SkinSection(), "CHECKBOX");
  EXPECT_EQ(panel->Color(), static_cast<TColor>(manager->Skin().GetGlobalInfoColor()));
  FreeAdapter(made.back().adapter);
  panel->Free();
}

TEST_F(PanelAdapter, ADialogGroupBoxPaintsOnlyItsFrame) {
  HWND box = Child(L"BUTTON", BS_GROUPBOX, {10, 10, 210, 130});
  SetWindowTextW(box, L"Channels");
  auto* adapter =
      dynamic_cast<TacGroupBoxWnd*>(Adapt(box, TacAdapterKind::GroupBoxWnd, "GROUPBOX"));
  ASSERT_NE(adapter, nullptr);
  EXPECT_TRUE(SectionAt(Shown(box), 100, 60).starts_with("GROUPBOX.")) << "a form's box: whole";
  adapter->DlgMode = true;
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const kvtest::TPixels img = Shown(box);
  EXPECT_TRUE(SectionAt(img, 1, 60).starts_with("GROUPBOX.")) << SectionAt(img, 1, 60);
  EXPECT_TRUE(SectionAt(img, 100, 118).starts_with("GROUPBOX.")) << SectionAt(img, 100, 118);
  EXPECT_FALSE(SectionAt(img, 100, 60).starts_with("GROUPBOX."))
      << "the inside is left to the dialog: " << SectionAt(img, 100, 60);
}

TEST_F(PanelAdapter, AGroupBoxWithoutCaptionDrawsNoCaptionGap) {
  for (const wchar_t* caption : {L"", L"Channels"}) {
    HWND box = Child(L"BUTTON", BS_GROUPBOX, {10, 10, 210, 130});
    SetWindowTextW(box, caption);
    auto* adapter =
        dynamic_cast<TacGroupBoxWnd*>(Adapt(box, TacAdapterKind::GroupBoxWnd, "GROUPBOX"));
    ASSERT_NE(adapter, nullptr);
    const int frameTop = static_cast<int>(Command(box, cmdGetCaptionHeight)) / 2;
    const kvtest::TPixels img = Shown(box);
    // Where a caption would stand, on the frame's top edge.
    EXPECT_EQ(SectionAt(img, 10, frameTop).starts_with("GROUPBOX."), *caption == 0)
        << "caption \"" << Narrow(caption) << "\": " << SectionAt(img, 10, frameTop);
  }
}

TEST_F(PanelAdapter, ASizeGripShowsTheSkinsGripAndSizesFromAnywhere) {
  HWND grip = Child(L"SCROLLBAR", SBS_SIZEGRIP, {280, 200, 300, 220});
  ASSERT_NE(Adapt(grip, TacAdapterKind::SizerWnd, "CHECKBOX"), nullptr);
  const kvtest::TPixels img = Shown(grip);
  int gripPixels = 0;
  for (int state = 0; state < kvtest::TTestSkin::kFrames; ++state)
    gripPixels += img.CountOf(Legend("GLOBALINFO", "GRIPIMAGE", state), img.Whole());
  EXPECT_GT(gripPixels, 0);
  EXPECT_FALSE(SectionAt(img, 0, 0).starts_with("CHECKBOX")) << "the dialog's background alone";
  RECT r{};
  GetWindowRect(grip, &r);
  EXPECT_EQ(SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(r.left + 1, r.top + 1)), HTBOTTOMRIGHT);
}

// Over a parent whose picture changes from row to row (a gradient, as in
// skins from elsewhere), the strip above a group box's frame is the part of
// the picture under the box.
class GradientParent : public SkinnedFormFixture {
 protected:
  kvtest::TTestSkinOptions SkinOptions() const override {
    kvtest::TTestSkinOptions o;
    o.Gradient = {"PANEL"};
    return o;
  }
};

TEST_F(GradientParent, TheStripAboveAGroupBoxShowsThePictureUnderIt) {
  auto* panel = Add<TPanel>(10, 10, 300, 340);
  auto* box = Add<TGroupBox>(40, 200, 200, 100, panel);
  ShowSkinned();
  ASSERT_NE(AdapterOf(box), nullptr);
  const kvtest::TPixels under = Shown(panel);
  const kvtest::TPixels strip = Shown(box);
  // Left of where a caption would stand, on the box's first rows.
  for (int y : {0, 1})
    EXPECT_EQ(strip.At(1, y) & 0xFFFFFF, under.At(38, 200 + y) & 0xFFFFFF) << "row " << y;
}

// A class-library panel and group box: what they do with the toolkit's
// paint commands, and their children told when the container has painted.
class ContainerCommands : public SkinnedFormFixture {};

TEST_F(ContainerCommands, APanelRepaintsOnItsParentsPaintAndKeepsItsCacheOnAFadeStep) {
  auto* panel = Add<TPanel>(10, 10, 200, 120);
  ShowSkinned();
  TacMainWnd* adapter = AdapterOf(panel);
  ASSERT_NE(adapter, nullptr);
  ValidateRect(panel->Handle(), nullptr);
  ASSERT_FALSE(PaintingSuspended(adapter->SkinData));
  Command(panel->Handle(), cmdParentPainted);
  RECT dirty{};
  EXPECT_TRUE(GetUpdateRect(panel->Handle(), &dirty, FALSE)) << "repainted though it did not wait";
  pump::PumpUntilIdle();
  adapter->SkinData->BGChanged = true;
  Command(panel->Handle(), cmdFadeStep);
  EXPECT_TRUE(adapter->SkinData->BGChanged) << "the cache is left for the panel's own paint";
}

TEST_F(ContainerCommands, AGroupBoxTellsItsChildrenItHasPainted) {
  auto* box = Add<TGroupBox>(10, 10, 220, 140);
  box->SetCaption("Relay");
  auto* edit = Add<TEdit>(20, 40, 120, 24, box);
  ShowSkinned();
  kvtest::TMessageRecorder child;
  child.AttachWindow(edit->Handle());
  Shown(box->Handle());
  EXPECT_GT(child.CountCommand(cmdParentPainted), 0);
  child.DetachAll();
}

TEST_F(ContainerCommands, APanelsNewCaptionIsSetWithRedrawingOff) {
  auto* panel = Add<TPanel>(10, 10, 200, 120);
  ShowSkinned();
  ASSERT_NE(AdapterOf(panel), nullptr);
  kvtest::TMessageRecorder entering;
  entering.AttachControl(panel);
  panel->SetCaption("Relays");
  std::vector<std::string> seen;
  for (const kvtest::TRecordedMsg& m : entering.Messages)
    if (m.message == WM_SETTEXT || m.message == WM_SETREDRAW)
      seen.push_back(m.message == WM_SETTEXT ? "text" : "redraw " + std::to_string(m.wParam));
  EXPECT_EQ((std::vector<std::string>{"text", "redraw 0", "redraw 1"}), seen);
  entering.DetachAll();
}

// Controls on a form whose painting is held (a skin change freezes it):
// none paints until the form has painted and says so.
class FrozenForm : public SkinnedFormFixture {
 protected:
  // The form's texture shows through its children, so they wait for it. A
  // panel whose own background is plain offers it to its children and does
  // not wait; a textured one, as here, makes its own picture and does.
  kvtest::TTestSkinOptions SkinOptions() const override {
    kvtest::TTestSkinOptions o;
    o.Textured = {"FORM", "PANEL"};
    return o;
  }
  static constexpr COLORREF kMark = RGB(0x5A, 0xA5, 0x5A);
  static void Mark(HWND wnd) {
    HDC dc = GetDC(wnd);
    RECT r{};
    GetClientRect(wnd, &r);
    HBRUSH brush = CreateSolidBrush(kMark);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(wnd, dc);
  }
  void Freeze(bool frozen) {
    form->Perform(SM_ALPHACMD, CommandWParam(cmdSetSuspended, frozen ? 1 : 0), 0);
  }
};

TEST_F(FrozenForm, ButtonsCheckBoxesPanelsAndGroupBoxesWaitForTheForm) {
  std::vector<std::pair<const char*, TWinControl*>> controls{
      {"button", Add<TButton>(10, 10, 100, 30)},
      {"check box", Add<TCheckBox>(10, 50, 100, 30)},
      {"panel", Add<TPanel>(130, 10, 120, 80)},
      {"group box", Add<TGroupBox>(130, 100, 120, 80)}};
  ShowSkinned();
  Freeze(true);
  ASSERT_EQ(1, Command(form->Handle(), cmdNeedsRepaint));
  for (const auto& [name, c] : controls) {
    SCOPED_TRACE(name);
    ASSERT_NE(AdapterOf(c), nullptr);
    Mark(c->Handle());
    const kvtest::TPixels held = Shown(c);
    EXPECT_TRUE(kvtest::ColourAt(held, held.Width() / 2, held.Height() / 2, kMark))
        << "painted on a frozen form";
  }
  Freeze(false);
  for (const auto& [name, c] : controls) {
    SCOPED_TRACE(name);
    Command(c->Handle(), cmdParentPainted);
    pump::PumpUntilIdle();
    const kvtest::TPixels painted = kvtest::TPixels::FromClient(c->Handle());
    EXPECT_FALSE(kvtest::ColourAt(painted, painted.Width() / 2, painted.Height() / 2, kMark))
        << "not painted when the form has";
  }
}

}  // namespace
}  // namespace kv
