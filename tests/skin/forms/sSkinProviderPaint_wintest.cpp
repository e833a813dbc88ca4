// The skinned frame under Wine with the synthetic skin: what the frame
// cache holds for each kind of form (read by the legend colours), that the
// window shows the cache after each change that makes the system paint its
// own caption, the fall-backs of a skin lacking frame pictures, and the
// added title.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SkinnedFormFixture.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {
namespace {

using kvtest::TPixels;

struct TFormKind {
  const char* Name;
  TFormBorderStyle Style;
  TWindowState State = wsNormal;
  int BorderWidth = 0;
};
void PrintTo(const TFormKind& k, std::ostream* os) { *os << k.Name; }

const TFormKind kFormKinds[] = {
    {"Sizeable", bsSizeable},
    {"Single", bsSingle},
    {"Dialog", bsDialog},
    {"ToolWindow", bsToolWindow},
    {"SizeToolWin", bsSizeToolWin},
    {"BorderWidth5", bsSizeable, wsNormal, 5},
    {"Maximised", bsSizeable, wsMaximized},
};

class FrameOfFormKind : public ::testing::TestWithParam<TFormKind>,
                        public kvtest::TSkinnedFormFixture {};

// Title, borders, client and close button, each in its own legend colour,
// with the title buttons of the form's size.
TEST_P(FrameOfFormKind, CacheHoldsEachFrameElementInItsLegendColour) {
  const TFormKind& k = GetParam();
  form->SetBorderStyle(k.Style);
  form->SetBorderWidth(k.BorderWidth);
  form->SetCaption("");
  Provide();
  Show();
  if (k.State == wsMaximized) {
    form->SetWindowState(wsMaximized);
    kvtest::PumpUntilIdle();
  }
  LookActive();
  const TsFrameGeometry g = provider->Geometry();
  const TPixels cache = Cache();
  ASSERT_EQ(cache.Width(), g.FrameWidth());
  ASSERT_EQ(cache.Height(), g.State.Height);

  const int title = g.TitleBandBottom();
  ASSERT_GT(title, 0);
  EXPECT_EQ(SectionAt(cache, cache.Width() / 3, title / 2), "FORMTITLE");
  const TRect client = g.ClientRect();
  EXPECT_EQ(ItemAt(cache, client.Left + client.Width() / 2, client.Top + client.Height() / 2),
            "FORM.COLOR#0");
  if (k.State != wsMaximized) {
    EXPECT_EQ(SectionAt(cache, 1, title + (cache.Height() - title) / 2), "FORM");
  }
  if (k.BorderWidth > 0) {
    EXPECT_EQ(ItemAt(cache, client.Left - 2, client.Top + 5), "FORM.COLOR#0");
  }

  const TsPlacedTitleButton& close = provider->PlacedButtons().at(0);
  ASSERT_EQ(close.HitCode, TitleHit::Close);
  const bool large = k.Style == bsSingle || k.Style == bsSizeable;
  EXPECT_EQ(close.Rect.Width(),
            large ? kvtest::TTestSkin::kBigIconW : kvtest::TTestSkin::kSmallIconW);
  const int cx = close.Rect.Left + close.Rect.Width() / 2;
  const int cy = close.Rect.Top + close.Rect.Height() / 2;
  EXPECT_EQ(ItemAt(cache, cx, cy), large ? "GLOBALINFO.BICONCLOSE#0" : "GLOBALINFO.SICONCLOSE#0");
  if (k.State == wsMaximized) {
    const TsPlacedTitleButton& restore = provider->PlacedButtons().at(1);
    EXPECT_EQ(ItemAt(cache, restore.Rect.Left + 5, restore.Rect.Top + 5), "GLOBALINFO.BICONNORM#0");
  }
}

INSTANTIATE_TEST_SUITE_P(Provider, FrameOfFormKind, ::testing::ValuesIn(kFormKinds),
                         [](const auto& info) { return std::string(info.param.Name); });

class SkinnedFrame : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  // The window's frame pixels away from the cut corners equal the cache's.
  ::testing::AssertionResult WindowShowsCache() {
    const TPixels window = TPixels::FromWindow(Wnd());
    const TPixels cache = Cache();
    const TsFrameGeometry g = provider->Geometry();
    const int run = kvtest::TTestSkin::kCornerRun + 1;
    RECT area{run, run, cache.Width() - run, g.ClientTopOffset()};
    return kvtest::SameImage(window.Crop(area), cache.Crop(area));
  }
};

// The system paints its own caption on activation, a new caption and a new
// icon; the frame afterwards is the skinned one again, with composition on
// and off.
class SkinnedFrameComposition : public SkinnedFrame, public ::testing::WithParamInterface<bool> {};

TEST_P(SkinnedFrameComposition, WindowShowsTheCacheAfterEachChangeThatRepaintsTheCaption) {
  if (!GetParam()) platform_.Calls().IsCompositionEnabled = +[] { return false; };
  form->SetCaption("Caption");
  Provide();
  Show();
  EXPECT_TRUE(WindowShowsCache());
  SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_FALSE(provider->FormActive());
  EXPECT_TRUE(WindowShowsCache());
  SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
  EXPECT_TRUE(WindowShowsCache());
  SetWindowTextW(Wnd(), L"Another caption");
  EXPECT_TRUE(WindowShowsCache());
  SendMessageW(Wnd(), WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_APPLICATION)));
  EXPECT_TRUE(WindowShowsCache());
}

INSTANTIATE_TEST_SUITE_P(Provider, SkinnedFrameComposition, ::testing::Values(true, false),
                         [](const auto& info) {
                           return std::string(info.param ? "CompositionOn" : "CompositionOff");
                         });

// Activity shows in the title and the border mask, never in the client.
TEST_F(SkinnedFrame, ActivationChangesTheTitleStateButNotTheClient) {
  form->SetCaption("");
  Provide();
  Show();
  const TsFrameGeometry g = provider->Geometry();
  const TRect client = g.ClientRect();
  SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
  const TPixels active = Cache();
  SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
  const TPixels inactive = Cache();
  const int x = active.Width() / 3, y = g.TitleBandBottom() / 2;
  EXPECT_EQ(ItemAt(active, x, y), "FORMTITLE.BORDERSMASK#1");
  EXPECT_EQ(ItemAt(inactive, x, y), "FORMTITLE.BORDERSMASK#0");
  EXPECT_EQ(active.At(client.Left + 3, client.Top + 3),
            inactive.At(client.Left + 3, client.Top + 3));
}

// The size grip's mask lies in the cache at the grip's place.
TEST_F(SkinnedFrame, TheGripIsPaintedAtItsPlaceInTheCache) {
  form->SetCaption("");
  Provide();
  provider->GripMode = gmRightBottom;
  Show();
  TsSkinManager* manager = provider->SkinManager();
  ASSERT_NE(manager, nullptr);
  const int mask = manager->Skin().MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
  ASSERT_TRUE(manager->Skin().IsMaskIndexValid(mask));
  const TPoint at = provider->GripPosition(mask);
  const TsMaskData& m = manager->Skin().MaskData[static_cast<size_t>(mask)];
  provider->PaintGrip(provider->SkinData()->CacheBmp.get());
  const TPixels cache = Cache();
  int grip = 0;
  for (int y = 0; y < MaskStateHeight(m); ++y)
    for (int x = 0; x < MaskFrameWidth(m); ++x)
      grip += ItemAt(cache, at.X + x, at.Y + y).rfind("GLOBALINFO.GRIPIMAGE", 0) == 0;
  EXPECT_GT(grip, 0);
}

// A sizeable form with the grip and a plain background shows the grip on
// the window where its corner answers the bottom-right sizing code, though
// the grip is not in the frame's picture.
TEST_F(SkinnedFrame, ThePlainFormShowsTheGripWhereItsCornerSizes) {
  form->SetCaption("");
  Provide();
  provider->GripMode = gmRightBottom;
  Show();
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  TsSkinManager* manager = provider->SkinManager();
  const int mask = manager->Skin().MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
  ASSERT_TRUE(manager->Skin().IsMaskIndexValid(mask));
  const TsMaskData& m = manager->Skin().MaskData[static_cast<size_t>(mask)];
  const TPoint at = provider->GripPosition(mask);
  const TPixels window = TPixels::FromWindow(Wnd());
  int grip = 0;
  for (int y = 0; y < MaskStateHeight(m); ++y)
    for (int x = 0; x < MaskFrameWidth(m); ++x)
      grip += ItemAt(window, at.X + x, at.Y + y).rfind("GLOBALINFO.GRIPIMAGE", 0) == 0;
  EXPECT_GT(grip, 0);
  RECT w{};
  GetWindowRect(Wnd(), &w);
  const LPARAM corner =
      MAKELPARAM(w.left + at.X + MaskFrameWidth(m) / 2, w.top + at.Y + MaskStateHeight(m) / 2);
  EXPECT_EQ(SendMessageW(Wnd(), WM_NCHITTEST, 0, corner), HTBOTTOMRIGHT);
}

// A main menu gets the menu line's band under the title, one menu height
// per line; a dialog never shows one.
TEST_F(SkinnedFrame, AMainMenuGetsTheMenuLineBandUnderTheTitle) {
  auto* menu = Create<TMainMenu>(form);
  auto* item = Create<TMenuItem>(menu);
  item->SetCaption("File");
  menu->Items()->Add(item);
  form->SetMenu(menu);
  form->SetCaption("");
  Provide();
  Show();
  provider->InvalidateFrame();
  const TPixels cache = Cache();
  const TsFrameGeometry g = provider->Geometry();
  EXPECT_EQ(provider->MenuLineCount, 1);
  const int top = g.TitleBandBottom();
  EXPECT_EQ(SectionAt(cache, cache.Width() / 2, top + g.MenuHeight() / 2), "MENULINE");
  EXPECT_EQ(SectionAt(cache, cache.Width() / 2, top - 2), "FORMTITLE");
  EXPECT_GE(provider->ClientTopOffset(), top + g.MenuHeight());
}

// The picture an animated show fades in holds the form as the window shows
// it: the skinned title and border round a child at its place.
TEST_F(SkinnedFrame, AFormsPictureHoldsItsSkinnedFrameAndItsChildren) {
  form->SetCaption("");
  auto* child = Create<TPanel>(form);
  child->SetParent(form);
  child->SetBounds(20, 30, 60, 40);
  child->SetColor(0x2080C0);
  Provide();
  Show();
  const TPixels window = TPixels::FromWindow(Wnd());
  TBitmap picture(form->Width(), form->Height(), pf24bit);
  PaintControlToBitmap(&picture, form, 0, 0, provider);
  const TPixels painted = TPixels::FromBitmap(picture);
  const TsFrameGeometry g = provider->Geometry();
  const TRect client = g.ClientRect();
  const struct {
    POINT at;
    const char* what;
  } points[] = {{{window.Width() / 3, g.TitleBandBottom() / 2}, "title"},
                {{1, window.Height() / 2}, "left border"},
                {{client.Left + 20 + 30, client.Top + 30 + 20}, "child"},
                {{client.Left + 5, client.Bottom - 5}, "client"}};
  for (const auto& p : points)
    EXPECT_EQ(painted.At(p.at.x, p.at.y), window.At(p.at.x, p.at.y)) << p.what;
  EXPECT_EQ(SectionAt(painted, window.Width() / 3, g.TitleBandBottom() / 2), "FORMTITLE");
}

// The caption's plate lies behind the text, the title bar mask behind the
// buttons.
TEST_F(SkinnedFrame, CaptionPlateAndTitleBarMaskAreInTheirPlaces) {
  form->SetCaption("Caption");
  Provide();
  Show();
  const TPixels cache = Cache();
  const TsFrameGeometry g = provider->Geometry();
  const COLORREF plate = skin.Colour("CAPTION", "BORDERSMASK", 1);
  const TRect text = g.CaptionTextRect(provider->TitleButtonsWidth(), true);
  RECT band{text.Left - 4, 0, text.Right + 4, g.TitleBandBottom()};
  EXPECT_TRUE(kvtest::ColourOnlyInside(cache, plate, band));
  const COLORREF bar = skin.Colour("FORM", "TITLEBAR", 1);
  RECT right{cache.Width() - provider->TitleButtonsWidth() - 24, 0, cache.Width(),
             g.TitleBandBottom()};
  EXPECT_TRUE(kvtest::ColourOnlyInside(cache, bar, right));
}

// A form under a skin lacking the frame pictures.
class SkinnedFrameMinimal : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  SkinnedFrameMinimal() : TSkinnedFormFixture(kvtest::TTestSkinOptions{.Minimal = true}) {}
  void ShowWithCaption(const char* caption) {
    form->SetCaption(caption);
    Provide();
    Show();
  }
};

// A skin without the title bar mask, the caption plate and the large close
// icon still paints the title and leaves out what it lacks: no close button
// is placed, and the maximise button takes the rightmost place.
TEST_F(SkinnedFrameMinimal, ASkinLackingFramePicturesPaintsItsFallBacks) {
  ShowWithCaption("Caption");
  const TPixels cache = Cache();
  const TsFrameGeometry g = provider->Geometry();
  EXPECT_EQ(SectionAt(cache, cache.Width() / 3, g.TitleBandBottom() / 2), "FORMTITLE");
  for (int state = 0; state < 2; ++state)
    EXPECT_EQ(cache.CountOf(skin.Colour("FORM", "TITLEBAR", state), cache.Whole()), 0);
  EXPECT_EQ(provider->ButtonMasks().Close, -1);
  const TsPlacedTitleButton& max = provider->PlacedButtons().at(0);
  EXPECT_EQ(max.HitCode, TitleHit::MaxButton);
  EXPECT_EQ(max.Rect.Right, g.FrameWidth() - g.FrameBorderWidth(true) - g.Skin.BIRight);
  EXPECT_EQ(ItemAt(cache, max.Rect.Left + 10, max.Rect.Top + 10), "GLOBALINFO.BICONMAX#0");

  // A title section the skin lacks leaves the form's own section there.
  provider->SetTitleSkin("NOSUCHTITLE");
  provider->InvalidateFrame();
  const TPixels untitled = Cache();
  EXPECT_EQ(SectionAt(untitled, untitled.Width() / 3, g.TitleBandBottom() / 2), "FORM");
}

// A hue or saturation changed with the form open recolours its whole frame
// and its client, though its border looks the same active and inactive.
TEST_F(SkinnedFrameMinimal, ARecolouredSkinRepaintsBordersAndClient) {
  ShowWithCaption("Caption");
  const TsFrameGeometry g = provider->Geometry();
  const TPoint border{1, g.State.Height / 2};
  const TPoint client{g.ClientLeftOffset() + 20, g.ClientTopOffset() + 20};
  const TPixels before = TPixels::FromWindow(Wnd());
  for (const auto& recolour : {std::function<void()>([&] { manager->SetHueOffset(120); }),
                               std::function<void()>([&] { manager->SetSaturation(-100); })}) {
    const TPixels was = TPixels::FromWindow(Wnd());
    recolour();
    kvtest::PumpUntilIdle();
    const TPixels cache = Cache(), window = TPixels::FromWindow(Wnd());
    for (const TPoint& p : {border, client}) {
      EXPECT_NE(window.At(p.X, p.Y), was.At(p.X, p.Y)) << p.X << "," << p.Y;
      EXPECT_EQ(window.At(p.X, p.Y), cache.At(p.X, p.Y)) << p.X << "," << p.Y;
    }
  }
  EXPECT_EQ(SectionAt(before, border.X, border.Y), "FORM");
}

// The outline drag of the border resize mode is for frames without
// composition: the first frame painting with composition switches it off.
TEST_F(SkinnedFrame, CompositionTurnsTheBorderResizeModeBackToStandard) {
  Provide();
  Show();
  provider->ResizeMode = rmBorder;
  provider->InvalidateFrame();
  EXPECT_EQ(provider->ResizeMode, rmStandard);
}

// A resized frame is painted whole even where activation alone would
// repaint only the title: the buttons follow the right edge.
TEST_F(SkinnedFrameMinimal, AWiderFrameIsPaintedWholeWithItsButtonsAtTheNewEdge) {
  ShowWithCaption("");
  // Without a close mask the maximise button comes first.
  const TRect before = provider->PlacedButtons().at(0).Rect;
  SetWindowPos(Wnd(), nullptr, 0, 0, 360, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  kvtest::PumpUntilIdle();
  SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
  const TPixels cache = Cache();
  ASSERT_EQ(cache.Width(), 360);
  const TRect after = provider->PlacedButtons().at(0).Rect;
  EXPECT_EQ(after.Left - before.Left, 60);
  EXPECT_EQ(ItemAt(cache, after.Left + 10, after.Top + 10), "GLOBALINFO.BICONMAX#0");
  EXPECT_EQ(SectionAt(cache, before.Left + 10, before.Top + 10), "FORMTITLE");
}

// A minimised form keeps its title (with the restore mask on the minimise
// button) and paints nothing below it.
TEST(SkinnedFrameMinimised, AMinimisedFormPaintsItsTitleWithARestoreButton) {
  kvtest::TSkinnedFormFixture f;
  f.form->SetCaption("");
  f.Provide();
  f.Show();
  ShowWindow(f.Wnd(), SW_MINIMIZE);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(IsIconic(f.Wnd()));
  f.provider->InvalidateFrame();
  f.provider->PaintFrameCache();
  const TPixels cache = f.Cache();
  const TsFrameGeometry g = f.provider->Geometry();
  ASSERT_EQ(cache.Width(), g.State.Width);
  EXPECT_EQ(f.SectionAt(cache, cache.Width() / 3, g.TitleBandBottom() / 2), "FORMTITLE");
  const auto& placed = f.provider->PlacedButtons();
  auto min = std::find_if(placed.begin(), placed.end(), [](const TsPlacedTitleButton& b) {
    return b.HitCode == TitleHit::MinButton;
  });
  ASSERT_NE(min, placed.end());
  EXPECT_EQ(min->Mask, TsTitleMask::Restore);
}

// The added title is written after the caption, inside the room the title
// buttons leave, as soon as it is set: by the full repaint, and by the
// title-only repaint of a skin whose border looks the same either way.
class AddedTitle : public ::testing::TestWithParam<bool> {};

TEST_P(AddedTitle, PixelsLieInsideItsPlace) {
  kvtest::TTestSkinOptions options;
  options.Minimal = GetParam();
  kvtest::TSkinnedFormFixture f(options);
  f.form->SetCaption("Caption");
  f.Provide();
  f.Show();
  SendMessageW(f.Wnd(), WM_NCACTIVATE, FALSE, 0);
  const TPixels without = f.Cache();
  TFont font;
  font.Assign(f.provider->AddedTitle.Font());
  font.SetColor(static_cast<TColor>(0x0000FF));
  f.provider->AddedTitle.SetFont(font);
  f.provider->AddedTitle.SetText("Added");
  const TPixels with = f.Cache();
  ASSERT_EQ(with.Width(), without.Width());
  const TsFrameGeometry g = f.provider->Geometry();
  const TRect text = g.CaptionTextRect(f.provider->TitleButtonsWidth(), !GetParam());
  // Right of the caption itself: its first 20 pixels are certainly caption.
  RECT place{text.Left + 20, text.Top, text.Right, text.Bottom};
  TPixels diff(with.Width(), with.Height(), 0);
  int differing = 0;
  for (int y = 0; y < with.Height(); ++y)
    for (int x = 0; x < with.Width(); ++x)
      if (with.At(x, y) != without.At(x, y)) {
        diff.Set(x, y, 1);
        ++differing;
      }
  EXPECT_GT(differing, 0);
  EXPECT_TRUE(kvtest::ColourOnlyInside(diff, 1, place));
  // Inactive, its own colour is mixed half-way with the title's; active, it
  // is its own.
  const TsSkinModel& skin = f.manager->Skin();
  const TColor title = static_cast<TColor>(
      skin.GeneralData[static_cast<size_t>(f.provider->TitleSectionIndex)].Color);
  const TColor mixed = MixColorsByFraction(static_cast<TColor>(0x0000FF), title, 0.5);
  EXPECT_GT(with.CountOf(ColorToRGB(mixed), place), 0);
  EXPECT_EQ(with.CountOf(0x0000FF, place), 0);
  f.LookActive();
  EXPECT_GT(f.Cache().CountOf(0x0000FF, place), 0);
}

// Read from the form's stream the text waits for the first paint; given
// later it shows at once, in the title's own font colour when its font
// names none.
TEST_P(AddedTitle, WaitsWhileLoadingAndTakesTheTitlesColourByDefault) {
  kvtest::TTestSkinOptions options;
  options.Minimal = GetParam();
  kvtest::TSkinnedFormFixture f(options);
  f.form->SetCaption("Caption");
  f.Provide();
  f.Show();
  f.LookActive();
  ASSERT_EQ(f.provider->AddedTitle.Font().Color(), clNone);
  const TPixels without = f.Cache();
  f.provider->BeginLoading();
  f.provider->AddedTitle.SetText("Added");
  EXPECT_FALSE(kvtest::ImagesDiffer(f.Cache(), without)) << "repainted while loading";
  f.provider->EndLoading();
  f.provider->AddedTitle.SetText("");
  f.provider->AddedTitle.SetText("Added");
  const TPixels with = f.Cache();
  ASSERT_EQ(with.Width(), without.Width());
  const TsSkinModel& skin = f.manager->Skin();
  const COLORREF titleFont = ColorToRGB(static_cast<TColor>(
      skin.GeneralData[static_cast<size_t>(f.provider->TitleSectionIndex)].HotFontColor[0]));
  int inTitleFont = 0;
  for (int y = 0; y < with.Height(); ++y)
    for (int x = 0; x < with.Width(); ++x)
      if (with.At(x, y) != without.At(x, y) && with.At(x, y) == titleFont) ++inTitleFont;
  EXPECT_GT(inTitleFont, 0);
}

INSTANTIATE_TEST_SUITE_P(Provider, AddedTitle, ::testing::Values(false, true),
                         [](const auto& info) {
                           return std::string(info.param ? "TitleOnlyRepaint" : "FullRepaint");
                         });

// A background that is more than a colour (a texture, a gradient) reaches
// the window's client area, which shows the cache's client whatever the
// screen held there: for a form with its own provider and for a form the
// dialog hook gives one.
struct TBackgroundCase {
  const char* Name;
  bool Textured;
  bool Hooked;
};
void PrintTo(const TBackgroundCase& c, std::ostream* os) { *os << c.Name; }

class FormBackground : public ::testing::TestWithParam<TBackgroundCase> {};

TEST_P(FormBackground, TheClientShowsTheSectionsPictureNotWhatTheScreenHeld) {
  const TBackgroundCase& c = GetParam();
  kvtest::TTestSkinOptions options;
  (c.Textured ? options.Textured : options.Gradient) = {"FORM", "DIALOG"};
  kvtest::TSkinnedFormFixture f(options);
  f.form->SetCaption("");
  if (c.Hooked) {
    f.form->HandleNeeded();
    ASSERT_TRUE(AddProvider(f.Wnd()));
    auto* found = reinterpret_cast<TacFormProvider*>(
        SendMessageW(f.Wnd(), SM_ALPHACMD, CommandWParam(cmdGetProvider), 0));
    f.provider = dynamic_cast<TsSkinProvider*>(found);
    ASSERT_NE(f.provider, nullptr);
  } else {
    f.Provide();
  }
  f.Show();
  const TsFrameGeometry g = f.provider->Geometry();
  const TRect client = g.ClientRect();
  const RECT area{client.Left, client.Top, client.Right, client.Bottom};
  // What another window left on the screen.
  HDC dc = GetDC(f.Wnd());
  const RECT whole{0, 0, client.Width(), client.Height()};
  FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(f.Wnd(), dc);
  const TPixels window = TPixels::FromWindow(f.Wnd());
  const TPixels cache = f.Cache();
  EXPECT_TRUE(kvtest::SameImage(window.Crop(area), cache.Crop(area)));
  if (c.Textured) {
    EXPECT_GT(cache.CountOf(kvtest::TTestSkin::kCheckerA, area), 0);
    EXPECT_GT(cache.CountOf(kvtest::TTestSkin::kCheckerB, area), 0);
  } else {
    EXPECT_NE(cache.At(client.Left + 5, client.Top + 1),
              cache.At(client.Left + 5, client.Bottom - 2));
  }
}

const TBackgroundCase kBackgroundCases[] = {
    {"Textured", true, false},
    {"Gradient", false, false},
    {"TexturedHooked", true, true},
    {"GradientHooked", false, true},
};
INSTANTIATE_TEST_SUITE_P(Provider, FormBackground, ::testing::ValuesIn(kBackgroundCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The section's corner pictures lie over the border at the frame's corners,
// in the frame's state; the window shows them.
TEST(SkinnedFrameCorners, TheBottomCornerImagesLieOverTheBorder) {
  kvtest::TTestSkinOptions options;
  options.CornerImages = {"FORM"};
  kvtest::TSkinnedFormFixture f(options);
  f.form->SetCaption("");
  f.Provide();
  f.Show();
  const TPixels window = TPixels::FromWindow(f.Wnd());
  const int w = window.Width(), h = window.Height(), half = kvtest::TTestSkin::kBorderFrame / 2;
  EXPECT_EQ(f.ItemAt(window, half, h - half), "FORM.IMGBTMLEFT#1");
  EXPECT_EQ(f.ItemAt(window, w - half, h - half), "FORM.IMGBTMRIGHT#1");
  // On the border itself too, not under it.
  EXPECT_EQ(f.ItemAt(window, 1, h - half), "FORM.IMGBTMLEFT#1");
  SendMessageW(f.Wnd(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_EQ(f.ItemAt(f.Cache(), 1, h - half), "FORM.IMGBTMLEFT#0");
}

// The window shows now what a complete repaint of it shows.
bool ShowsWhatARepaintShows(HWND wnd) {
  const TPixels now = TPixels::FromWindow(wnd);
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return !kvtest::ImagesDiffer(now, TPixels::FromWindow(wnd));
}

// A skin switch shows each window of a frozen form once: the form, a panel
// and the button in it are each painted once on the screen (the animated
// change also paints them once into its picture, with a DC of its own), and
// the window then shows what a repaint of it shows.
class SkinSwitch : public ::testing::TestWithParam<bool> {};

TEST_P(SkinSwitch, PaintsEachWindowOfTheFormOnce) {
  kvtest::TSkinnedFormFixture f;
  f.manager->AnimEffects.SkinChanging.Active = GetParam();
  f.manager->AnimEffects.SkinChanging.Time = 16;
  TsStoredSkin& dark = f.manager->InternalSkins.Add();
  dark.Name = "Dark";
  dark.Data = kvtest::TTestSkin(kvtest::DarkTexturedSkinOptions()).Packed();
  auto* panel = Create<TPanel>(f.form);
  panel->SetParent(f.form);
  panel->SetBounds(10, 10, 160, 110);
  auto* button = Create<TButton>(f.form);
  button->SetParent(panel);
  button->SetBounds(10, 10, 80, 25);
  f.Provide();
  f.Show();

  kvtest::TMessageRecorder recorder;
  const HWND windows[] = {f.Wnd(), panel->Handle(), button->Handle()};
  for (HWND w : windows) recorder.AttachWindow(w);
  f.manager->SetSkinName("Dark");
  kvtest::PumpUntilIdle();
  for (HWND w : windows) {
    SCOPED_TRACE(w == f.Wnd() ? "form" : w == panel->Handle() ? "panel" : "button");
    EXPECT_EQ(std::count_if(recorder.Messages.begin(), recorder.Messages.end(),
                            [w](const kvtest::TRecordedMsg& m) {
                              return m.wnd == w && m.message == WM_PAINT && m.wParam == 0;
                            }),
              1);
  }
  recorder.DetachAll();
  f.LookActive();
  EXPECT_TRUE(ShowsWhatARepaintShows(f.Wnd()));
}

INSTANTIATE_TEST_SUITE_P(Animated, SkinSwitch, ::testing::Bool());

// Shown with the show animation on (no time, as every window of the
// configurator) or off, the form is painted once on the screen, frame and
// client, and shows what a repaint of it shows.
class SkinnedShow : public ::testing::TestWithParam<bool> {};

TEST_P(SkinnedShow, PaintsTheFormOnce) {
  kvtest::TSkinnedFormFixture f;
  f.manager->AnimEffects.FormShow.Active = GetParam();
  f.Provide();
  kvtest::TMessageRecorder recorder;
  recorder.AttachWindow(f.form->Handle());
  f.Show();
  const auto count = [&](UINT message) {
    return std::count_if(
        recorder.Messages.begin(), recorder.Messages.end(),
        [message](const kvtest::TRecordedMsg& m) { return m.message == message && m.wParam == 0; });
  };
  EXPECT_EQ(count(WM_PAINT), 1);
  // The frame's shape is given once: the same shape given again would make
  // the system work the frame out anew and paint the window again.
  const auto frameChanges =
      std::count_if(recorder.Messages.begin(), recorder.Messages.end(),
                    [](const kvtest::TRecordedMsg& m) { return m.message == WM_NCCALCSIZE; });
  EXPECT_EQ(frameChanges, 1);
  recorder.DetachAll();
  EXPECT_TRUE(ShowsWhatARepaintShows(f.Wnd()));
}

INSTANTIATE_TEST_SUITE_P(Animated, SkinnedShow, ::testing::Bool());

// A skin switched while the form is maximised (the other skin drops title
// rows when maximised, or brings the border window) leaves the form where
// maximising it under the new skin puts it, with the same region; the skin
// taken away (under the other skin from the start) leaves the plain form
// where the system maximises it.
enum class TMaximisedChange {
  OtherSkin,
  Deactivated,
  ManagerFreed,
  FrameLeftToSystem,
  FrameTakenBack
};

struct TMaximisedSwitch {
  const char* Name;
  const char* MaxHeight;
  bool Extended;
  TMaximisedChange Change;
};

class SkinSwitchWhileMaximised : public ::testing::TestWithParam<TMaximisedSwitch> {};

TEST_P(SkinSwitchWhileMaximised, LeavesTheFormWhereMaximisingPutsIt) {
  kvtest::TSkinnedFormFixture f;
  TsStoredSkin& other = f.manager->InternalSkins.Add();
  other.Name = "Other";
  other.Data =
      kvtest::TTestSkin({.Keys = {{"GLOBALINFO", "MAXHEIGHT", GetParam().MaxHeight}}}).Packed();
  const auto toOther = [&] {
    f.manager->SetExtendedBorders(GetParam().Extended);
    f.manager->SetSkinName("Other");
  };
  if (GetParam().Change != TMaximisedChange::OtherSkin) toOther();
  f.Provide();
  if (GetParam().Change == TMaximisedChange::FrameTakenBack)
    f.provider->SetDrawNonClientArea(false);
  f.Show();
  const auto placed = [&] {
    RECT r{};
    GetWindowRect(f.Wnd(), &r);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    if (GetWindowRgn(f.Wnd(), region) != ERROR) GetRgnBox(region, &box);
    DeleteObject(region);
    // The window's rectangle, then its region's box.
    return std::vector<LONG>{r.left,   r.top,   r.right,   r.bottom,
                             box.left, box.top, box.right, box.bottom};
  };
  const auto normal = placed();
  ShowWindow(f.Wnd(), SW_MAXIMIZE);
  kvtest::PumpUntilIdle();
  switch (GetParam().Change) {
    case TMaximisedChange::OtherSkin:
      toOther();
      break;
    case TMaximisedChange::Deactivated:
      f.manager->SetActive(false);
      break;
    case TMaximisedChange::ManagerFreed:
      f.manager.reset();
      break;
    case TMaximisedChange::FrameLeftToSystem:
      f.provider->SetDrawNonClientArea(false);
      break;
    case TMaximisedChange::FrameTakenBack:
      f.provider->SetDrawNonClientArea(true);
      break;
  }
  kvtest::PumpUntilIdle();
  const auto switched = placed();
  ShowWindow(f.Wnd(), SW_RESTORE);
  kvtest::PumpUntilIdle();
  // Restored, it goes back where it was.
  const auto restored = placed();
  EXPECT_EQ(std::vector<LONG>(normal.begin(), normal.begin() + 4),
            std::vector<LONG>(restored.begin(), restored.begin() + 4));
  ShowWindow(f.Wnd(), SW_MAXIMIZE);
  kvtest::PumpUntilIdle();
  const auto maximised = placed();
  EXPECT_EQ(switched, maximised);
}

INSTANTIATE_TEST_SUITE_P(
    Skins, SkinSwitchWhileMaximised,
    ::testing::Values(
        TMaximisedSwitch{"LowerMaximisedTitle", "16", false, TMaximisedChange::OtherSkin},
        TMaximisedSwitch{"BorderWindow", "24", true, TMaximisedChange::OtherSkin},
        TMaximisedSwitch{"Deactivated", "16", false, TMaximisedChange::Deactivated},
        TMaximisedSwitch{"DeactivatedWithBorderWindow", "24", true,
                         TMaximisedChange::Deactivated},
        TMaximisedSwitch{"ManagerFreed", "16", false, TMaximisedChange::ManagerFreed},
        TMaximisedSwitch{"FrameLeftToSystem", "16", false,
                         TMaximisedChange::FrameLeftToSystem},
        TMaximisedSwitch{"FrameTakenBack", "16", false, TMaximisedChange::FrameTakenBack}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace kv
