// Panels, bevels, pictures and scroll boxes on a shown form.
#include "classlib/ExtCtrls.h"

#include <gtest/gtest.h>

#include "ControlForm.h"

using namespace kv;
using kvtest::ControlForm;
using kvtest::Pump;

namespace {

using Containers = ControlForm;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A solid picture of one colour.
std::unique_ptr<TBitmapImage> SolidPicture(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  auto image = std::make_unique<TBitmapImage>();
  image->Bitmap().SetPixelFormat(pf24bit);
  image->Bitmap().SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = image->Bitmap().ScanLine(y);
    for (int x = 0; x < w; ++x) {
      row[x * 3] = b;
      row[x * 3 + 1] = g;
      row[x * 3 + 2] = r;
    }
  }
  return image;
}

TEST_F(Containers, PanelBevelsInsetItsChildrenAndPaintItsEdges) {
  auto* panel = Add<TPanel>(10, 10, 200, 100);
  panel->SetColor(clWhite);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  auto* child = Add<TPanel>(0, 0, 10, 10, panel);
  child->SetBevelOuter(bvNone);
  child->SetAlign(alClient);
  EXPECT_EQ(child->BoundsRect(), Rect(4, 4, 196, 96)) << "outer and inner bevel, 2 pixels each";
  child->SetVisible(false);
  Pump(20);
  HWND wnd = panel->Handle();
  EXPECT_EQ(PixelOf(wnd, 0, 0), ColorToRGB(clBtnHighlight)) << "raised outer edge";
  EXPECT_EQ(PixelOf(wnd, 199, 99), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelOf(wnd, 2, 2), ColorToRGB(clBtnShadow)) << "lowered inner edge";
  EXPECT_EQ(PixelOf(wnd, 100, 80), RGB(255, 255, 255)) << "filled with Color";
}

TEST_F(Containers, DefaultButtonInsideAPanelAnswersEnter) {
  auto* panel = Add<TPanel>(10, 10, 200, 100);
  auto* edit = Add<TEdit>(10, 10, 100, 21, panel);
  auto* button = Add<TButton>(10, 50, 75, 25, panel);
  button->SetDefault(true);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  edit->SetFocus();
  PressKey(VK_RETURN);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Containers, BevelLineIsDrawnAtTheBottom) {
  form->SetColor(clWhite);
  auto* bevel = Create<TBevel>(form);
  bevel->SetParent(form);
  bevel->SetBounds(10, 10, 100, 10);
  bevel->SetShape(bsBottomLine);
  Pump(20);
  HWND wnd = form->Handle();
  EXPECT_EQ(PixelOf(wnd, 50, 18), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelOf(wnd, 50, 19), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelOf(wnd, 50, 12), RGB(255, 255, 255)) << "nothing above the line";
}

TEST_F(Containers, ImageDrawsItsPictureStretchedOrCentred) {
  form->SetColor(clWhite);
  auto* image = Create<TImage>(form);
  image->SetParent(form);
  image->SetBounds(10, 10, 100, 60);
  image->Picture().SetGraphic(SolidPicture(20, 10, 255, 0, 0));
  Pump(20);
  HWND wnd = form->Handle();
  EXPECT_EQ(PixelOf(wnd, 15, 15), kRed);
  EXPECT_EQ(PixelOf(wnd, 50, 50), RGB(255, 255, 255)) << "natural size: top left only";
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), Rect(40, 25, 60, 35));
  Pump(20);
  EXPECT_EQ(PixelOf(wnd, 60, 40), kRed);
  EXPECT_EQ(PixelOf(wnd, 15, 15), RGB(255, 255, 255));
  image->SetStretch(true);
  EXPECT_EQ(image->DestRect(), Rect(0, 0, 100, 60));
  image->SetProportional(true);
  EXPECT_EQ(image->DestRect(), Rect(0, 5, 100, 55)) << "2:1 picture in a 100 x 60 box";
  image->Picture().SetGraphic(SolidPicture(20, 10, 0, 0, 255));
  image->SetStretch(false);
  image->SetCenter(false);
  Pump(20);
  EXPECT_EQ(PixelOf(wnd, 15, 15), kBlue) << "a new picture repaints";
}

TEST_F(Containers, ScrollBoxRangeFollowsItsChildrenAndScrollingMovesThem) {
  auto* box = Add<TScrollBox>(10, 10, 200, 100);
  auto* distant = Add<TPanel>(10, 250, 50, 50, box);
  box->UpdateScrollBars();
  TControlScrollBar* vert = box->VertScrollBar();
  EXPECT_EQ(vert->Range(), 300);
  EXPECT_TRUE(vert->IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_TRUE(GetWindowLongW(box->Handle(), GWL_STYLE) & WS_VSCROLL);
  SendMessageW(box->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(vert->Position(), vert->Increment());
  EXPECT_EQ(distant->Top(), 250 - vert->Increment());
  vert->SetPosition(10000);
  const int page = box->ClientHeight();
  EXPECT_EQ(vert->Position(), 300 - page) << "no further than the end";
  EXPECT_EQ(distant->Top() + distant->Height(), page);
  box->ScrollInView(distant);
  vert->SetPosition(0);
  EXPECT_EQ(distant->Top(), 250);
  distant->SetTop(20);
  box->UpdateScrollBars();
  EXPECT_FALSE(vert->IsScrollBarVisible()) << "everything fits again";
}

}  // namespace
