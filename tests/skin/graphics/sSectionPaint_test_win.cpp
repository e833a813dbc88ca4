// Skin items onto device contexts and by section name.
#include <gtest/gtest.h>
#include <windows.h>

#include "Pixels.h"
#include "classlib/Graphics.h"
#include "skin/core/sSkinModel.h"
#include "skin/graphics/sSectionPaint_win.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;

constexpr std::uint32_t kOld = 0x445566, kSource = 0x0080FF;

// "PLAIN" is opaque red, "GLASS" wholly transparent.
TsSkinModel TwoSections() {
  TsSkinModel skin;
  TsGeneralData plain;
  plain.ClassName = "PLAIN";
  plain.Color = 0x0000FF;
  TsGeneralData glass = plain;
  glass.ClassName = "GLASS";
  glass.Transparency = 100;
  skin.GeneralData = {plain, glass};
  return skin;
}

TEST(SkinItemByName, FallsBackToTheSecondNameAndPaintsOverTheSource) {
  const TsSkinModel skin = TwoSections();
  TBitmap source = Filled(8, 8, pf24bit, kSource);
  TBitmapCanvas sourceCanvas(source);
  struct Case {
    const char *name, *alt;
    bool fromSource;
    int index;
    std::uint32_t want;
  };
  for (const Case& c :
       {Case{"NONE", "PLAIN", false, 0, 0xFF0000}, Case{"GLASS", "PLAIN", true, 1, kSource},
        Case{"NONE", "NADA", true, -1, kOld}}) {
    TBitmap b = Filled(4, 4, pf24bit, kOld);
    EXPECT_EQ(PaintSkinItemByName(&b, c.name, c.alt, 0, &skin, {2, 2}, clNone,
                                  c.fromSource ? sourceCanvas.Handle() : nullptr),
              c.index);
    EXPECT_EQ(Px(b, 3, 3), c.want) << c.name << " / " << c.alt;
  }
}

TEST(SkinItemToDC, PaintsOnlyTheRectangle) {
  const TsSkinModel skin = TwoSections();
  TBitmap b = Filled(8, 8, pf24bit, kOld);
  {
    TBitmapCanvas canvas(b);
    PaintSkinItemToDC(0, "PLAIN", EmptyBgCacheInfo, true, 0, {2, 2, 5, 5}, {0, 0}, canvas.Handle(),
                      &skin);
    PaintSkinItemToDC(0, "PLAIN", EmptyBgCacheInfo, true, 0, {-1, 0, 5, 5}, {0, 0}, canvas.Handle(),
                      &skin);
    GdiFlush();
  }
  EXPECT_EQ(Px(b, 2, 2), 0xFF0000u);
  EXPECT_EQ(Px(b, 4, 4), 0xFF0000u);
  EXPECT_EQ(Px(b, 5, 5), kOld);
  EXPECT_EQ(Px(b, 1, 1), kOld);
}

}  // namespace
}  // namespace kv
