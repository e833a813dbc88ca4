// Up-down buttons, progress bar, gauge and status bar on a shown form.
#include "classlib/ComCtrls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "ControlForm.h"

using namespace kv;
using kvtest::ControlForm;
using kvtest::Pump;

namespace {

using CommonControls = ControlForm;

TEST_F(CommonControls, UpDownButtonsStepTheAssociatedEdit) {
  auto* edit = Add<TEdit>(10, 10, 60, 21);
  auto* updown = Add<TUpDown>(70, 10, 17, 21);
  updown->SetMin(0);
  updown->SetMax(3);
  updown->SetPosition(2);
  updown->SetAssociate(edit);
  EXPECT_EQ(edit->Text(), "2");
  std::vector<TUDBtnType> clicks;
  updown->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
  ClickAt(updown, updown->Width() / 2, 3);  // the upper arrow
  EXPECT_EQ(updown->Position(), 3);
  EXPECT_EQ(edit->Text(), "3");
  ClickAt(updown, updown->Width() / 2, 3);  // already at Max
  EXPECT_EQ(updown->Position(), 3);
  ClickAt(updown, updown->Width() / 2, updown->Height() - 3);
  EXPECT_EQ(updown->Position(), 2);
  ASSERT_FALSE(clicks.empty());
  EXPECT_EQ(clicks.front(), btNext);
  EXPECT_EQ(clicks.back(), btPrev);
}

TEST_F(CommonControls, UpDownOnChangingCanRefuseAStep) {
  auto* updown = Add<TUpDown>(70, 10, 17, 21);
  updown->SetPosition(5);
  int newValue = 0;
  updown->OnChangingEx = [&](TObject*, bool& allow, int value, TUpDownDirection) {
    newValue = value;
    allow = false;
  };
  ClickAt(updown, updown->Width() / 2, 3);
  EXPECT_EQ(newValue, 6);
  EXPECT_EQ(updown->Position(), 5);
  updown->SetPosition(500);
  EXPECT_EQ(updown->Position(), 100) << "kept within Min..Max";
}

TEST_F(CommonControls, ProgressBarKeepsItsPositionInRangeAndAcrossANewWindow) {
  auto* bar = Add<TProgressBar>(10, 10, 200, 16);
  bar->SetMax(50);
  bar->SetPosition(80);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetPosition(20);
  bar->StepBy(5);
  EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0), 25);
  bar->SetSmooth(true);  // a new window
  EXPECT_EQ(bar->Position(), 25);
  EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETRANGE, FALSE, 0), 50);
  EXPECT_TRUE(GetWindowLongW(bar->Handle(), GWL_STYLE) & PBS_SMOOTH);
}

TEST_F(CommonControls, MarqueeProgressBarMovesByItself) {
  auto* bar = Add<TProgressBar>(10, 10, 200, 16);
  bar->SetStyle(pbstMarquee);
  EXPECT_TRUE(GetWindowLongW(bar->Handle(), GWL_STYLE) & PBS_MARQUEE);
  bar->SetStyle(pbstNormal);
  EXPECT_FALSE(GetWindowLongW(bar->Handle(), GWL_STYLE) & PBS_MARQUEE);
}

TEST(Gauge, PercentDoneStaysWithinRangeEvenForAnEmptyRange) {
  Owned<TGauge> gauge = CreateOwned<TGauge>();
  gauge->SetMinValue(10);
  gauge->SetMaxValue(30);
  gauge->SetProgress(15);
  EXPECT_EQ(gauge->PercentDone(), 25);
  gauge->SetProgress(99);
  EXPECT_EQ(gauge->Progress(), 30);
  EXPECT_EQ(gauge->PercentDone(), 100);
  gauge->SetMaxValue(10);  // no range left: no division by zero
  EXPECT_EQ(gauge->PercentDone(), 0);
  EXPECT_EQ(gauge->Progress(), 10);
}

TEST_F(CommonControls, GaugeFillsItsShareOfTheBar) {
  auto* gauge = Create<TGauge>(form);
  gauge->SetParent(form);
  gauge->SetBounds(10, 10, 102, 20);
  gauge->SetForeColor(clBlue);
  gauge->SetBackColor(clWhite);
  gauge->SetShowText(false);
  gauge->SetProgress(50);
  Pump(20);
  HWND wnd = form->Handle();
  EXPECT_EQ(PixelOf(wnd, 10 + 1 + 10, 20), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(wnd, 10 + 1 + 90, 20), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(wnd, 10, 10), RGB(0, 0, 0)) << "single border";
}

TEST_F(CommonControls, StatusBarShowsSimpleTextAndPanels) {
  auto* bar = Create<TStatusBar>(form);
  bar->SetParent(form);
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight()) << "aligned to the bottom";
  bar->SetSimpleText("COM3  Disconnected");
  EXPECT_EQ(bar->PanelTextShown(SB_SIMPLEID), "COM3  Disconnected");
  EXPECT_EQ(bar->PanelTextShown(0), "COM3  Disconnected");
  EXPECT_NE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
  TStatusPanel* view = bar->Panels()->Add();
  view->SetWidth(80);
  view->SetText("View");
  TStatusPanel* port = bar->Panels()->Add();
  port->SetText("COM3");
  port->SetAlignment(taCenter);
  EXPECT_EQ(bar->PanelTextShown(0), "View");
  EXPECT_EQ(bar->PanelTextShown(1), "\tCOM3");
  EXPECT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 0, 0), 2);
  bar->SetSimplePanel(true);
  EXPECT_NE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
  EXPECT_THROW(bar->Panels()->Items(2), ERangeError);
  EXPECT_THROW(bar->Panels()->Delete(-1), ERangeError);
}

TEST_F(CommonControls, StatusBarHostsChildControls) {
  auto* bar = Create<TStatusBar>(form);
  bar->SetParent(form);
  bar->SetHeight(24);
  auto* box = Add<TCheckBox>(0, 0, 80, 17, bar);
  box->SetAlign(alRight);
  EXPECT_EQ(GetParent(box->Handle()), bar->Handle());
  EXPECT_EQ(box->Left() + box->Width(), bar->ClientWidth());
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  ClickAt(box, 6, box->Height() / 2);
  EXPECT_EQ(clicks, 1);
}

TEST_F(CommonControls, OwnerDrawnStatusPanelIsPaintedByTheHandler) {
  auto* bar = Create<TStatusBar>(form);
  bar->SetParent(form);
  TStatusPanel* panel = bar->Panels()->Add();
  panel->SetWidth(100);
  bar->Panels()->Add();
  int painted = 0;
  bar->OnDrawPanel = [&](TStatusBar* sender, TStatusPanel* p, const TRect& r) {
    EXPECT_EQ(p, panel);
    sender->Canvas()->Brush()->SetColor(clRed);
    sender->Canvas()->FillRect(r);
    ++painted;
  };
  panel->SetStyle(psOwnerDraw);
  InvalidateRect(bar->Handle(), nullptr, TRUE);
  Pump(30);
  EXPECT_GT(painted, 0);
  EXPECT_EQ(PixelOf(bar->Handle(), 50, bar->Height() / 2), RGB(255, 0, 0));
}

}  // namespace
