// Creation in two phases, the loading protocol, and ownership: freeing a
// form frees its components and its children exactly once.
#include <gtest/gtest.h>
#include <windows.h>

#include "MessageLog.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"

using namespace kv;
using kvtest::SequenceIs;

namespace {

kvtest::TMessageLog g_log;

class TSetUpBase : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void AfterConstruction() override {
    TCustomControl::AfterConstruction();
    SetUp();  // a virtual call that must reach the most-derived class
  }

 protected:
  virtual void SetUp() { g_log.Add("base set-up"); }
};

class TSetUpDerived : public TSetUpBase {
 public:
  using TSetUpBase::TSetUpBase;

 protected:
  void SetUp() override { g_log.Add("derived set-up of " + ClassName()); }
};

TEST(Creation, AfterConstructionReachesTheMostDerivedClassOnce) {
  g_log.Clear();
  Owned<TSetUpDerived> c = CreateOwned<TSetUpDerived>();
  EXPECT_TRUE(SequenceIs(g_log, {"derived set-up of TSetUpDerived"}));
}

class TLoadProbe : public TCustomControl {
 public:
  TLoadProbe(TComponent* owner, std::string tag) : TCustomControl(owner), tag_(std::move(tag)) {}
  ~TLoadProbe() override { g_log.Add("free " + tag_); }

 protected:
  void Loaded() override {
    TCustomControl::Loaded();
    g_log.Add("loaded " + tag_ + (HasState(csLoading) ? " still loading" : ""));
  }

 private:
  std::string tag_;
};

class TLoadForm : public TForm {
 public:
  using TForm::TForm;

 protected:
  void Loaded() override {
    TForm::Loaded();
    g_log.Add("loaded form");
  }
};

TEST(Loading, LoadedRunsOnceForEachComponentInCreationOrderAndFormLast) {
  g_log.Clear();
  Owned<TLoadForm> form = CreateOwned<TLoadForm>();
  form->OnCreate = [](TObject*) { g_log.Add("OnCreate"); };
  form->BeginLoading();
  auto* a = Create<TLoadProbe>(form.get(), "a");
  auto* b = Create<TLoadProbe>(form.get(), "b");
  auto* c = Create<TLoadProbe>(form.get(), "c");
  EXPECT_TRUE(a->HasState(csLoading)) << "components created while the owner loads are loading";
  b->SetParent(form.get());
  a->SetParent(form.get());
  c->SetParent(a == nullptr ? nullptr : form.get());
  form->EndLoading();
  form->EndLoading();  // a second end does nothing
  EXPECT_TRUE(SequenceIs(g_log, {"loaded a", "loaded b", "loaded c", "loaded form"}));
  EXPECT_FALSE(form->HasState(csLoading));
  EXPECT_FALSE(c->HasState(csLoading));
}

TEST(Loading, FormBuiltByLoadingCodeRaisesOnCreateWhenComplete) {
  g_log.Clear();
  // A form class that builds itself marks itself loading in its constructor.
  struct TBuiltForm : TForm {
    explicit TBuiltForm(TComponent* owner) : TForm(owner) {
      BeginLoading();
      OnCreate = [](TObject*) { g_log.Add("OnCreate"); };
      Create<TLoadProbe>(this, "x");
    }
    void AfterConstruction() override {
      TForm::AfterConstruction();
      EndLoading();
    }
  };
  Owned<TBuiltForm> form = CreateOwned<TBuiltForm>();
  EXPECT_TRUE(SequenceIs(g_log, {"loaded x", "OnCreate"}));
  EXPECT_FALSE(form->FormState() & fsCreating);
}

TEST(Ownership, FreeingAFormFreesOwnedAndParentedComponentsOnce) {
  g_log.Clear();
  TForm* form = Create<TForm>(nullptr);
  auto* panel = Create<TLoadProbe>(form, "panel");
  panel->SetParent(form);
  auto* inner = Create<TLoadProbe>(form, "inner");  // owned by the form, parented in the panel
  inner->SetParent(panel);
  auto* stray = Create<TLoadProbe>(nullptr, "stray");  // no owner: freed as the panel's child
  stray->SetParent(panel);
  auto* timer = Create<TTimer>(form);
  timer->SetInterval(10000);
  const int timers = TTimer::ActiveCount();
  form->HandleNeeded();
  const HWND panelWnd = panel->Handle();
  const HWND formWnd = form->Handle();
  form->Free();
  EXPECT_EQ(std::count(g_log.entries.begin(), g_log.entries.end(), "free inner"), 1);
  EXPECT_EQ(std::count(g_log.entries.begin(), g_log.entries.end(), "free stray"), 1);
  EXPECT_EQ(std::count(g_log.entries.begin(), g_log.entries.end(), "free panel"), 1);
  EXPECT_FALSE(IsWindow(panelWnd));
  EXPECT_FALSE(IsWindow(formWnd));
  EXPECT_EQ(TTimer::ActiveCount(), timers - 1);
}

TEST(Ownership, OnDestroySeesTheFormWholeAndMarkedAsDestroying) {
  TForm* form = Create<TForm>(nullptr);
  auto* child = Create<TCustomControl>(form);
  child->SetParent(form);
  bool marked = false;
  int children = -1;
  form->OnDestroy = [&](TObject*) {
    marked = form->HasState(csDestroying);
    children = form->ControlCount();
  };
  form->Free();
  EXPECT_TRUE(marked);
  EXPECT_EQ(children, 1);
}

TEST(Ownership, ControlOwnedByOneFormAndParentedInAnotherLeavesItsOwnerWhenFreed) {
  g_log.Clear();
  TForm* owner = Create<TForm>(nullptr);
  TForm* host = Create<TForm>(nullptr);
  auto* frame = Create<TLoadProbe>(owner, "frame");
  frame->SetParent(host);
  const int owned = owner->ComponentCount();
  host->Free();
  EXPECT_EQ(owner->ComponentCount(), owned - 1);
  owner->Free();
  EXPECT_EQ(std::count(g_log.entries.begin(), g_log.entries.end(), "free frame"), 1);
}

TEST(Ownership, PaintedFormGivesBackEveryGdiObjectWhenFreed) {
  const int before = GdiCounters().Total();
  {
    Owned<TForm> form = CreateOwned<TForm>();
    form->OnPaint = [&](TObject*) {
      TCanvas* c = form->Canvas();
      c->Brush()->SetColor(clRed);
      c->FillRect(Rect(0, 0, 10, 10));
      c->Font()->SetStyle(fsBold);
      c->TextOut(1, 1, "温度");
      c->Pen()->SetColor(clBlue);
      c->Rectangle(2, 2, 8, 8);
    };
    auto* child = Create<TCustomControl>(form.get());
    child->SetParent(form.get());
    child->SetColor(clGreen);
    form->SetBounds(0, 0, 100, 80);
    form->Show();
    UpdateWindow(form->Handle());
    HDC dc = GetDC(child->Handle());
    SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(child->Handle()));
    ReleaseDC(child->Handle(), dc);
    EXPECT_GT(GdiCounters().Total(), before);
  }
  EXPECT_EQ(GdiCounters().Total(), before)
      << "fonts " << GdiCounters().Fonts << " pens " << GdiCounters().Pens << " brushes "
      << GdiCounters().Brushes << " DCs " << GdiCounters().DCs;
}

TEST(Ownership, RecreatedWindowKeepsTextBoundsAndChildren) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* child = Create<TCustomControl>(form.get());
  child->SetParent(form.get());
  child->SetBounds(3, 4, 30, 20);
  child->SetCaption("keep");
  form->SetCaption("title");
  form->Show();
  const HWND old = form->Handle();
  form->SetBorderStyle(bsDialog);
  EXPECT_NE(form->Handle(), old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(form->Caption(), "title");
  EXPECT_EQ(child->Caption(), "keep");
  ASSERT_TRUE(child->HandleAllocated());
  EXPECT_EQ(GetParent(child->Handle()), form->Handle());
  RECT rc;
  GetWindowRect(child->Handle(), &rc);
  EXPECT_EQ(rc.right - rc.left, 30);
  EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsWindowVisible(child->Handle())) << "children are shown with the new window";
}

TEST(Layout, AlignedChildrenShareTheClientAreaInOrder) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 200, 100);
  auto make = [&](TAlign a, int w, int h) {
    auto* c = Create<TCustomControl>(form.get());
    c->SetBounds(0, 0, w, h);
    c->SetParent(form.get());
    c->SetAlign(a);
    return c;
  };
  auto* client = make(alClient, 1, 1);
  auto* top = make(alTop, 10, 20);
  auto* bottom = make(alBottom, 10, 10);
  auto* left = make(alLeft, 30, 5);
  auto* right = make(alRight, 40, 5);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 90, 200, 100));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 30, 90));
  EXPECT_EQ(right->BoundsRect(), Rect(160, 20, 200, 90));
  EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 160, 90));
  form->SetBounds(0, 0, 300, 100);
  EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 260, 90));
  top->SetVisible(false);
  EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 30, 90));
}

TEST(Coordinates, ClientAndScreenPointsConvertBothWays) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBorderStyle(bsNone);
  form->SetBounds(50, 60, 200, 100);
  auto* graphic = Create<TGraphicControl>(form.get());
  graphic->SetParent(form.get());
  graphic->SetBounds(10, 20, 30, 30);
  form->HandleNeeded();
  EXPECT_EQ(graphic->ClientToScreen(Point(1, 2)), Point(61, 82));
  EXPECT_EQ(graphic->ScreenToClient(Point(61, 82)), Point(1, 2));
  form->SetClientWidth(150);
  EXPECT_EQ(form->ClientWidth(), 150);
}

}  // namespace
