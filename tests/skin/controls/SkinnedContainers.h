// What the container tests share: the synthetic skin with the checkerboard
// panel loaded into a manager, a form owned by the application (so skin
// changes reach it) and a checkerboard panel on it as the root, and the
// check that a child's background lines up with what its parent shows.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "SkinnedForm.h"
#include "classlib/Forms.h"
#include "skin/controls/sPanel_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {

class SkinnedContainers : public ::testing::Test {
 protected:
  static constexpr TColor kFormColor = kvtest::kFormColour;

  void Load(kvtest::TTestSkinOptions options = {}) {
    options.Checkerboard = true;
    kvtest::LoadSyntheticSkin(manager, skin, options);
    if (HasFatalFailure()) return;
    form = kvtest::CreateTestForm(420, 340, false);
    root = Create<TsPanel>(form);
    root->SetParent(form);
    root->SetBevelOuter(bvNone);
    root->SetCaption("");
    root->SetBounds(8, 8, 390, 300);
    root->SkinData()->SetSkinSection("PANEL");
  }
  void Show() {
    form->Show();
    pump::PumpUntilIdle();
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    manager.reset();
  }

  // The background the child is given by its parent, read at the child's
  // place, against what the parent's window shows there with the child
  // hidden; the parent must show both checker colours there.
  ::testing::AssertionResult BackgroundLinesUp(TWinControl* child) {
    TWinControl* parent = child->Parent();
    child->SetVisible(false);
    const kvtest::TPixels shown = kvtest::TPixels::FromClient(parent->Handle());
    TsBgRequest request;
    GetControlBackgroundInfo(request, parent, false);
    child->SetVisible(true);
    if (request.BgType != btBitmap || request.Bmp == nullptr)
      return ::testing::AssertionFailure()
             << "answered with the colour " << std::hex << request.Color;
    const kvtest::TPixels given = kvtest::TPixels::FromBitmap(*request.Bmp);
    int dark = 0, light = 0;
    for (int y = 0; y < child->Height(); ++y)
      for (int x = 0; x < child->Width(); ++x) {
        const int px = child->Left() + x, py = child->Top() + y;
        const COLORREF want = shown.At(px, py);
        const COLORREF got = given.At(request.Offset.X + px, request.Offset.Y + py);
        if (want != got)
          return ::testing::AssertionFailure()
                 << "at (" << x << ", " << y << ") of the child: shown 0x" << std::hex << want
                 << ", given 0x" << got << " (offset " << std::dec << request.Offset.X << ", "
                 << request.Offset.Y << ")";
        dark += want == kvtest::TTestSkin::kCheckerA;
        light += want == kvtest::TTestSkin::kCheckerB;
      }
    if (dark == 0 || light == 0)
      return ::testing::AssertionFailure() << "no checkerboard under the child";
    return ::testing::AssertionSuccess();
  }

  // Each channel of a see-through body: the section's colour over what lies
  // below, the part that shows through weighing the transparency.
  static ::testing::AssertionResult Mixed(COLORREF got, COLORREF below, COLORREF colour,
                                          int percent) {
    for (int shift : {0, 8, 16}) {
      const int b = below >> shift & 0xFF, c = colour >> shift & 0xFF;
      const int want = (b * percent + c * (100 - percent)) / 100;
      if (std::abs(static_cast<int>(got >> shift & 0xFF) - want) > 2) {
        char text[80];
        std::snprintf(text, sizeof text, "0x%06lX is not 0x%06lX over 0x%06lX at %d%%", got, colour,
                      below, percent);
        return ::testing::AssertionFailure() << text;
      }
    }
    return ::testing::AssertionSuccess();
  }

  // Marks the cache, so that a rebuild shows.
  static void MarkCache(TsCommonData* sd) {
    std::uint8_t* p = sd->CacheBmp->ScanLine(sd->CacheBmp->Height() / 2) +
                      sd->CacheBmp->Width() / 2 * sd->CacheBmp->BytesPerPixel();
    p[0] = 1, p[1] = 2, p[2] = 3;
  }
  static bool CacheMarked(TsCommonData* sd) {
    const std::uint8_t* p = sd->CacheBmp->ScanLine(sd->CacheBmp->Height() / 2) +
                            sd->CacheBmp->Width() / 2 * sd->CacheBmp->BytesPerPixel();
    return p[0] == 1 && p[1] == 2 && p[2] == 3;
  }

  std::unique_ptr<kvtest::TTestSkin> skin;
  Owned<TsSkinManager> manager;
  // A container whose paint was held while its parent painted shows its
  // look again once the parent says it has painted, not what the screen held.
  ::testing::AssertionResult HeldPaintComesAfterTheParent(TWinControl* c, TsCommonData* sd) {
    const RECT all{0, 0, c->ClientWidth(), c->ClientHeight()};
    sd->Updating = true;
    HDC dc = GetDC(c->Handle());
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(c->Handle(), dc);
    SendCommandToWindow(c->Handle(), cmdParentPainted, 0);
    UpdateWindow(c->Handle());
    dc = GetDC(c->Handle());
    const kvtest::TPixels shown = kvtest::TPixels::FromDC(dc, all);
    ReleaseDC(c->Handle(), dc);
    const kvtest::TPixels repainted = kvtest::TPixels::FromClient(c->Handle());
    if (sd->Updating) return ::testing::AssertionFailure() << "still held";
    for (int y = 4; y < shown.Height() - 4; y += 7)
      for (int x = 4; x < shown.Width() - 4; x += 7)
        if (shown.At(x, y) != repainted.At(x, y))
          return ::testing::AssertionFailure()
                 << "at " << x << "," << y << " " << std::hex << shown.At(x, y) << " instead of "
                 << repainted.At(x, y);
    return ::testing::AssertionSuccess();
  }

  TForm* form = nullptr;
  TsPanel* root = nullptr;
};

}  // namespace kv
