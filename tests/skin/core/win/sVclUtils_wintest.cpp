// Animated showing through the snapshot cover window; broadcasting to
// children that change under the broadcast; the provider's message entry;
// text alignment in a control's reading order.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sVclUtils_win.h"
#include "support/MessageLog.h"
#include "support/PlatformSeams.h"

namespace kv {
namespace {

using kvtest::TMessageRecorder;

struct AnimatedShow : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 300, 200);
    panel = Panel(10, 10, 100, 40, clRed);
    form->Show();
  }
  void TearDown() override { form->Free(); }
  TPanel* Panel(int x, int y, int w, int h, TColor colour) {
    auto* p = Create<TPanel>(form);
    p->SetParent(form);
    p->SetBevelOuter(bvNone);
    p->SetColor(colour);
    p->SetBounds(x, y, w, h);
    return p;
  }
  bool CoverLeft() {
    return SnapshotCover || FindWindowExW(form->Handle(), nullptr, nullptr, L"acOutputWindow");
  }

  TForm* form = nullptr;
  TPanel* panel = nullptr;
};

TEST_F(AnimatedShow, CoverPathEndsWithTheControlShownAndNoCoverLeft) {
  for (unsigned time : {0u, 80u, 0xFFFFu}) {  // the longest is cut to about a second
    SendMessageW(panel->Handle(), WM_SETREDRAW, 0, 0);
    AnimateShowControl(panel, time);
    EXPECT_TRUE(IsWindowVisible(panel->Handle())) << time << " ms";
    EXPECT_FALSE(CoverLeft()) << time << " ms";
    EXPECT_EQ(nullptr, SnapshotBitmap);
    HDC dc = GetDC(panel->Handle());
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 50, 20)) << time << " ms";
    ReleaseDC(panel->Handle(), dc);
  }
}

// Below one step there is nothing to fade: the control is painted once, on
// the screen, with no picture of it painted first (into a DC of the
// animation's own); with steps the picture comes first.
TEST_F(AnimatedShow, WithoutStepsTheControlIsPaintedOnceAndNoPictureIsMade) {
  struct Case {
    unsigned time;
    int pictures;
  };
  for (const Case c : {Case{0, 0}, Case{7, 0}, Case{16, 1}}) {
    SCOPED_TRACE(c.time);
    SendMessageW(panel->Handle(), WM_SETREDRAW, 0, 0);
    TMessageRecorder recorder;
    recorder.AttachControl(panel);
    AnimateShowControl(panel, c.time);
    const auto paints = [&](bool intoPicture) {
      return std::count_if(recorder.Messages.begin(), recorder.Messages.end(),
                           [&](const kvtest::TRecordedMsg& m) {
                             return m.message == WM_PAINT && (m.wParam != 0) == intoPicture;
                           });
    };
    EXPECT_EQ(paints(true), c.pictures);
    EXPECT_EQ(paints(false), 1);
    recorder.DetachAll();
    EXPECT_FALSE(CoverLeft());
    HDC dc = GetDC(panel->Handle());
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 50, 20));
    ReleaseDC(panel->Handle(), dc);
  }
}

TEST_F(AnimatedShow, SnapshotOfAnotherSizeIsTakenAnew) {
  TPanel* small = Panel(150, 10, 60, 30, clBlue);
  ShowSnapshotCover(panel);
  ShowSnapshotCover(small);
  ASSERT_NE(nullptr, SnapshotBitmap);
  EXPECT_EQ(60, SnapshotBitmap->Width());
  EXPECT_EQ(30, SnapshotBitmap->Height());
  AnimateShowControl(small, 16);
  EXPECT_FALSE(CoverLeft());
}

// A skinned child (answers command 7) that counts the new-skin commands it
// gets in a table that outlives it, and runs an action on the first.
class TBroadcastChild : public TCustomControl {
 public:
  TBroadcastChild(TComponent* owner, std::map<TControl*, int>& got)
      : TCustomControl(owner), got_(got) {}
  std::function<void()> onLoaded;
  void SetDestroying(bool on) { on ? SetState(csDestroying) : ClearState(csDestroying); }

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && HIWORD(m.WParam) == cmdIsSkinned) {
      m.Result = 1;
      return;
    }
    if (m.Msg == SM_ALPHACMD && HIWORD(m.WParam) == cmdSkinLoaded) {
      ++got_[this];
      if (auto action = std::exchange(onLoaded, nullptr)) action();
      return;
    }
    TCustomControl::WndProc(m);
  }

 private:
  std::map<TControl*, int>& got_;
};

// n counting children on form, its window made.
std::vector<TBroadcastChild*> BroadcastChildren(TForm* form, std::map<TControl*, int>& got, int n) {
  std::vector<TBroadcastChild*> children;
  for (int i = 0; i < n; ++i) {
    children.push_back(Create<TBroadcastChild>(form, got));
    children.back()->SetParent(form);
  }
  form->Handle();
  return children;
}

TEST(BroadcastToChildren, AChildFreedByAnotherIsSkippedAndTheRestGetItOnce) {
  Owned<TForm> form = CreateOwned<TForm>();
  std::map<TControl*, int> got;
  const std::vector<TBroadcastChild*> child = BroadcastChildren(form.get(), got, 5);
  // The second child frees the one before it (the list closes up under the
  // walk) and the one after it (it must never be touched again).
  TControl* first = child[0];
  TControl* fourth = child[3];
  child[1]->onLoaded = [&] {
    child[0]->Free();
    child[3]->Free();
  };
  TMessageRecorder recorder;
  for (int i : {1, 2, 4}) recorder.AttachControl(child[i]);
  TMessage m{SM_ALPHACMD, CommandWParam(cmdSkinLoaded), 0, 0};
  BroadcastToChildren(form.get(), m);
  EXPECT_EQ(got[first], 1);
  EXPECT_EQ(got[fourth], 0);
  for (int i : {1, 2, 4}) EXPECT_EQ(got[child[i]], 1) << "child " << i;
  EXPECT_EQ(recorder.CountCommand(cmdSkinLoaded), 3);
}

// A child on its way out ends the broadcast: the children after it are left.
TEST(BroadcastToChildren, StopsAtAChildBeingDestroyed) {
  Owned<TForm> form = CreateOwned<TForm>();
  std::map<TControl*, int> got;
  const std::vector<TBroadcastChild*> child = BroadcastChildren(form.get(), got, 4);
  child[1]->SetDestroying(true);
  TMessage m{SM_ALPHACMD, CommandWParam(cmdSkinLoaded), 0, 0};
  BroadcastToChildren(form.get(), m);
  child[1]->SetDestroying(false);
  EXPECT_EQ(got[child[0]], 1);
  for (int i : {1, 2, 3}) EXPECT_EQ(got[child[i]], 0) << "child " << i;
}

// A graphic child that counts the repaint-now commands and the paintings it
// gets, and runs an action on each command.
class TCountingGraphic : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int repaintsNow = 0, paints = 0, skipped = 0;
  std::function<void()> onRepaintNow;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && HIWORD(m.WParam) == cmdRepaintNow) {
      ++repaintsNow;
      if (onRepaintNow) onRepaintNow();
      return;
    }
    if (m.Msg == SM_ALPHACMD && HIWORD(m.WParam) == cmdSetPaintSkipped) ++skipped;
    if (m.Msg == WM_PAINT) ++paints;
    TGraphicControl::WndProc(m);
  }
};

// On an MDI main form an aligned graphic child is also told to repaint at
// once, and is painted with the others; a child that repaints through its
// parent's painting is not told again.
TEST(PaintChildGraphics, AlignedGraphicChildrenOfAnMdiMainFormAlsoRepaintNow) {
  struct Case {
    TFormStyle style;
    TAlign align;
    bool throughParent;
    int repaintsNow, paints;
  } cases[] = {
      {fsMDIForm, alTop, false, 1, 1},
      {fsMDIForm, alTop, true, 1, 2},
      {fsMDIForm, alNone, false, 0, 1},
      {fsNormal, alTop, false, 0, 1},
  };
  for (const Case& c : cases) {
    Owned<TForm> form = CreateOwned<TForm>();
    form->SetBounds(0, 0, 200, 150);
    form->SetFormStyle(c.style);
    auto* child = Create<TCountingGraphic>(form.get());
    child->SetBounds(10, 10, 40, 20);
    child->SetAlign(c.align);
    child->SetParent(form.get());
    form->Show();
    TBitmap surface(200, 150, pf24bit);
    TBitmapCanvas canvas(surface);
    if (c.throughParent)
      child->onRepaintNow = [&] { PaintChildGraphics(form.get(), canvas.Handle()); };
    PaintChildGraphics(form.get(), canvas.Handle());
    EXPECT_EQ(child->repaintsNow, c.repaintsNow)
        << c.style << " " << c.align << " " << c.throughParent;
    EXPECT_EQ(child->paints, c.paints) << c.style << " " << c.align << " " << c.throughParent;
  }
}

// A graphic child that the DC's clip region hides is told it was skipped
// rather than painted; with nothing of the parent left to paint the parent
// itself is told.
TEST(PaintChildGraphics, AChildOutsideTheClipIsToldItWasSkipped) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(0, 0, 200, 150);
  TCountingGraphic* children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = Create<TCountingGraphic>(form.get());
    children[i]->SetBounds(10 + 100 * i, 10, 40, 20);
    children[i]->SetParent(form.get());
  }
  form->Show();
  TMessageRecorder recorder;
  recorder.AttachWindow(form->Handle());
  TBitmap surface(200, 150, pf24bit);
  TBitmapCanvas canvas(surface);
  IntersectClipRect(canvas.Handle(), 0, 0, 100, 150);
  PaintChildGraphics(form.get(), canvas.Handle());
  EXPECT_EQ(children[0]->paints, 1);
  EXPECT_EQ(children[0]->skipped, 0);
  EXPECT_EQ(children[1]->paints, 0);
  EXPECT_EQ(children[1]->skipped, 1);
  EXPECT_EQ(recorder.CountCommand(cmdSetPaintSkipped), 0);

  IntersectClipRect(canvas.Handle(), 0, 0, 0, 0);
  PaintChildGraphics(form.get(), canvas.Handle());
  EXPECT_EQ(recorder.CountCommand(cmdSetPaintSkipped), 1);
  EXPECT_EQ(children[0]->paints + children[1]->paints, 1) << "nothing painted with no clip";
}

// A provider as a form's component: the core knows it only by its interface.
class TProviderComponent : public TComponent, public TacFormProvider {
 public:
  using TComponent::TComponent;
  TsSkinManager* SkinManager() const override { return nullptr; }
  void SetPaintingLocked(bool) override {}
  void ReceiveMessage(TMessage& message) override {
    received.push_back(message.Msg);
    message.Result = 5;
  }
  void MarkDestroying() { SetState(csDestroying); }
  std::vector<UINT> received;
};

TEST(SendToProviderOfForm, ReachesTheFirstLiveProviderComponentOnly) {
  Owned<TForm> form = CreateOwned<TForm>();
  Create<TComponent>(form.get());  // not a provider
  auto* dying = Create<TProviderComponent>(form.get());
  auto* live = Create<TProviderComponent>(form.get());
  auto* second = Create<TProviderComponent>(form.get());
  dying->MarkDestroying();
  TMessage m{SM_ALPHACMD, CommandWParam(cmdSkinRefresh), 0, 0};
  SendToProviderOfForm(form.get(), m);
  EXPECT_TRUE(dying->received.empty());
  EXPECT_EQ(live->received, std::vector<UINT>{SM_ALPHACMD});
  EXPECT_TRUE(second->received.empty());
  EXPECT_EQ(m.Result, 5);

  Owned<TForm> plain = CreateOwned<TForm>();
  TMessage none{SM_ALPHACMD, CommandWParam(cmdSkinRefresh), 0, 0};
  SendToProviderOfForm(plain.get(), none);
  SendToProviderOfForm(nullptr, none);
  EXPECT_EQ(none.Result, 0);
}

struct AlignCase {
  TBiDiMode mode;
  UINT left, right, centre;  // what each alignment gives
};

// On a system with a right-to-left locale: a mirroring control swaps left
// and right (centre stays), every right-to-left mode reads right to left.
TEST(AlignmentTextFlags, FollowTheControlsReadingOrder) {
  kvtest::TPlatformScope platform;
  platform.Calls().IsMiddleEastLocale = [] { return true; };
  constexpr UINT kRtl = DT_RTLREADING;
  const AlignCase cases[] = {
      {bdLeftToRight, DT_LEFT, DT_RIGHT, DT_CENTER},
      {bdRightToLeft, DT_RIGHT | kRtl, DT_LEFT | kRtl, DT_CENTER | kRtl},
      {bdRightToLeftNoAlign, DT_LEFT | kRtl, DT_RIGHT | kRtl, DT_CENTER | kRtl},
      {bdRightToLeftReadingOnly, DT_LEFT | kRtl, DT_RIGHT | kRtl, DT_CENTER | kRtl}};
  Owned<TForm> form = CreateOwned<TForm>();
  for (const AlignCase& c : cases) {
    form->SetBiDiMode(c.mode);
    const UINT expected[] = {c.left, c.right, c.centre};
    for (TAlignment a : {taLeftJustify, taRightJustify, taCenter})
      EXPECT_EQ(AlignmentTextFlags(form.get(), a), expected[a] | DT_EXPANDTABS | DT_VCENTER)
          << c.mode << " " << a;
  }
  // Without a right-to-left locale every control reads left to right.
  platform.Calls().IsMiddleEastLocale = [] { return false; };
  form->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(AlignmentTextFlags(form.get(), taLeftJustify), UINT(DT_LEFT | DT_EXPANDTABS | DT_VCENTER));
}

}  // namespace
}  // namespace kv
