// The form provider under Wine with the synthetic skin: how it hooks and
// leaves a form, the commands it answers, the region and the system menu it
// keeps, what the form's previous procedure sees of activation, caption and
// icon changes, and the animated show. Window suites run with composition
// on and off.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "support/Counters.h"
#include "support/MessageBoxHook.h"
#include "support/MessageLog.h"
#include "support/Pixels.h"
#include "support/PlatformSeams.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

constexpr UINT kProbe = WM_APP + 7;

Owned<TsSkinManager> SkinnedManager(const kvtest::TTestSkinOptions& options = {}) {
  Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
  m->SetSkinDirectory("c:\\NoSkins");
  TsStoredSkin& skin = m->InternalSkins.Add();
  skin.Name = "T";
  skin.Data = kvtest::TTestSkin(options).Packed();
  m->SetSkinName("T");
  return m;
}

bool IsHooked(TCustomForm* form) {
  return std::count(HookedForms.begin(), HookedForms.end(), form) == 1;
}

LRESULT Command(TControl* control, unsigned code, LPARAM lParam = 0) {
  return control->Perform(SM_ALPHACMD, CommandWParam(code), lParam);
}

// A hook that sits below or above the provider and notes what reaches it,
// with the state the window is in at that moment.
class TSpy : public TComponent {
 public:
  TSpy(TComponent* owner, TControl* target) : TComponent(owner), target_(target) {
    hook_ = target->InstallWindowProcHook(TWndMethod(this, &TSpy::Proc));
  }
  struct TSeen {
    UINT msg;
    bool visible;  // WS_VISIBLE in the style
    bool covered;  // a cover form stood over the title
  };
  std::vector<TSeen> seen;
  TsSkinProvider* provider = nullptr;
  int Count(UINT msg) const {
    return static_cast<int>(
        std::count_if(seen.begin(), seen.end(), [msg](const TSeen& s) { return s.msg == msg; }));
  }

 private:
  void Proc(TMessage& m) {
    auto* win = static_cast<TWinControl*>(target_);
    if (win->HandleAllocated())
      seen.push_back({m.Msg, (GetWindowLongW(win->Handle(), GWL_STYLE) & WS_VISIBLE) != 0,
                      provider != nullptr && provider->CoverForm() != nullptr});
    hook_.CallPrevious(m);
  }
  TControl* target_;
  TWindowProcHook hook_;
};

// --- life cycle, no skin needed ---------------------------------------------------------

struct ProviderLifeCycle : ::testing::Test {
  void SetUp() override { form = Create<TForm>(nullptr); }
  void TearDown() override {
    if (form != nullptr) form->Free();
  }
  TForm* form = nullptr;
};

TEST_F(ProviderLifeCycle, StartsWithItsDefaultsAndFormSkinData) {
  auto* p = Create<TsSkinProvider>(form);
  EXPECT_TRUE(p->AllowExtBorders());
  EXPECT_EQ(p->CaptionAlignment(), taLeftJustify);
  EXPECT_TRUE(p->DrawNonClientArea());
  EXPECT_EQ(p->GripMode, gmNone);
  EXPECT_FALSE(p->MakeSkinMenu);
  EXPECT_EQ(p->MenuLineSkin(), "");
  EXPECT_EQ(p->ResizeMode, rmStandard);
  EXPECT_FALSE(p->ScreenSnap);
  EXPECT_EQ(p->SnapBuffer, 10);
  EXPECT_TRUE(p->ShowAppIcon());
  EXPECT_TRUE(p->TitleButtons().Items.empty());
  EXPECT_EQ(p->TitleSkin(), "");
  EXPECT_TRUE(p->UseGlobalColor());
  EXPECT_EQ(p->AddedTitle.Font().Height(), -11);
  EXPECT_EQ(p->SkinData()->SkinSection(), "FORM");
  EXPECT_EQ(p->SkinData()->ControlType, 224);
  EXPECT_EQ(p->Form(), form);
  EXPECT_TRUE(IsHooked(form));
}

TEST_F(ProviderLifeCycle, FreedBeforeItsFormGivesTheProcedureBackAndLeavesTheList) {
  const kvtest::TObjectBaseline baseline;
  auto* p = Create<TsSkinProvider>(form);
  form->HandleNeeded();
  EXPECT_EQ(Command(form, cmdIsSkinned), 1);
  p->Free();
  EXPECT_FALSE(IsHooked(form));
  EXPECT_TRUE(form->WindowProc == TWndMethod(static_cast<TControl*>(form), &TControl::WndProc));
  EXPECT_EQ(SendMessageW(form->Handle(), SM_ALPHACMD, CommandWParam(cmdIsSkinned), 0), 0);
  form->Free();
  form = nullptr;
  EXPECT_TRUE(baseline.Unchanged());
}

// A form with no manager of its own and no default one takes a new-skin
// command naming no manager as not its own: nothing is answered or done.
TEST_F(ProviderLifeCycle, WithoutAManagerANewSkinForNoneIsNotItsOwn) {
  ASSERT_EQ(DefaultManager, nullptr);
  Create<TsSkinProvider>(form);
  form->HandleNeeded();
  EXPECT_EQ(SendMessageW(form->Handle(), SM_ALPHACMD, CommandWParam(cmdSkinLoaded), 0), 0);
  EXPECT_EQ(Command(form, cmdIsSkinned), 1);
}

TEST_F(ProviderLifeCycle, TheNewestOfTwoProvidersOnAFormIsTheOneLeft) {
  Create<TsSkinProvider>(form);
  auto* second = Create<TsSkinProvider>(form);
  int providers = 0;
  for (int i = 0; i < form->ComponentCount(); ++i)
    providers += dynamic_cast<TsSkinProvider*>(form->Components(i)) != nullptr;
  EXPECT_EQ(providers, 1);
  EXPECT_EQ(Command(form, cmdGetProvider),
            reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(second)));
  EXPECT_TRUE(IsHooked(form));
}

// A hooker that came after the provider (an adapter on the form) may stay
// when the provider goes: the chain passes through it to the form, and the
// freed provider's procedure is never reached again.
TEST_F(ProviderLifeCycle, ALaterHookerOutlivesTheProviderAndTheChainStaysWhole) {
  const kvtest::TObjectBaseline baseline;
  form->HandleNeeded();
  auto* p = Create<TsSkinProvider>(form);
  auto* later = Create<TSpy>(nullptr, form);
  p->Free();
  later->seen.clear();
  EXPECT_EQ(Command(form, cmdIsSkinned), 0) << "the freed provider still answered";
  ASSERT_EQ(later->seen.size(), 1u);
  later->Free();
  EXPECT_TRUE(form->WindowProc == TWndMethod(static_cast<TControl*>(form), &TControl::WndProc));
  form->Free();
  form = nullptr;
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(ProviderLifeCycle, OnAFrameItWarnsAndServesNoForm) {
  auto* frame = Create<TFrame>(form);
  kv::test::MessageBoxHook boxes;
  auto* p = Create<TsSkinProvider>(frame);
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_NE(boxes.Texts()[0].find("TsSkinProvider component must be used with forms only!"),
            std::string::npos);
  EXPECT_EQ(p->Form(), nullptr);
  EXPECT_FALSE(IsHooked(form));
}

// --- with the synthetic skin, composition on and off -------------------------------------

class SkinnedForm : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    savedServices_ = FormServices();
    InstallFormServices();
    const bool on = GetParam();
    platform_.Calls().IsCompositionEnabled = on ? +[] { return true; } : +[] { return false; };
    platform_.Calls().SystemMajorVersion = [] { return DWORD{10}; };
    manager = SkinnedManager();
    manager->AnimEffects.FormShow.Active = false;
    manager->AnimEffects.DialogShow.Active = false;
    form = Create<TForm>(nullptr);
    form->SetBounds(40, 40, 300, 200);
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    manager.reset();
    FormServices() = savedServices_;
  }
  TsSkinProvider* Provide() { return provider = Create<TsSkinProvider>(form); }
  HWND Wnd() { return form->Handle(); }
  LONG Style() { return GetWindowLongW(Wnd(), GWL_STYLE); }
  bool HasRegion() {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(Wnd(), r) != ERROR;
    DeleteObject(r);
    return has;
  }
  // A point of the window (window coordinates) inside its region.
  bool InRegion(int x, int y) {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    const bool in = GetWindowRgn(Wnd(), r) != ERROR && PtInRegion(r, x, y);
    DeleteObject(r);
    return in;
  }
  TColor GlobalColour() const { return static_cast<TColor>(manager->Skin().GetGlobalInfoColor()); }

  kvtest::TPlatformScope platform_;
  Owned<TsSkinManager> manager;
  TForm* form = nullptr;
  TsSkinProvider* provider = nullptr;

 private:
  TacFormServices savedServices_{};
};

TEST_P(SkinnedForm, SkinningTakesTheSystemMenuFirstThenTheStyleCutsTheRegionAndColours) {
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  EXPECT_EQ(Style() & WS_SYSMENU, 0) << "the frame's own buttons replace the system's";
  EXPECT_TRUE(provider->SysMenuStyleRemoved());
  EXPECT_NE(provider->SystemMenu(), nullptr) << "the menu is gone with the style";
  EXPECT_EQ(GetSystemMenu(Wnd(), FALSE), provider->SystemMenu());
  ASSERT_TRUE(HasRegion());
  EXPECT_FALSE(InRegion(0, 0)) << "the border mask's transparent corner is cut";
  EXPECT_TRUE(InRegion(150, 100));
  EXPECT_EQ(form->Color(), GlobalColour());
}

TEST_P(SkinnedForm, ARemovedSkinGivesEverythingBackAndANewOneTakesItAgain) {
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    manager->SetActive(false);
    EXPECT_NE(Style() & WS_SYSMENU, 0);
    EXPECT_FALSE(HasRegion());
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_EQ(Command(form, cmdIsSkinned), 1) << "still hooked";
    manager->SetActive(true);
    kvtest::PumpUntilIdle();
    EXPECT_EQ(Style() & WS_SYSMENU, 0);
    EXPECT_TRUE(HasRegion());
    EXPECT_FALSE(InRegion(0, 0));
    EXPECT_EQ(form->Color(), GlobalColour());
  }
}

TEST_P(SkinnedForm, AManagerFreedBeforeTheFormTakesItsSkinAlong) {
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(HasRegion());
  manager.reset();
  EXPECT_NE(Style() & WS_SYSMENU, 0);
  EXPECT_FALSE(HasRegion());
  EXPECT_EQ(form->Color(), clBtnFace);
  SendMessageW(Wnd(), WM_NCACTIVATE, 1, 0);
  SendMessageW(Wnd(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(Command(form, cmdIsSkinned), 1);
}

// Records, at the first frame painting of the window, whether its region
// was in place already, and counts the frame paintings.
struct TFramePaints {
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<TFramePaints*>(data);
    if (msg == WM_NCPAINT && IsWindowVisible(wnd)) {
      if (self->count++ == 0) {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        self->regionAtFirst = GetWindowRgn(wnd, r) != ERROR;
        DeleteObject(r);
      }
    }
    return DefSubclassProc(wnd, msg, wp, lp);
  }
  int count = 0;
  bool regionAtFirst = false;
};

TEST_P(SkinnedForm, TheRegionIsSetBeforeTheFirstVisibleFrameAndFramePaintsStayFew) {
  Provide();
  form->HandleNeeded();
  TFramePaints paints;
  SetWindowSubclass(Wnd(), TFramePaints::Proc, 1, reinterpret_cast<DWORD_PTR>(&paints));
  form->Show();
  kvtest::PumpUntilIdle();
  RemoveWindowSubclass(Wnd(), TFramePaints::Proc, 1);
  EXPECT_GE(paints.count, 1);
  EXPECT_TRUE(paints.regionAtFirst);
  EXPECT_LE(paints.count, 4) << "the region's own repositioning must not paint again and again";
}

// A see-through label straight on the skinned form: the form puts its
// background back under it before the label paints again, so what the screen
// held there (red here) never shows round its text.
TEST_P(SkinnedForm, ASeeThroughLabelRepaintsOverTheFormsBackgroundNotOverOldPixels) {
  Provide();
  auto* label = Create<TLabel>(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetTransparent(true);
  label->SetBounds(20, 20, 120, 24);
  label->SetCaption("WWWW");
  form->Show();
  kvtest::PumpUntilIdle();
  const RECT r{20, 20, 140, 44};
  constexpr COLORREF kStale = RGB(255, 0, 0);
  HDC dc = GetDC(Wnd());
  HBRUSH stale = CreateSolidBrush(kStale);
  FillRect(dc, &r, stale);
  DeleteObject(stale);
  ReleaseDC(Wnd(), dc);
  // What the window shows now, without repainting it first.
  const auto screen = [&] {
    HDC at = GetDC(Wnd());
    kvtest::TPixels img = kvtest::TPixels::FromDC(at, {0, 0, 300, 200});
    ReleaseDC(Wnd(), at);
    return img;
  };
  ASSERT_GT(screen().CountOf(kStale, r), 0);
  label->Invalidate();
  UpdateWindow(Wnd());
  const kvtest::TPixels shown = screen();
  EXPECT_TRUE(kvtest::NoColourInside(shown, kStale, r));
  EXPECT_GT(shown.CountDiffering(shown.At(r.right - 2, r.bottom - 2), r), 10) << "the text";
}

// A provider whose frame painting only counts.
class TCountingProvider : public TsSkinProvider {
 public:
  using TsSkinProvider::TsSkinProvider;
  int framePaints = 0;

 protected:
  void PaintNonClientArea() override { ++framePaints; }
};

// Once the region is in place a frame painting paints: the region is not
// built again for every painting, which would skip the frame each time.
TEST_P(SkinnedForm, AfterTheRegionIsSetEachFramePaintingPaints) {
  auto* counting = Create<TCountingProvider>(form);
  form->Show();
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(HasRegion());
  for (int i = 1; i <= 3; ++i) {
    const int before = counting->framePaints;
    SendMessageW(Wnd(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(counting->framePaints, before + 1) << "painting " << i;
  }
  EXPECT_FALSE(counting->RgnChanged);
}

TEST_P(SkinnedForm, ActivationCaptionAndIconReachThePreviousProcedureAsTheCompositionNeeds) {
  form->HandleNeeded();
  auto* below = Create<TSpy>(nullptr, form);
  Provide();
  below->provider = provider;
  form->Show();
  kvtest::PumpUntilIdle();
  const bool composition = GetParam();
  struct Step {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  static const wchar_t caption[] = L"New caption";
  for (const Step& step :
       {Step{WM_NCACTIVATE, 0, 0}, Step{WM_NCACTIVATE, 1, 0},
        Step{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption)}, Step{WM_SETICON, ICON_SMALL, 0}}) {
    SCOPED_TRACE(kvtest::MessageName(step.msg));
    below->seen.clear();
    SendMessageW(Wnd(), step.msg, step.wp, step.lp);
    ASSERT_EQ(below->Count(step.msg), 1) << "passed on once";
    const auto seen = *std::find_if(below->seen.begin(), below->seen.end(),
                                    [&](const TSpy::TSeen& s) { return s.msg == step.msg; });
    if (step.msg == WM_NCACTIVATE) {
      EXPECT_EQ(seen.visible, !composition) << "hidden from the system's caption painting";
      EXPECT_EQ(seen.covered, !composition) << "covered while the system paints";
    } else if (step.msg == WM_SETTEXT) {
      EXPECT_TRUE(seen.visible);
      EXPECT_EQ(seen.covered, !composition);
    } else {
      EXPECT_TRUE(seen.visible);
      EXPECT_FALSE(seen.covered);
    }
    EXPECT_NE(Style() & WS_VISIBLE, 0) << "visible again afterwards";
    EXPECT_EQ(provider->CoverForm(), nullptr);
  }
  below->Free();
}

TEST_P(SkinnedForm, AnimatedShowEndsVisibleOpaqueAndUncovered) {
  manager->AnimEffects.FormShow.Active = true;
  Provide();
  form->HandleNeeded();
  kvtest::TLayeredRecorder layered;
  form->Show();
  kvtest::PumpUntilIdle();
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_EQ(GetWindowLongW(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_FALSE(provider->ShowAnimating());
  EXPECT_FALSE(provider->Suspended());
  EXPECT_EQ(provider->CoverForm(), nullptr);
  EXPECT_EQ(SnapshotCover, nullptr);
  const bool madeTransparent =
      std::any_of(layered.Updates.begin(), layered.Updates.end(),
                  [&](const kvtest::TLayeredUpdate& u) { return u.wnd == Wnd() && u.alpha == 10; });
  EXPECT_TRUE(madeTransparent) << "the form was hidden while it was set up";
  EXPECT_TRUE(HasRegion());
}

// Commands answered in both states; the skinned ones with a skin.
TEST_P(SkinnedForm, CommandsAreAnsweredInEitherState) {
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  const LRESULT self = reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(provider));
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "unskinned");
    manager->SetActive(skinned);
    EXPECT_EQ(Command(form, cmdIsSkinned), 1);
    EXPECT_EQ(Command(form, cmdGetProvider), self);
    EXPECT_EQ(Command(form, cmdGetApplication), reinterpret_cast<LRESULT>(Application));
    EXPECT_EQ(Command(form, cmdGetFrameSizes),
              MAKELONG(provider->ClientLeftOffset(), provider->ClientTopOffset()));
    EXPECT_EQ(Command(form, cmdChildBgFlags), provider->SkinData()->ChildBgFlags);
  }
  manager->SetActive(true);
  EXPECT_EQ(Command(form, cmdGetBgColor), static_cast<LRESULT>(provider->FormColor()));
  EXPECT_EQ(Command(form, cmdNeedsRepaint), 0);
  EXPECT_EQ(Command(form, cmdIsBgNonUniform), 0) << "a plain section";
  for (unsigned later : {cmdRepaintNow, cmdAdaptControl, cmdProviderPrivate37})
    EXPECT_EQ(Command(form, later), 0) << later;
  Command(form, cmdSetSuspended, 0);
  form->Perform(SM_ALPHACMD, CommandWParam(cmdSetSuspended, 1), 0);
  EXPECT_TRUE(provider->SkinData()->Updating);
  form->Perform(SM_ALPHACMD, CommandWParam(cmdSetSuspended, 0), 0);
  EXPECT_FALSE(provider->SkinData()->Updating);
  Command(form, cmdBeforeScroll);
  EXPECT_EQ(provider->RedrawLockCount(), 1);
  Command(form, cmdAfterScroll);
  EXPECT_EQ(provider->RedrawLockCount(), 0);
  form->Perform(WM_SETREDRAW, 1, 0);
  EXPECT_EQ(provider->RedrawLockCount(), 0) << "an unmatched redraw-on stays at 0";
  EXPECT_NE(Style() & WS_VISIBLE, 0);
}

// The form's window existed before any skin: the first new skin prepares
// the form (system menu taken, style off) and the new-skin handling goes on
// to the region and the colour.
TEST_P(SkinnedForm, AFirstSkinArrivingAfterTheWindowPreparesTheForm) {
  manager->SetActive(false);
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  ASSERT_NE(Style() & WS_SYSMENU, 0);
  ASSERT_EQ(provider->SystemMenu(), nullptr);
  manager->SetActive(true);
  kvtest::PumpUntilIdle();
  EXPECT_NE(provider->SystemMenu(), nullptr);
  EXPECT_EQ(Style() & WS_SYSMENU, 0);
  EXPECT_TRUE(HasRegion());
  EXPECT_EQ(form->Color(), GlobalColour());
}

TEST_P(SkinnedForm, SkinnedFormsShownAndFreedLeaveNothingBehind) {
  form->Free();
  form = nullptr;
  const kvtest::TObjectBaseline baseline;
  const size_t hooked = HookedForms.size();
  for (int i = 0; i < 5; ++i) {
    TForm* f = Create<TForm>(nullptr);
    Create<TsSkinProvider>(f);
    f->Show();
    SendMessageW(f->Handle(), WM_NCACTIVATE, 0, 0);
    SendMessageW(f->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
    kvtest::PumpUntilIdle();
    f->Free();
  }
  EXPECT_EQ(HookedForms.size(), hooked);
  EXPECT_TRUE(baseline.Unchanged());
}

// The client shows the form section's colour on the screen and in a print,
// where it lies at the client's offset in the frame.
TEST_P(SkinnedForm, TheClientIsPaintedInTheSectionColourOnScreenAndInAPrint) {
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  const COLORREF section = kvtest::TTestSkin().Colour("FORM", "COLOR");
  ASSERT_EQ(ColorToRGB(provider->FormColor()), section);
  const kvtest::TPixels client = kvtest::TPixels::FromClient(Wnd());
  EXPECT_TRUE(kvtest::ColourAt(client, 5, 5, section));
  EXPECT_TRUE(kvtest::ColourAt(client, client.Width() - 5, client.Height() - 5, section));
  const kvtest::TPixels print = kvtest::TPixels::FromPrint(Wnd(), PRF_CLIENT | PRF_NONCLIENT);
  // Inside the border mask's margins, which may reach into the client.
  const int x = provider->ClientLeftOffset() + kvtest::TTestSkin::kMargin;
  const int y = provider->ClientTopOffset() + kvtest::TTestSkin::kMargin;
  EXPECT_TRUE(kvtest::ColourAt(print, x, y, section));
  EXPECT_TRUE(kvtest::ColourAt(print, x + client.Width() - 2 * kvtest::TTestSkin::kMargin,
                               y + client.Height() - 2 * kvtest::TTestSkin::kMargin, section));
}

TEST_P(SkinnedForm, WithoutItsOwnFrameTheFormGetsItsSystemMenuBackAndNoRegion) {
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  provider->SetDrawNonClientArea(false);
  EXPECT_NE(Style() & WS_SYSMENU, 0);
  EXPECT_FALSE(HasRegion());
  provider->SetDrawNonClientArea(true);
  kvtest::PumpUntilIdle();
  EXPECT_EQ(Style() & WS_SYSMENU, 0);
  EXPECT_TRUE(HasRegion());
}

// Frame settings repaint the frame of a visible form only.
TEST_P(SkinnedForm, FrameSettingsRepaintOnlyAVisibleFrame) {
  Provide();
  form->HandleNeeded();
  auto* spy = Create<TSpy>(form, form);
  const std::vector<void (*)(TsSkinProvider*, bool)> changes = {
      [](TsSkinProvider* p, bool b) { p->SetCaptionAlignment(b ? taCenter : taRightJustify); },
      [](TsSkinProvider* p, bool b) { p->SetShowAppIcon(b); },
      [](TsSkinProvider* p, bool b) { p->SetTitleSkin(b ? "FORMTITLE" : "CAPTION"); },
  };
  for (bool visible : {false, true}) {
    form->SetVisible(visible);
    kvtest::PumpUntilIdle();
    for (size_t i = 0; i < changes.size(); ++i) {
      spy->seen.clear();
      changes[i](provider, !visible);
      EXPECT_EQ(spy->Count(WM_NCPAINT), visible ? 1 : 0) << "change " << i;
    }
  }
}

// A title skin set at run time cuts the region at once: the old title's
// transparent corners are shown again and the new one's are cut out. Only
// the title band has corners here.
TEST_P(SkinnedForm, ATitleSkinSetAtRunTimeCutsTheRegionAtOnce) {
  manager.reset();
  manager =
      SkinnedManager({.Keys = {{"FORM", "BORDERSMASK", ""}, {"PLAINTITLE", "COLOR", "8421504"}}});
  manager->AnimEffects.FormShow.Active = false;
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  const int right = form->Width() - 1;
  ASSERT_FALSE(InRegion(0, 0) || InRegion(right, 0)) << "the title's corners are cut";
  for (const auto& [title, cornersShown] : {std::pair{"PLAINTITLE", true}, std::pair{"", false}}) {
    SCOPED_TRACE(title);
    provider->SetTitleSkin(title);
    kvtest::PumpUntilIdle();
    EXPECT_EQ(InRegion(0, 0), cornersShown);
    EXPECT_EQ(InRegion(right, 0), cornersShown);
    EXPECT_TRUE(InRegion(right / 2, 0));
  }
}

TEST_P(SkinnedForm, LoadingGivesSkinnedTitleButtonsTheSkinsMask) {
  Provide();
  TsTitleButtons buttons;
  buttons.Items.resize(2);
  buttons.Items[1].UseSkinData = false;
  provider->SetTitleButtons(buttons);
  provider->BeginLoading();
  provider->EndLoading();
  const int mask = manager->Skin().MaskIndexByNames("GLOBALINFO", "TITLEBUTTON");
  ASSERT_GE(mask, 0);
  EXPECT_EQ(provider->TitleButtons().Items[0].MaskIndex, mask);
  EXPECT_EQ(provider->TitleButtons().Items[1].MaskIndex, -1);
}

TEST_P(SkinnedForm, GlobalColourOffGivesTheFormItsPlainColour) {
  Provide();
  form->Show();
  ASSERT_EQ(form->Color(), GlobalColour());
  provider->SetUseGlobalColor(false);
  EXPECT_EQ(form->Color(), clBtnFace);
}

TEST_P(SkinnedForm, ScreenSnapPutsANearEdgeOnTheWorkArea) {
  Provide();
  provider->ScreenSnap = true;
  form->Show();
  const TRect work = TScreen::MonitorWorkArea(Wnd());
  SetWindowPos(Wnd(), nullptr, work.Left + 4, work.Top + 60, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r{};
  GetWindowRect(Wnd(), &r);
  EXPECT_EQ(r.left, work.Left);
  EXPECT_EQ(r.top, work.Top + 60);
}

// Each step of a sizing drag brings the extended-border window up to date:
// a frame that went stale (the system's settings changed) is painted into
// it again at the next step.
TEST_P(SkinnedForm, ASizingStepRepaintsAStaleBorderWindow) {
  Provide();
  form->Show();
  manager->SetExtendedBorders(true);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(provider->HasBorderForm());
  HWND border = provider->BorderForm()->Handle();
  kvtest::TLayeredRecorder pushes;
  SendMessageW(Wnd(), WM_SETTINGCHANGE, 0, 0);
  RECT sizing{};
  GetWindowRect(Wnd(), &sizing);
  SendMessageW(Wnd(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&sizing));
  const auto toBorder = std::count_if(pushes.Updates.begin(), pushes.Updates.end(),
                                      [&](const auto& u) { return u.wnd == border; });
  EXPECT_EQ(toBorder, 1);
}

// A new caption leaves the skinned frame on the screen: title and menu
// line show what the frame cache holds, not the system's own drawing.
TEST_P(SkinnedForm, ANewCaptionLeavesTitleAndMenuLineSkinned) {
  auto* menu = Create<TMainMenu>(form);
  for (const char* caption : {"&File", "&Edit"}) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  form->SetCaption("Renamed");
  kvtest::PumpUntilIdle();
  RECT w{};
  GetWindowRect(Wnd(), &w);
  HDC dc = GetWindowDC(Wnd());
  const kvtest::TPixels shown =
      kvtest::TPixels::FromDC(dc, {0, 0, w.right - w.left, w.bottom - w.top});
  ReleaseDC(Wnd(), dc);
  const kvtest::TPixels cache = kvtest::TPixels::FromBitmap(*provider->SkinData()->CacheBmp);
  RECT bar{};
  GetMenuItemRect(Wnd(), GetMenu(Wnd()), 1, &bar);
  const int menuY = (bar.top + bar.bottom) / 2 - w.top;
  const int titleY = provider->Geometry().TitleBandBottom() / 2;
  for (int x = 2; x < shown.Width() - 2; x += 5) {
    EXPECT_EQ(shown.At(x, titleY), cache.At(x, titleY)) << "title at " << x;
    EXPECT_EQ(shown.At(x, menuY), cache.At(x, menuY)) << "menu line at " << x;
  }
}

// Below the provider: where the cover over the frame lies while the
// system handles the watched message (sets the caption, by default).
class TCoverSpy : public TComponent {
 public:
  TCoverSpy(TComponent* owner, TControl* target, UINT watched = WM_SETTEXT)
      : TComponent(owner), watched_(watched) {
    hook_ = target->InstallWindowProcHook(TWndMethod(this, &TCoverSpy::Proc));
  }
  RECT cover{};
  bool seen = false;
  HWND ignored = nullptr;  // another window of the toolkit's own

 private:
  void Proc(TMessage& m) {
    if (m.Msg == watched_)
      EnumThreadWindows(GetCurrentThreadId(), &TCoverSpy::Visit, reinterpret_cast<LPARAM>(this));
    hook_.CallPrevious(m);
  }
  static BOOL CALLBACK Visit(HWND wnd, LPARAM self) {
    auto* spy = reinterpret_cast<TCoverSpy*>(self);
    const TWinControl* control = TWinControl::FromHandle(wnd);
    if (IsWindowVisible(wnd) && control != nullptr && control->Tag() == -98 &&
        wnd != spy->ignored) {
      GetWindowRect(wnd, &spy->cover);
      spy->seen = true;
    }
    return TRUE;
  }
  UINT watched_;
  TWindowProcHook hook_;
};

// Without composition a cover hides the title and the menu line, both of
// which the system draws anew on activation and with a new caption, until
// they are skinned again; with a border window it lies over the frame that
// window shows, from its top down to the client.
TEST_P(SkinnedForm, TheSystemsCaptionPaintingIsCoveredDownToTheClient) {
  auto* menu = Create<TMainMenu>(form);
  auto* item = Create<TMenuItem>(form);
  item->SetCaption("&File");
  menu->Items()->Add(item);
  form->SetMenu(menu);
  auto* retitled = Create<TCoverSpy>(form, form);
  auto* activated = Create<TCoverSpy>(form, form, WM_NCACTIVATE);
  Provide();
  form->Show();
  for (const bool extended : {false, true}) {
    manager->SetExtendedBorders(extended);
    kvtest::PumpUntilIdle();
    ASSERT_EQ(provider->HasBorderForm(), extended);
    for (TCoverSpy* spy : {retitled, activated}) {
      SCOPED_TRACE(std::string(extended ? "extended borders, " : "") +
                   (spy == retitled ? "a new caption" : "activation"));
      if (extended) spy->ignored = provider->BorderForm()->Handle();
      spy->seen = false;
      if (spy == retitled) {
        form->SetCaption(extended ? "Renamed twice" : "Renamed");
      } else {
        SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
        SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
      }
      // With composition the frame is repainted at once, without a cover.
      ASSERT_EQ(spy->seen, !GetParam());
      if (GetParam()) continue;
      RECT w{}, bar{};
      GetWindowRect(Wnd(), &w);
      GetMenuItemRect(Wnd(), GetMenu(Wnd()), 0, &bar);
      EXPECT_LE(spy->cover.left, w.left);
      EXPECT_LE(spy->cover.top, w.top);
      EXPECT_GE(spy->cover.right, w.right);
      EXPECT_GE(spy->cover.bottom, bar.bottom) << "the menu line is covered";
      POINT client{0, 0};
      ClientToScreen(Wnd(), &client);
      EXPECT_LE(spy->cover.bottom, client.y) << "the client is not";
    }
  }
}

// With a border window the system's activation drawing falls outside the
// form's region: only a menu line, which the window itself shows, needs
// the cover.
TEST_P(SkinnedForm, WithABorderWindowActivationIsCoveredOnlyForAMenuLine) {
  auto* spy = Create<TCoverSpy>(form, form, WM_NCACTIVATE);
  Provide();
  form->Show();
  manager->SetExtendedBorders(true);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(provider->HasBorderForm());
  spy->ignored = provider->BorderForm()->Handle();
  for (const bool withMenu : {false, true}) {
    SCOPED_TRACE(withMenu ? "with a menu" : "without a menu");
    if (withMenu) {
      auto* menu = Create<TMainMenu>(form);
      auto* item = Create<TMenuItem>(form);
      item->SetCaption("&File");
      menu->Items()->Add(item);
      form->SetMenu(menu);
      kvtest::PumpUntilIdle();
    }
    spy->seen = false;
    SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
    SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
    // With composition the window is made invisible instead.
    EXPECT_EQ(spy->seen, withMenu && !GetParam());
  }
}

// With a border window the form's region is its client and menu bar: the
// caption the system draws on activation and on a new caption stays out of
// sight, and activation without composition puts a lost region back.
TEST_P(SkinnedForm, WithABorderWindowTheRegionLeavesOnlyTheClientVisible) {
  Provide();
  form->Show();
  manager->SetExtendedBorders(true);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(provider->HasBorderForm());
  const auto clientOnly = [&] {
    RECT w{};
    GetWindowRect(Wnd(), &w);
    POINT c{0, 0};
    ClientToScreen(Wnd(), &c);
    const int x = c.x - w.left, y = c.y - w.top;
    return InRegion(x + 1, y + 1) && !InRegion(x + 1, y - 1) && !InRegion(x - 1, y + 1) &&
           !InRegion((w.right - w.left) / 2, 2);
  };
  SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
  SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
  form->SetCaption("Retitled");
  kvtest::PumpUntilIdle();
  EXPECT_TRUE(clientOnly());
  if (GetParam()) return;
  SetWindowRgn(Wnd(), nullptr, TRUE);
  SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_TRUE(clientOnly()) << "the region is back before the system draws its caption";
}

// A form placed inside a control that has a caption of its own keeps the
// skinned frame's cut corners.
TEST_P(SkinnedForm, ACaptionedFormInsideAControlHasTheFramesRegion) {
  Owned<TForm> host = CreateOwned<TForm>();
  host->SetBounds(20, 20, 420, 320);
  host->Show();
  form->SetParent(host.get());
  form->SetBounds(10, 10, 300, 200);
  Provide();
  form->Show();
  kvtest::PumpUntilIdle();
  // A program that wants a title bar on it gives the window one.
  SetWindowLongW(Wnd(), GWL_STYLE, Style() | WS_CAPTION | WS_THICKFRAME);
  SetWindowPos(Wnd(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(provider->IsCaptionedForm());
  EXPECT_TRUE(HasRegion());
  EXPECT_FALSE(InRegion(0, 0)) << "the border mask's transparent corner is cut";
  EXPECT_TRUE(InRegion(150, 100));
  form->SetParent(nullptr);
}

// --- the program's close path through a skinned frame --------------------------------------

constexpr int kClosedExitCode = 7;
constexpr const wchar_t* kCloseChildVariable = L"KV_PROVIDER_CLOSE_CHILD";

// As the program's windows do: closing from the system menu ends the process.
class TEndingForm : public TForm {
 public:
  using TForm::TForm;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_CLOSE) ExitProcess(kClosedExitCode);
    TForm::Dispatch(m);
  }
};

// Runs only inside the child process the next test starts.
TEST(ProviderCloseChild, SystemCloseEndsTheProcess) {
  if (GetEnvironmentVariableW(kCloseChildVariable, nullptr, 0) == 0) GTEST_SKIP();
  Owned<TsSkinManager> manager = SkinnedManager();
  auto* form = Create<TEndingForm>(nullptr);
  Create<TsSkinProvider>(form);
  form->Show();
  SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  FAIL() << "the process went on after the close";
}

TEST(ProviderClose, TheCloseCommandReachesTheFormsHandlerThroughTheProvider) {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=ProviderCloseChild.*";
  SetEnvironmentVariableW(kCloseChildVariable, L"1");
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi);
  SetEnvironmentVariableW(kCloseChildVariable, nullptr);
  ASSERT_TRUE(started);
  // A bound on a hung child, not a wait for something to happen.
  const DWORD waited = WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "the child never ended";
  EXPECT_EQ(code, static_cast<DWORD>(kClosedExitCode));
}

INSTANTIATE_TEST_SUITE_P(Provider, SkinnedForm, ::testing::Values(true, false),
                         [](const auto& info) {
                           return std::string(info.param ? "CompositionOn" : "CompositionOff");
                         });

}  // namespace
}  // namespace kv
