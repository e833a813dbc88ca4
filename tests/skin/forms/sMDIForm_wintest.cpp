// A skinned MDI form under Wine with the synthetic skin: the MDI client
// shows the form's frame picture ("MDIAREA"), a maximised child puts its
// three buttons on the menu line and stops the client painting, tiling
// takes the active child's system menu only while the skin is on, and
// skins come and go without leaking.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>

#include "SkinnedFormFixture.h"
#include "classlib/Menus.h"
#include "skin/adapters/acMDIWnd_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sMDIForm_win.h"
#include "skin/model/acToolkitFlags.h"
#include "support/Counters.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

class SkinnedMDIForm : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  void SetUp() override {
    form->SetFormStyle(fsMDIForm);
    form->SetBounds(40, 40, 420, 320);
    GiveMenu();
    form->SetCaption("");
    Provide();
    Show();
    a = NewChild(0);
    b = NewChild(60);
    kvtest::PumpUntilIdle();
  }
  TForm* NewChild(int left) {
    TForm* child = Create<TForm>(form);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(left, 0, 120, 90);
    child->Show();
    return child;
  }
  HWND Client() { return form->ClientHandle(); }
  TacMDIWnd* ClientAdapter() { return dynamic_cast<TacMDIWnd*>(AdapterOfWindow(Client())); }
  void Maximize(TForm* child) {
    SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
    kvtest::PumpUntilIdle();
    RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  }
  // A client DC's worth of the client background painted into a bitmap
  // of a colour the skin does not use.
  TPixels ErasedClient(LRESULT* result) {
    RECT r{};
    GetClientRect(Client(), &r);
    HDC screen = GetDC(Client());
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH brush = CreateSolidBrush(kUnpainted);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    *result = SendMessageW(Client(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    TPixels p = TPixels::FromDC(dc, r);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(Client(), screen);
    return p;
  }
  static constexpr COLORREF kUnpainted = RGB(1, 2, 3);
  TForm* a = nullptr;
  TForm* b = nullptr;
};

// A child whose provider came with the form, before its window, is skinned
// when it is first shown: its own frame with its title buttons.
TEST_F(SkinnedMDIForm, AChildWhoseProviderCameFirstIsSkinnedWhenShown) {
  TForm* child = Create<TForm>(form);
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(30, 20, 160, 110);
  auto* own = Create<TsSkinProvider>(child);
  ASSERT_FALSE(child->HandleAllocated());
  child->Show();
  kvtest::PumpUntilIdle();
  EXPECT_NE(child->FormState() & fsCreatedMDIChild, 0);
  EXPECT_TRUE(own->SysMenuStyleRemoved());
  EXPECT_EQ(GetWindowLongW(child->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_FALSE(own->PlacedButtons().empty()) << "its title buttons";
  ASSERT_NE(own->SkinData()->CacheBmp, nullptr);
  const TPixels frame = TPixels::FromWindow(child->Handle());
  EXPECT_EQ(SectionAt(frame, frame.Width() / 3, 4), "FORMTITLE");
}

TEST_F(SkinnedMDIForm, TheClientIsAdaptedAndShowsTheMDIAreaOfTheFramePicture) {
  ASSERT_NE(provider->MDIForm(), nullptr);
  TacMDIWnd* adapter = ClientAdapter();
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->Form, form);
  EXPECT_EQ(adapter->SkinData->SkinSection(), "CHECKBOX");
  LRESULT result = 0;
  const TPixels client = ErasedClient(&result);
  EXPECT_EQ(result, 1);
  // Children cover the top left; the bottom right shows the client area.
  const int x = client.Width() - 5, y = client.Height() - 5;
  EXPECT_EQ(SectionAt(client, x, y), "MDIAREA");
  // The frame picture holds the same area under the client's place.
  const TRect place = provider->MDIForm()->ClientPlace();
  EXPECT_EQ(SectionAt(Cache(), place.Right - 5, place.Bottom - 5), "MDIAREA");
}

TEST_F(SkinnedMDIForm, AMaximisedChildPutsItsButtonsOnTheMenuLineAndStopsTheClientPainting) {
  EXPECT_TRUE(provider->MDIForm()->ChildButtons().empty());
  Maximize(a);
  ASSERT_EQ(form->ActiveMDIChild(), a);
  const auto& buttons = provider->MDIForm()->ChildButtons();
  ASSERT_EQ(buttons.size(), 3u);
  const TsFrameGeometry g = provider->Geometry();
  const TPixels cache = Cache();
  for (const TsPlacedTitleButton& button : buttons) {
    EXPECT_GE(button.Rect.Top, g.TitleBandBottom()) << button.HitCode;
    EXPECT_LE(button.Rect.Bottom, g.MenuBandBottom()) << button.HitCode;
    const TPoint c{(button.Rect.Left + button.Rect.Right) / 2,
                   (button.Rect.Top + button.Rect.Bottom) / 2};
    EXPECT_EQ(SectionAt(cache, c.X, c.Y), "GLOBALINFO") << "button " << button.HitCode;
    // The window answers the button's code over it.
    RECT w{};
    GetWindowRect(Wnd(), &w);
    const LPARAM at = MAKELPARAM(w.left + c.X, w.top + c.Y);
    EXPECT_EQ(SendMessageW(Wnd(), WM_NCHITTEST, 0, at), button.HitCode);
  }
  LRESULT result = 0;
  const TPixels client = ErasedClient(&result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(client.CountDiffering(kUnpainted, client.Whole()), 0);

  // Restored, the buttons go and the client paints again.
  SendMessageW(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  kvtest::PumpUntilIdle();
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(provider->MDIForm()->ChildButtons().empty());
  EXPECT_GT(ErasedClient(&result).CountDiffering(kUnpainted, client.Whole()), 0);
}

TEST_F(SkinnedMDIForm, TheCloseButtonOfAMaximisedChildClosesIt) {
  Maximize(b);
  const auto& buttons = provider->MDIForm()->ChildButtons();
  auto close = std::find_if(buttons.begin(), buttons.end(), [](const TsPlacedTitleButton& x) {
    return x.HitCode == TitleHit::MDIClose;
  });
  ASSERT_NE(close, buttons.end());
  provider->SetPressedButton(TitleHit::MDIClose);
  bool closing = false;
  b->OnClose = [&](TObject*, TCloseAction& action) {
    closing = true;
    action = caNone;
  };
  SendMessageW(Wnd(), WM_NCLBUTTONUP, TitleHit::MDIClose, 0);
  EXPECT_TRUE(closing);
}

// A maximised child that cannot be minimised or restored shows those two
// buttons faded, and pressing them does nothing; close stays as it is.
TEST_F(SkinnedMDIForm, AChildsButtonsThatCannotActAreFadedAndDead) {
  TForm* fixed = Create<TForm>(form);
  fixed->SetFormStyle(fsMDIChild);
  fixed->SetBorderIcons(biSystemMenu);
  fixed->SetBounds(0, 0, 120, 90);
  fixed->Show();
  Maximize(fixed);
  ASSERT_EQ(form->ActiveMDIChild(), fixed);
  ASSERT_TRUE(IsZoomed(fixed->Handle()));
  std::map<int, TRect> rects;
  for (const TsPlacedTitleButton& b : provider->MDIForm()->ChildButtons()) rects[b.HitCode] = b.Rect;
  ASSERT_EQ(rects.size(), 3u);
  const TPixels cache = Cache();
  const auto look = [&](int hitCode) {
    const TRect& r = rects[hitCode];
    return SectionAt(cache, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  };
  EXPECT_EQ(look(TitleHit::MDIClose), "GLOBALINFO");
  EXPECT_NE(look(TitleHit::MDIMinimize), "GLOBALINFO") << "faded";
  EXPECT_NE(look(TitleHit::MDIRestore), "GLOBALINFO") << "faded";
  RECT w{};
  GetWindowRect(Wnd(), &w);
  for (int code : {TitleHit::MDIMinimize, TitleHit::MDIRestore}) {
    const TRect& r = rects[code];
    const LPARAM at = MAKELPARAM(w.left + r.Left + 2, w.top + r.Top + 2);
    SendMessageW(Wnd(), WM_NCLBUTTONDOWN, code, at);
    EXPECT_EQ(provider->ButtonRecord(code)->State, 0) << code;
    SendMessageW(Wnd(), WM_NCLBUTTONUP, code, at);
    kvtest::PumpUntilIdle();
    EXPECT_TRUE(IsZoomed(fixed->Handle())) << code;
  }
}

TEST_F(SkinnedMDIForm, ANewSkinKeepsTheClientAdaptedAndPainted) {
  kv::TsStoredSkin& second = manager->InternalSkins.Add();
  second.Name = "U";
  second.Data = skin.Packed();
  manager->SetSkinName("U");
  kvtest::PumpUntilIdle();
  ASSERT_NE(ClientAdapter(), nullptr);
  LRESULT result = 0;
  const TPixels client = ErasedClient(&result);
  EXPECT_EQ(SectionAt(client, client.Width() - 5, client.Height() - 5), "MDIAREA");
}

// Children may carry providers of their own; freeing a maximised one takes
// its buttons off the menu line.
TEST_F(SkinnedMDIForm, AMaximisedSkinnedChildFreedTakesItsButtonsAlong) {
  TForm* skinned = NewChild(20);
  Create<TsSkinProvider>(skinned);
  kvtest::PumpUntilIdle();
  Maximize(skinned);
  ASSERT_EQ(provider->MDIForm()->ChildButtons().size(), 3u);
  skinned->Free();
  kvtest::PumpUntilIdle();
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(provider->MDIForm()->ChildButtons().empty());
}

// Tiling or cascading takes the system menu from the active child; the
// child gets it back when the skin goes.
TEST_F(SkinnedMDIForm, TilingTakesTheActiveChildsSystemMenuUntilTheSkinGoes) {
  for (const UINT arrange : {UINT{WM_MDITILE}, UINT{WM_MDICASCADE}}) {
    manager->SetActive(true);
    kvtest::PumpUntilIdle();
    ASSERT_NE(ClientAdapter(), nullptr);
    HWND active = form->ActiveMDIChild()->Handle();
    SendMessageW(Client(), arrange, 0, 0);
    EXPECT_EQ(GetWindowLongW(active, GWL_STYLE) & WS_SYSMENU, 0) << arrange;
    manager->SetActive(false);
    kvtest::PumpUntilIdle();
    EXPECT_EQ(ClientAdapter(), nullptr);
    EXPECT_NE(GetWindowLongW(active, GWL_STYLE) & WS_SYSMENU, 0) << arrange;
  }
}

// The active child's menu is merged into the form's bar: the skinned menu
// line paints and hit-tests its items, and drops them when another child
// without a menu becomes active.
TEST_F(SkinnedMDIForm, TheActiveChildsMergedMenuIsPaintedAndHitOnTheMenuLine) {
  auto* childMenu = Create<TMainMenu>(a);
  for (const auto& [caption, group] : {std::pair{"&Doc", 0}, std::pair{"&Edit", 1}}) {
    auto* item = Create<TMenuItem>(a);
    item->SetCaption(caption);
    item->SetGroupIndex(static_cast<uint8_t>(group));
    childMenu->Items()->Add(item);
  }
  a->SetMenu(childMenu);
  SendMessageW(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  kvtest::PumpUntilIdle();
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  HMENU bar = GetMenu(Wnd());
  ASSERT_EQ(GetMenuItemCount(bar), 2) << "Doc takes File's group, Edit comes after";
  EXPECT_TRUE(childMenu->OwnerDraw()) << "the merged items are the skinned painter's";
  RECT w{};
  GetWindowRect(Wnd(), &w);
  auto titleRect = [&](int index) {
    RECT r{};
    GetMenuItemRect(Wnd(), bar, static_cast<UINT>(index), &r);
    return r;
  };
  TPixels cache = Cache();
  for (int i = 0; i < 2; ++i) {
    const RECT r = titleRect(i);
    EXPECT_EQ(SectionAt(cache, r.left - w.left + 1, r.top - w.top + 1), "MENUITEM") << i;
    EXPECT_EQ(SendMessageW(Wnd(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 2, r.top + 2)), HTMENU) << i;
  }
  const RECT edit = titleRect(1);

  SendMessageW(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(b->Handle()), 0);
  kvtest::PumpUntilIdle();
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(form->Menu()->FindItem(GetMenuItemID(bar, 0), fkCommand),
            form->Menu()->Items()->Items(0));
  cache = Cache();
  EXPECT_EQ(SectionAt(cache, edit.right - w.left - 2, edit.bottom - w.top - 2), "MENULINE");
}

// An MDI form and its children share one look: the form's children get
// providers from the dialog hook when it is shown, the form one when a
// skinned child is made in it (before any activation reaches the hook).
TEST(SkinnedMDIFamily, AFormOrChildWithoutAProviderGetsOneFromTheOther) {
  for (const bool formProvided : {true, false}) {
    kvtest::TSkinnedFormFixture f;
    f.form->SetFormStyle(fsMDIForm);
    if (formProvided) f.Provide();
    f.form->HandleNeeded();
    TForm* child = Create<TForm>(f.form);
    child->SetFormStyle(fsMDIChild);
    if (!formProvided) Create<TsSkinProvider>(child);
    child->Show();
    EXPECT_TRUE(WindowAnswersCommand(f.Wnd(), cmdIsSkinned)) << formProvided;
    f.Show();
    EXPECT_TRUE(WindowAnswersCommand(child->Handle(), cmdIsSkinned)) << formProvided;
  }
}

// Children with providers of their own: the frame is the child's while it
// is normal and the MDI form's menu line buttons while it is maximised. No
// repaint is asked for by hand: the providers keep both frames in step.
class SkinnedMDIChildren : public SkinnedMDIForm {
 protected:
  void SetUp() override {
    SkinnedMDIForm::SetUp();
    for (TForm* child : {a, b}) childProvider[child] = Create<TsSkinProvider>(child);
    kvtest::PumpUntilIdle();
  }
  // A click on a skinned button: pressed, then released over it.
  void Click(TForm* f, int hitCode) {
    auto* p = dynamic_cast<TsSkinProvider*>(reinterpret_cast<TacFormProvider*>(
        SendMessageW(f->Handle(), SM_ALPHACMD, MAKEWPARAM(0, cmdGetProvider), 0)));
    ASSERT_NE(p, nullptr);
    p->SetPressedButton(hitCode);
    SendMessageW(f->Handle(), WM_NCLBUTTONUP, static_cast<WPARAM>(hitCode), 0);
    kvtest::PumpUntilIdle();
  }
  std::map<TForm*, TsSkinProvider*> childProvider;
};

// A picture of the MDI form (as a screenshot takes it) holds its client
// area: the MDI client prints the MDI area. (Wine's default printing leaves
// the children out.)
TEST_F(SkinnedMDIChildren, APictureOfTheMDIFormShowsTheMDIArea) {
  const TPixels picture = TPixels::FromPrintWindow(Wnd());
  const TRect place = provider->MDIForm()->ClientPlace();
  const POINT o = provider->FrameCacheOffset();
  EXPECT_EQ(SectionAt(picture, place.Right - o.x - 5, place.Bottom - o.y - 5), "MDIAREA");
}

// Under the active maximised child another child neither prints nor paints
// its frame.
TEST_F(SkinnedMDIChildren, AChildUnderTheMaximisedOneShowsNothing) {
  SendMessageW(b->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(IsZoomed(b->Handle()));
  ASSERT_EQ(form->ActiveMDIChild(), b);
  const TPixels picture = TPixels::FromPrint(a->Handle());
  int painted = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) painted += picture.At(x, y) != picture.At(0, 0);
  EXPECT_EQ(painted, 0);
  TsSkinProvider* under = childProvider[a];
  under->FramePainted = false;
  under->SkinData()->BGChanged = true;
  SendMessageW(a->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_FALSE(under->FramePainted);
}

// While the toolkit animates, a child's frame is left to the system.
TEST_F(SkinnedMDIChildren, AChildsFrameIsTheSystemsWhileAnAnimationRuns) {
  TsSkinProvider* p = childProvider[b];
  p->FramePainted = false;
  p->SkinData()->BGChanged = true;
  AnimationActive = true;
  SendMessageW(b->Handle(), WM_NCPAINT, 1, 0);
  AnimationActive = false;
  EXPECT_FALSE(p->FramePainted);
  SendMessageW(b->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_TRUE(p->FramePainted);
}

TEST_F(SkinnedMDIChildren, ANormalChildsFrameIsPaintedFromTheSkin) {
  const TPixels window = TPixels::FromWindow(b->Handle());
  const TsFrameGeometry g = childProvider[b]->Geometry();
  EXPECT_EQ(SectionAt(window, window.Width() / 3, g.TitleBandBottom() / 2), "FORMTITLE");
  EXPECT_EQ(SectionAt(window, 1, (g.TitleBandBottom() + window.Height()) / 2), "FORM");
}

TEST_F(SkinnedMDIChildren, MaximiseRestoreAndCloseGoThroughTheSkinnedButtons) {
  Click(b, HTMAXBUTTON);
  ASSERT_TRUE(IsZoomed(b->Handle()));
  EXPECT_EQ(LastActiveProvider, childProvider[b]);
  const auto& buttons = provider->MDIForm()->ChildButtons();
  ASSERT_EQ(buttons.size(), 3u) << "the MDI form's frame shows the child's buttons at once";

  Click(form, TitleHit::MDIRestore);
  EXPECT_FALSE(IsZoomed(b->Handle()));
  EXPECT_TRUE(provider->MDIForm()->ChildButtons().empty());
  const TPixels window = TPixels::FromWindow(b->Handle());
  EXPECT_EQ(SectionAt(window, window.Width() / 3, 3), "FORMTITLE") << "its own frame again";

  Click(b, HTMAXBUTTON);
  ASSERT_EQ(provider->MDIForm()->ChildButtons().size(), 3u);
  bool closing = false;
  b->OnClose = [&](TObject*, TCloseAction& action) {
    closing = true;
    action = caFree;
  };
  Click(form, TitleHit::MDIClose);
  EXPECT_TRUE(closing);
  EXPECT_EQ(form->MDIChildCount(), 1);
  EXPECT_TRUE(provider->MDIForm()->ChildButtons().empty());
  b = nullptr;
}

// A child the system makes maximised (under a maximised active one) keeps
// its frame pending until its first painting, which then puts its buttons
// on the MDI form's menu line. Wine restores the active child before making
// the next, so the creation is played here.
TEST_F(SkinnedMDIChildren, AChildMadeMaximisedIsPendingUntilItsFirstPainting) {
  TsSkinProvider* p = childProvider[a];
  SendMessageW(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  CREATESTRUCTW create{};
  create.style = WS_CHILD | WS_MAXIMIZE;
  SendMessageW(a->Handle(), WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
  EXPECT_TRUE(p->MDIMaxChildPending);
  LastActiveProvider = nullptr;
  SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  RedrawWindow(a->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_FALSE(p->MDIMaxChildPending);
  EXPECT_EQ(LastActiveProvider, p);
  kvtest::PumpUntilIdle();
  EXPECT_EQ(provider->MDIForm()->ChildButtons().size(), 3u);
}

// Whatever a child's system command, the child ends visible in the state
// asked for and neither it nor the MDI form is left with painting locked.
TEST_F(SkinnedMDIChildren, SystemCommandsLeaveTheChildVisibleAndBothFramesPaintable) {
  const struct {
    WPARAM command;
    bool zoomed, iconic;
  } steps[] = {{SC_MAXIMIZE, true, false},
               {SC_RESTORE, false, false},
               {SC_MAXIMIZE, true, false},
               {SC_MINIMIZE, false, true},
               // Restored from the icon to where it was before.
               {SC_RESTORE, true, false},
               {SC_RESTORE, false, false}};
  HWND child = b->Handle();
  for (const auto& step : steps) {
    SendMessageW(child, WM_SYSCOMMAND, step.command, 0);
    kvtest::PumpUntilIdle();
    const std::string at = "after command " + std::to_string(&step - steps);
    EXPECT_EQ(IsZoomed(child) != FALSE, step.zoomed) << at;
    EXPECT_EQ(IsIconic(child) != FALSE, step.iconic) << at;
    EXPECT_TRUE(IsWindowVisible(child)) << at;
    EXPECT_FALSE(PaintingSuspended(provider->SkinData())) << at;
    EXPECT_FALSE(PaintingSuspended(childProvider[b]->SkinData())) << at;
    EXPECT_EQ(provider->MDIForm()->ChildButtons().size(), step.zoomed ? 3u : 0u) << at;
    if (step.command == SC_RESTORE && !step.zoomed) {
      EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & WS_SYSMENU, 0) << "the skin draws its menu";
    }
  }
}

// The system may still be making a child maximised when the user asks for
// the restore: the restore happens all the same.
TEST_F(SkinnedMDIChildren, ARestoreWhileAMaximisedChildIsPendingIsNotLost) {
  SendMessageW(a->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(a->Handle()));
  childProvider[a]->MDIMaxChildPending = true;
  SendMessageW(a->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(a->Handle()));
  EXPECT_FALSE(PaintingSuspended(provider->SkinData()));
}

// A maximised child's title is on the MDI form's frame: its repaints, its
// activation and the activation of another child paint that frame.
TEST_F(SkinnedMDIChildren, AMaximisedChildsChangesRepaintTheMDIFormsFrame) {
  SendMessageW(b->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(IsZoomed(b->Handle()));
  const auto framePainted = [&] {
    return provider->FramePainted && !provider->SkinData()->BGChanged;
  };

  provider->FramePainted = false;
  childProvider[b]->RepaintFrameNow();
  EXPECT_TRUE(framePainted()) << "at once, without a message round";

  provider->FramePainted = false;
  SendMessageW(b->Handle(), WM_CHILDACTIVATE, 0, 0);
  EXPECT_TRUE(kvtest::PumpUntil(framePainted)) << "on the child's activation";

  provider->SkinData()->BGChanged = false;
  SendMessageW(a->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(provider->SkinData()->BGChanged) << "another child's activation";
}

// The system draws its own menu bar during the menu loop: a maximised
// child's buttons stay visible on a borderless copy of the menu line's end.
TEST_F(SkinnedMDIChildren, TheMenuLoopShowsAMaximisedChildsButtonsOverTheMenuBar) {
  SendMessageW(Wnd(), WM_ENTERMENULOOP, 0, 0);
  EXPECT_EQ(provider->MDIIconsForm(), nullptr) << "no maximised child, no buttons to keep";
  SendMessageW(Wnd(), WM_EXITMENULOOP, 0, 0);

  SendMessageW(b->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  kvtest::PumpUntilIdle();
  ASSERT_EQ(provider->MDIForm()->ChildButtons().size(), 3u);
  SendMessageW(Wnd(), WM_ENTERMENULOOP, 0, 0);
  SendMessageW(Wnd(), WM_ENTERMENULOOP, 0, 0);  // once per loop
  TCustomForm* icons = provider->MDIIconsForm();
  ASSERT_NE(icons, nullptr);
  EXPECT_EQ(icons->Tag(), -98);
  EXPECT_EQ(icons->Name(), "acMDIIcons");
  EXPECT_TRUE(IsWindowVisible(icons->Handle()));
  RECT r{}, w{};
  GetWindowRect(icons->Handle(), &r);
  GetWindowRect(Wnd(), &w);
  const auto& buttons = provider->MDIForm()->ChildButtons();
  const TPoint o = provider->Geometry().CacheOffset();
  // Every button lies inside the copy, which shows it as the frame does.
  RedrawWindow(icons->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const TPixels copy = TPixels::FromWindow(icons->Handle());
  for (const TsPlacedTitleButton& button : buttons) {
    const int x = w.left + (button.Rect.Left + button.Rect.Right) / 2 - o.X - r.left;
    const int y = w.top + (button.Rect.Top + button.Rect.Bottom) / 2 - o.Y - r.top;
    ASSERT_TRUE(x >= 0 && x < copy.Width() && y >= 0 && y < copy.Height()) << button.HitCode;
    EXPECT_EQ(SectionAt(copy, x, y), "GLOBALINFO") << button.HitCode;
  }
  SendMessageW(Wnd(), WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(provider->MDIIconsForm(), nullptr);
}

// Dragged in border mode, a child lands where its outline was let go, inside
// the MDI client, moved or sized alike.
TEST_F(SkinnedMDIChildren, ABorderModeDragPutsTheChildWhereItsOutlineWas) {
  HWND child = b->Handle();
  childProvider[b]->ResizeMode = rmBorder;
  const struct {
    WPARAM hit;
    POINT press;
    int dx, dy, dw, dh;
  } drags[] = {{HTCAPTION, {40, 8}, 20, 10, 0, 0}, {HTBOTTOMRIGHT, {-2, -2}, 0, 0, 15, 12}};
  for (const auto& d : drags) {
    RECT before{};
    GetWindowRect(child, &before);
    const POINT press{d.press.x < 0 ? before.right + d.press.x : before.left + d.press.x,
                      d.press.y < 0 ? before.bottom + d.press.y : before.top + d.press.y};
    SendMessageW(child, WM_NCLBUTTONDOWN, d.hit, MAKELPARAM(press.x, press.y));
    // The first move only takes the mouse; the second drags.
    for (const POINT step : {press, POINT{press.x + d.dx + d.dw, press.y + d.dy + d.dh}}) {
      POINT p = step;
      ScreenToClient(child, &p);
      SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
    SendMessageW(child, WM_LBUTTONUP, 0, 0);
    RECT after{};
    GetWindowRect(child, &after);
    EXPECT_EQ(after.left - before.left, d.dx) << d.hit;
    EXPECT_EQ(after.top - before.top, d.dy) << d.hit;
    EXPECT_EQ((after.right - after.left) - (before.right - before.left), d.dw) << d.hit;
    EXPECT_EQ((after.bottom - after.top) - (before.bottom - before.top), d.dh) << d.hit;
  }
}

// What the MDI form is told while a maximised child's caption changes.
struct TFrameMessagesSeen {
  static inline HWND Frame = nullptr;
  static inline TsSkinProvider* Provider = nullptr;
  static inline int Seen = 0, Covered = 0;
  static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l) {
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(l);
    // The toolkit's own questions to the MDI form do not count.
    if (code == HC_ACTION && msg->hwnd == Frame && msg->message != SM_ALPHACMD) {
      ++Seen;
      TCustomForm* cover = Provider->CoverForm();
      if (cover != nullptr && IsWindowVisible(cover->Handle())) ++Covered;
    }
    return CallNextHookEx(nullptr, code, w, l);
  }
};

TEST_F(SkinnedMDIChildren, AMaximisedChildsNewCaptionIsWrittenUnderACoverOverTheMDIForm) {
  SendMessageW(b->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(IsZoomed(b->Handle()));
  TFrameMessagesSeen::Frame = Wnd();
  TFrameMessagesSeen::Provider = provider;
  TFrameMessagesSeen::Seen = TFrameMessagesSeen::Covered = 0;
  HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, TFrameMessagesSeen::Hook, nullptr, GetCurrentThreadId());
  SetWindowTextW(b->Handle(), L"Renamed");
  UnhookWindowsHookEx(hook);
  EXPECT_GT(TFrameMessagesSeen::Seen, 0) << "the system tells the MDI form of its new title";
  EXPECT_EQ(TFrameMessagesSeen::Covered, TFrameMessagesSeen::Seen);
  EXPECT_EQ(provider->CoverForm(), nullptr) << "and the cover goes afterwards";
  EXPECT_TRUE(provider->SkinData()->BGChanged || provider->FramePainted);
}

TEST_F(SkinnedMDIChildren, SkinsComingAndGoingWithSkinnedChildrenLeaveTheCountersAtBaseline) {
  auto* childMenu = Create<TMainMenu>(b);
  auto* item = Create<TMenuItem>(b);
  item->SetCaption("&Edit");
  item->SetGroupIndex(1);
  childMenu->Items()->Add(item);
  b->SetMenu(childMenu);
  // Once round first: what is made once per program is not a leak.
  std::optional<kvtest::TObjectBaseline> baseline;
  for (int i = 0; i < 6; ++i) {
    if (i == 1) baseline.emplace();
    Click(b, HTMAXBUTTON);
    ASSERT_EQ(provider->MDIForm()->ChildButtons().size(), 3u);
    manager->SetActive(false);
    kvtest::PumpUntilIdle();
    Click(b, HTMAXBUTTON);  // unskinned: the system's restore
    SendMessageW(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(b->Handle()), 0);
    manager->SetActive(true);
    kvtest::PumpUntilIdle();
  }
  EXPECT_TRUE(baseline->Unchanged());
}

TEST_F(SkinnedMDIForm, SkinsComingAndGoingLeaveTheObjectCountersAtBaseline) {
  // Once round first: what is made once per program is not a leak.
  manager->SetActive(false);
  manager->SetActive(true);
  kvtest::PumpUntilIdle();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 5; ++i) {
    Maximize(a);
    manager->SetActive(false);
    kvtest::PumpUntilIdle();
    ASSERT_EQ(ClientAdapter(), nullptr);
    EXPECT_EQ(provider->MDIForm(), nullptr);
    SendMessageW(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    manager->SetActive(true);
    kvtest::PumpUntilIdle();
    ASSERT_NE(ClientAdapter(), nullptr);
  }
  EXPECT_TRUE(baseline.Unchanged());
}

}  // namespace
}  // namespace kv
