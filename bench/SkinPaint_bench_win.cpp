// Skin painting through the window layer, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_paint_bench.exe [rounds]
// A 100 x 25 button's cache rebuilt from its skin data over its parent's
// cached background (textured section, border mask, a 16 x 16 alpha glyph,
// corners refreshed; no text; budget 0.2 ms), and a 1024 x 768 form's border
// region built from its mask's transparent corners.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "classlib/Forms.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sBorders_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaintControl.h"
#include "skin/model/SkinTestUtil.h"

using namespace kv;

namespace {

// GRAD answers with its cache; BUTTON: texture, plain colour share, border
// mask of three 30 x 22 frames with rounded (key-coloured) corners.
const char* const kOptions =
    "[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n"
    "[GRAD]\r\nCOLOR=255\r\nGRADIENTPERCENT=50\r\n"
    "[BUTTON]\r\nCOLOR=8421504\r\nIMAGEPERCENT=60\r\n"
    "PATTERN=~0000,0000,0016,0016,00\r\n"
    "BORDERSMASK=^0016,0000,0106,0022,0006,0006,0006,0006,3,0,4,0\r\n";

TacBytes Master() {
  TBitmap b(106, 22, pf24bit);
  for (int y = 0; y < 22; ++y) {
    std::uint8_t* p = b.ScanLine(y);
    for (int i = 0; i < b.BytesPerRow(); ++i) p[i] = static_cast<std::uint8_t>(i * 3 + y);
  }
  for (int frame = 0; frame < 3; ++frame)
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {29, 0}, {0, 21}, {29, 21}}) {
      std::uint8_t* p = b.ScanLine(y) + 3 * (16 + frame * 30 + x);
      p[0] = p[2] = 0xFF, p[1] = 0;
    }
  return WriteBmp(b);
}

class TBenchBox : public TCustomControl {
 public:
  explicit TBenchBox(TComponent* owner) : TCustomControl(owner), sd(this, true) {}
  TsCommonData sd;

 protected:
  void WndProc(TMessage& m) override {
    if (PreviewControlMessage(m, &sd)) return;
    TCustomControl::WndProc(m);
  }
};

// Microseconds per call: the median of `rounds` rounds of `calls` calls.
double MedianUs(int rounds, int calls, const std::function<void()>& step) {
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) step();
    times.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count() /
        calls);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  Owned<TsSkinManager> manager = CreateOwned<TsSkinManager>();
  manager->SetSkinDirectory("c:\\NoSkins");
  TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = "Bench";
  stored.Data = test::MakePack(kOptions, {{"MASTER.BMP", Master()}});
  manager->SetSkinName("Bench");

  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(0, 0, 300, 200);
  auto* parent = Create<TBenchBox>(form.get());
  parent->SetBounds(0, 0, 200, 100);
  parent->SetParent(form.get());
  parent->sd.SetSkinSection("GRAD");
  auto* button = Create<TBenchBox>(form.get());
  button->SetBounds(40, 30, 100, 25);
  button->SetParent(parent);
  button->sd.SetSkinSection("BUTTON");
  form->Handle();
  PrepareCacheBitmap(&parent->sd);

  TBitmap glyph(16, 16, pf32bit);
  for (int y = 0; y < 16; ++y) {
    std::uint8_t* p = glyph.ScanLine(y);
    for (int x = 0; x < 16; ++x)
      p[4 * x] = 40, p[4 * x + 1] = 90, p[4 * x + 2] = 200,
            p[4 * x + 3] = static_cast<std::uint8_t>(x * 16 + y);
  }
  for (int state : {0, 1}) {
    const double us = MedianUs(rounds, 200, [&] {
      PrepareCacheBitmap(&button->sd);
      TBitmap* cache = button->sd.CacheBmp.get();
      PaintSkinDataItemOnParent(&button->sd, parent, true, state, {0, 0, 100, 25},
                                {button->Left(), button->Top()}, cache);
      PaintAlphaBitmap({42, 4, 58, 20}, {0, 0, 16, 16}, cache, false, 0, clNone, false,
                       EmptyBgCacheInfo, &glyph);
      RefreshCacheCorners(&button->sd, state);
    });
    std::printf(
        "100 x 25 button cache rebuilt, state %d:   %8.1f us median of %d (budget 200 us)\n", state,
        us, rounds);
  }

  // The same with the parent asked once for both the item and the corners.
  const double once = MedianUs(rounds, 200, [&] {
    PrepareCacheBitmap(&button->sd);
    TBitmap* cache = button->sd.CacheBmp.get();
    TsBgCacheInfo background;
    GetParentBgInfo(&button->sd, background);
    PaintSkinDataItem(&button->sd, background, true, 0, {0, 0, 100, 25},
                      {button->Left(), button->Top()}, cache);
    PaintAlphaBitmap({42, 4, 58, 20}, {0, 0, 16, 16}, cache, false, 0, clNone, false,
                     EmptyBgCacheInfo, &glyph);
    if (background.Ready) background.X += button->Left(), background.Y += button->Top();
    FillCacheCornersFromMask(cache, &manager->Skin(), button->sd.BorderIndex, 0, ccAllCorners,
                             background);
  });
  std::printf("the same, the parent asked once:             %8.1f us\n", once);

  // Its parts, state 0.
  TBitmap* cache = button->sd.CacheBmp.get();
  const std::pair<const char*, std::function<void()>> parts[] = {
      {"cache bitmap prepared", [&] { PrepareCacheBitmap(&button->sd); }},
      {"item over the parent's background",
       [&] {
         PaintSkinDataItemOnParent(&button->sd, parent, true, 0, {0, 0, 100, 25},
                                   {button->Left(), button->Top()}, cache);
       }},
      {"glyph",
       [&] {
         PaintAlphaBitmap({42, 4, 58, 20}, {0, 0, 16, 16}, cache, false, 0, clNone, false,
                          EmptyBgCacheInfo, &glyph);
       }},
      {"corners refreshed", [&] { RefreshCacheCorners(&button->sd, 0); }},
      {"the parent asked for its background", [&] {
         TsBgRequest request;
         GetControlBackgroundInfo(request, parent, false);
       }}};
  for (const auto& [what, step] : parts)
    std::printf("  of which %-34s %8.1f us\n", what, MedianUs(rounds, 200, step));

  // The form border: 30-pixel margins with ragged transparent corners.
  TsMaskData mask;
  mask.Bmp = std::make_shared<TBitmap>(360, 120, pf24bit);
  for (int y = 0; y < 120; ++y) {
    std::uint8_t* p = mask.Bmp->ScanLine(y);
    for (int x = 0; x < 360; ++x, p += 3) {
      const bool rounded =
          (x % 120 < 8 || x % 120 >= 112) && (y < 8 || y >= 112) && (x % 120 + y) % 7 < 3;
      p[0] = rounded ? 0xFF : static_cast<std::uint8_t>(x);
      p[1] = rounded ? 0 : static_cast<std::uint8_t>(y);
      p[2] = 0xFF;
    }
  }
  mask.R = {0, 0, 360, 120};
  mask.ImageCount = 3;
  mask.WL = mask.WT = mask.WR = mask.WB = 30;
  TBitmap frame(1024, 768, pf24bit);
  const double region = MedianUs(rounds, 20, [&] {
    HRGN rgn = CreateRectRgn(0, 0, 1024, 768);
    BuildRegionFromMask(&frame, rgn, false, 0, mask, nullptr);
    DeleteObject(rgn);
  });
  std::printf("1024 x 768 form border and its region:      %8.1f us median of %d\n", region,
              rounds);
  form.reset();
  manager.reset();
  return 0;
}
