// Bit buttons and speed buttons: layout of picture and caption, clicks by
// cursor, groups, hover and the painted picture.
#include "classlib/Buttons.h"

#include <gtest/gtest.h>

#include "ControlForm.h"
#include "classlib/ImgList.h"

using namespace kv;
using kvtest::ControlForm;
using kvtest::Pump;

namespace {

struct PlacementCase {
  TButtonLayout layout;
  int margin, spacing;
  TPoint glyph;
  TRect text;
};

TEST(ButtonPlacement, PutsPictureAndCaptionWhereLayoutMarginAndSpacingSay) {
  // A 100 x 40 client, a 16 x 16 picture and a 30 x 12 caption.
  const PlacementCase cases[] = {
      {blGlyphLeft, -1, 4, {25, 12}, Bounds(45, 14, 30, 12)},  // the pair centred
      {blGlyphLeft, 5, 4, {5, 12}, Bounds(25, 14, 30, 12)},
      {blGlyphLeft, -1, -1, {18, 12}, Bounds(52, 14, 30, 12)},  // thirds
      {blGlyphRight, 5, 4, {79, 12}, Bounds(45, 14, 30, 12)},
      {blGlyphTop, 2, 3, {42, 2}, Bounds(35, 21, 30, 12)},
      {blGlyphBottom, 2, 3, {42, 22}, Bounds(35, 7, 30, 12)},
  };
  for (const auto& c : cases) {
    const TButtonPlacement p =
        PlaceGlyphAndText(Rect(0, 0, 100, 40), {16, 16}, {30, 12}, c.layout, c.margin, c.spacing);
    EXPECT_EQ(p.GlyphPos.X, c.glyph.X) << "layout " << c.layout << " margin " << c.margin;
    EXPECT_EQ(p.GlyphPos.Y, c.glyph.Y) << "layout " << c.layout << " margin " << c.margin;
    EXPECT_EQ(p.TextBounds, c.text) << "layout " << c.layout << " margin " << c.margin;
  }
  // Without a picture the caption alone is centred.
  const TButtonPlacement alone =
      PlaceGlyphAndText(Rect(0, 0, 100, 40), {0, 0}, {30, 12}, blGlyphLeft, -1, 4);
  EXPECT_EQ(alone.TextBounds, Bounds(35, 14, 30, 12));
}

// A 16 x 16 picture: red with a green background (its bottom-left pixel).
TBitmap RedSquareOnGreen() {
  TBitmap b(16, 16, pf24bit);
  for (int y = 0; y < 16; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < 16; ++x) {
      const bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
      row[x * 3] = 0;
      row[x * 3 + 1] = inside ? 0 : 255;
      row[x * 3 + 2] = inside ? 255 : 0;
    }
  }
  return b;
}

using BitButtons = ControlForm;

TEST_F(BitButtons, IsOwnerDrawnAndClicksLikeAButton) {
  auto* button = Add<TBitBtn>(10, 10, 100, 30);
  button->SetCaption("Login");
  button->SetModalResult(mrYes);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(GetWindowLongW(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), mrYes);
}

TEST_F(BitButtons, PaintsItsGlyphWithTheBackgroundLeftOut) {
  auto* button = Add<TBitBtn>(10, 10, 100, 40);
  button->SetGlyph(RedSquareOnGreen());
  button->SetMargin(10);
  Pump(30);
  HWND wnd = button->Handle();
  // The picture sits at x = 2 (frame) + 10, centred vertically: y = 12.
  EXPECT_EQ(PixelOf(wnd, 12 + 8, 12 + 8), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(wnd, 12 + 1, 12 + 1), ColorToRGB(clBtnFace)) << "the green is transparent";
  button->SetEnabled(false);
  Pump(30);
  const COLORREF grey = PixelOf(wnd, 12 + 8, 12 + 8);
  EXPECT_TRUE(GetRValue(grey) == GetGValue(grey) && GetGValue(grey) == GetBValue(grey))
      << "a disabled glyph is grey, got 0x" << std::hex << grey;
}

TEST_F(BitButtons, BlendsA32BitGlyphByItsAlpha) {
  TBitmap glyph(16, 16, pf32bit);
  for (int y = 0; y < 16; ++y) {
    uint8_t* row = glyph.ScanLine(y);
    for (int x = 0; x < 16; ++x) {
      row[x * 4] = 255;  // blue, opaque on the left half only
      row[x * 4 + 1] = 0;
      row[x * 4 + 2] = 0;
      row[x * 4 + 3] = x < 8 ? 255 : 0;
    }
  }
  auto* button = Add<TBitBtn>(10, 10, 100, 40);
  button->SetGlyph(glyph);
  button->SetMargin(10);
  Pump(30);
  HWND wnd = button->Handle();
  EXPECT_EQ(PixelOf(wnd, 12 + 2, 12 + 8), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(wnd, 12 + 12, 12 + 8), ColorToRGB(clBtnFace));
}

TEST_F(BitButtons, DrawsAnImageListPictureByIndex) {
  auto* images = Create<TImageList>(form);
  images->SetWidth(16);
  images->SetHeight(16);
  TBitmap strip = RedSquareOnGreen();
  images->Add(strip, nullptr);
  auto* button = Add<TBitBtn>(10, 10, 100, 40);
  button->SetImages(images);
  button->SetImageIndex(0);
  button->SetMargin(10);
  Pump(30);
  EXPECT_EQ(PixelOf(button->Handle(), 20, 20), RGB(255, 0, 0));
  images->Free();
  EXPECT_EQ(button->Images(), nullptr) << "a freed image list is forgotten";
}

using SpeedButtons = ControlForm;

TEST_F(SpeedButtons, AClickByCursorRaisesOnClickOnce) {
  auto* button = Add<TSpeedButton>(10, 10, 60, 25);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Down()) << "no group: never stays down";
}

TEST_F(SpeedButtons, PressingOneOfAGroupReleasesTheOthers) {
  auto* a = Add<TSpeedButton>(10, 10, 60, 25);
  auto* b = Add<TSpeedButton>(80, 10, 60, 25);
  auto* other = Add<TSpeedButton>(150, 10, 60, 25);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  other->SetGroupIndex(2);
  other->SetDown(true);
  a->SetDown(true);
  Click(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(other->Down()) << "another group";
  Click(b);
  EXPECT_TRUE(b->Down()) << "one must stay down unless AllowAllUp";
  b->SetAllowAllUp(true);
  Click(b);
  EXPECT_FALSE(b->Down());
}

// Exposes the hover flag the painting uses.
class TProbeSpeedButton : public TSpeedButton {
 public:
  using TSpeedButton::TSpeedButton;
  bool Hot() const { return MouseInControl(); }
};

TEST_F(SpeedButtons, FlatButtonKnowsWhenTheCursorIsOverIt) {
  auto* button = Add<TProbeSpeedButton>(10, 10, 60, 25);
  button->SetFlat(true);
  const TPoint inside = button->ClientToScreen(TPoint{30, 12});
  SetCursorPos(inside.X, inside.Y);
  ASSERT_TRUE(kvtest::PumpUntil([&] { return button->Hot(); }));
  SetCursorPos(inside.X + 200, inside.Y + 200);
  EXPECT_TRUE(kvtest::PumpUntil([&] { return !button->Hot(); }));
}

TEST_F(SpeedButtons, PaintsItsGlyph) {
  form->SetColor(clWhite);
  auto* button = Add<TSpeedButton>(10, 10, 40, 40);
  button->SetFlat(true);
  button->SetGlyph(RedSquareOnGreen());
  Pump(30);
  // Centred: (40 - 16) / 2 = 12 from the button's corner.
  EXPECT_EQ(PixelOf(form->Handle(), 10 + 12 + 8, 10 + 12 + 8), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(form->Handle(), 10 + 12 + 1, 10 + 12 + 1), RGB(255, 255, 255));
}

}  // namespace
