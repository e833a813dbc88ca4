// Alpha image lists: the generated system list and drawing by alpha, read back.
#include <gtest/gtest.h>
#include <windows.h>

#include "Pixels.h"
#include "PngFiles.h"
#include "classlib/Graphics.h"
#include "skin/graphics/acAlphaImageList_win.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Near;
using testing::Px;

// A w x h PNG of one RGBA colour.
testing::Bytes SolidPng(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                        std::uint8_t a) {
  testing::Bytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) raw.insert(raw.end(), {r, g, b, a});
  }
  return testing::MakePng(w, h, 8, 6, raw).Join();
}

// Half-transparent red, a broken item, opaque green twice the list's size.
Owned<TsAlphaImageList> ThreeItemList() {
  Owned<TsAlphaImageList> list = CreateOwned<TsAlphaImageList>();
  list->BeginLoading();
  list->SetSize(4, 4);
  list->Items = {{ifPNG, pf32bit, SolidPng(4, 4, 255, 0, 0, 128)},
                 {ifPNG, pf32bit, {0x89, 'P', 'N', 'G'}},
                 {ifPNG, pf32bit, SolidPng(8, 8, 0, 255, 0, 255)}};
  list->EndLoading();
  return list;
}

TEST(AlphaImageList, KeepsOneImagePerItemAndDrawsThemByAlpha) {
  Owned<TsAlphaImageList> list = ThreeItemList();
  ASSERT_EQ(list->Count(), 3);
  struct Case {
    const char* what;
    int index, blend;
    TColor tint;
    bool toDC;
    std::uint32_t want;
  };
  for (const Case& c :
       {Case{"half alpha", 0, 0, clNone, false, 0x7F0000},
        Case{"broken item", 1, 0, clNone, false, 0}, Case{"resized", 2, 0, clNone, false, 0x00FF00},
        Case{"blend", 2, 50, clNone, false, 0x007F00},
        Case{"tint", 2, 0, static_cast<TColor>(0xFF0000), false, 0x0000FF},
        Case{"through a DC", 0, 0, clNone, true, 0x7F0000},
        Case{"out of range", 3, 0, clNone, false, 0}}) {
    TBitmap target = Filled(8, 8, pf24bit, 0);
    TSize size{0, 0};
    if (c.toDC) {
      TBitmapCanvas canvas(target);
      DrawListImageToDC(list.get(), canvas.Handle(), 2, 2, false, 1, 0, c.blend, c.tint, false,
                        c.index);
      GdiFlush();
    } else {
      DrawListImageToBitmap(list.get(), &target, 2, 2, size, false, 1, 0, c.blend, c.tint, false,
                            c.index);
      EXPECT_EQ(size, (TSize{4, 4})) << c.what;
    }
    EXPECT_TRUE(Near(Px(target, 3, 3), c.want)) << c.what;
    EXPECT_EQ(Px(target, 7, 7), 0u) << c.what;
  }
  EXPECT_EQ(BkColorFromSystem(static_cast<TColor>(CLR_NONE)), clNone);
  EXPECT_EQ(BkColorFromSystem(static_cast<TColor>(CLR_DEFAULT)), clDefault);
}

// A copy has the source's size, background, items and images, also those
// added without an item; only alpha lists are copied either way.
TEST(AlphaImageList, AssignCopiesAnotherAlphaListWhole) {
  Owned<TsAlphaImageList> source = ThreeItemList();
  source->SetBkColor(static_cast<TColor>(0x102030));
  source->Add(Filled(4, 4, pf32bit, 0xFF0000FF));  // opaque blue, no item
  ASSERT_EQ(source->Count(), 4);
  for (bool viaAssignTo : {false, true}) {
    Owned<TsAlphaImageList> copy = CreateOwned<TsAlphaImageList>();
    copy->SetSize(16, 16);
    copy->Items = {{ifPNG, pf32bit, SolidPng(16, 16, 1, 2, 3, 255)}};
    copy->GenerateStdList();
    if (viaAssignTo)  // the source copies itself in
      copy->TPersistent::Assign(*source);
    else
      copy->Assign(*source);
    EXPECT_EQ(copy->Width(), 4);
    EXPECT_EQ(copy->Height(), 4);
    EXPECT_EQ(copy->BkColor(), source->BkColor());
    ASSERT_EQ(copy->Items.size(), 3u);
    EXPECT_EQ(copy->Items[2].ImgData, source->Items[2].ImgData);
    EXPECT_TRUE(copy->Generated());
    ASSERT_EQ(copy->Count(), 4);
    for (int i = 0; i < 4; ++i) {
      TBitmap a, b;
      ASSERT_TRUE(GetBitmap32(source.get(), i, a));
      ASSERT_TRUE(GetBitmap32(copy.get(), i, b));
      EXPECT_EQ(Px(b, 1, 1) | b.ScanLine(1)[7] << 24, Px(a, 1, 1) | a.ScanLine(1)[7] << 24)
          << "image " << i;
    }
  }
  Owned<TImageList> plain = CreateOwned<TImageList>();
  EXPECT_THROW(plain->Assign(*source), EConvertError);
  EXPECT_THROW(source->Assign(*plain), EConvertError);
  EXPECT_EQ(source->Count(), 4) << "a refused source leaves the list as it was";
}

}  // namespace
}  // namespace kv
