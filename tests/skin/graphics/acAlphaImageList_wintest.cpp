// Alpha image lists: the generated system list and drawing by alpha, read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

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

// Images added through the plain list interface after the items: one
// without alpha shows opaque but where it is 0xFF00FF; one with alpha, and
// the items' own images (a broken item's clear one too), keep theirs.
TEST(AlphaImageList, ImagesAddedWithoutAlphaBecomeOpaqueButForTheirKeyColour) {
  Owned<TsAlphaImageList> list = ThreeItemList();
  TBitmap keyed = Filled(4, 4, pf24bit, 0x0000FF);  // blue, its right half the key colour
  for (int y = 0; y < 4; ++y)
    for (int x = 2; x < 4; ++x) testing::SetPx(keyed, x, y, 0xFF00FF);
  list->Add(keyed);
  list->Add(Filled(4, 4, pf32bit, 0x40FF0000));  // red at a quarter
  ASSERT_EQ(list->Count(), 5);
  const struct {
    int index, x;
    std::uint32_t alpha;
  } cases[] = {{3, 0, 255}, {3, 3, 0}, {4, 0, 0x40}, {1, 0, 0}, {0, 0, 128}};
  for (const auto& c : cases) {
    TBitmap image;
    ASSERT_TRUE(list->GetBitmap(c.index, image));
    EXPECT_NEAR(Px(image, c.x, 1) >> 24, c.alpha, 1) << "image " << c.index << " x " << c.x;
  }
  TBitmap image;
  ASSERT_TRUE(list->GetBitmap(3, image));
  EXPECT_EQ(Px(image, 0, 1) & 0xFFFFFF, 0x0000FFu);
}

// An icon file of one 4 x 4 image: 32-bit colours without alpha and an AND
// mask that leaves out the left column.
testing::Bytes IconFile() {
  testing::Bytes f;
  const auto u16 = [&](unsigned v) { f.insert(f.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
  const auto u32 = [&](unsigned v) { u16(v & 0xFFFF), u16(v >> 16); };
  const unsigned size = 40 + 16 * 4 + 4 * 4;  // header, colours, mask rows of 4 bytes
  u16(0), u16(1), u16(1);                     // icon directory with one entry
  f.insert(f.end(), {4, 4, 0, 0});
  u16(1), u16(32), u32(size), u32(22);
  u32(40), u32(4), u32(8), u16(1), u16(32), u32(0), u32(16 * 4), u32(0), u32(0), u32(0), u32(0);
  for (int i = 0; i < 16; ++i) f.insert(f.end(), {0x30, 0x20, 0x10, 0});  // B, G, R, A
  for (int row = 0; row < 4; ++row) f.insert(f.end(), {0x80, 0, 0, 0});
  return f;
}

TEST(AlphaImageList, AnIconItemKeepsItsOwnMask) {
  Owned<TsAlphaImageList> list = CreateOwned<TsAlphaImageList>();
  list->BeginLoading();
  list->SetSize(4, 4);
  list->Items = {{ifICO, pf32bit, IconFile()}, {ifPNG, pf32bit, SolidPng(4, 4, 0, 0, 255, 255)}};
  list->EndLoading();
  ASSERT_EQ(list->Count(), 2);
  TBitmap icon;
  ASSERT_TRUE(list->GetBitmap(0, icon));
  EXPECT_EQ(Px(icon, 0, 2) >> 24, 0u) << "left out by the mask";
  EXPECT_EQ(Px(icon, 2, 2), 0xFF102030u);
  TBitmap next;
  ASSERT_TRUE(list->GetBitmap(1, next));
  EXPECT_EQ(Px(next, 0, 2), 0xFF0000FFu) << "the item after the icon";
}

// A 4 x 4 RGB picture (no alpha): its top-left pixel in colour A, its
// bottom-left one in colour B, the rest in C.
testing::Bytes KeyedRgbPng() {
  testing::Bytes raw;
  for (int y = 0; y < 4; ++y) {
    raw.push_back(0);
    for (int x = 0; x < 4; ++x) {
      const bool a = x == 0 && y == 0, b = x == 0 && y == 3;
      raw.insert(raw.end(), {std::uint8_t(a ? 0xAA : 0x10), std::uint8_t(b ? 0xBB : 0x20),
                             std::uint8_t(0x30)});
    }
  }
  return testing::MakePng(4, 4, 8, 2, raw).Join();
}

Owned<TsAlphaImageList> LoadedList(TsImgListItems items) {
  Owned<TsAlphaImageList> list = CreateOwned<TsAlphaImageList>();
  list->BeginLoading();
  list->SetSize(4, 4);
  list->Items = std::move(items);
  list->EndLoading();
  return list;
}

// The system list's image as drawn over a grey ground.
TBitmap Drawn(TsAlphaImageList& list, int index) {
  TBitmap target = Filled(4, 4, pf24bit, 0x808080);
  TBitmapCanvas canvas(target);
  list.Draw(&canvas, 0, 0, index, true);
  GdiFlush();
  return target;
}

// The icon of a picture without alpha leaves out its top-left colour.
TEST(AlphaImageList, APictureWithoutAlphaIsKeyedByItsTopLeftColour) {
  Owned<TsAlphaImageList> list = LoadedList({{ifPNG, pf32bit, KeyedRgbPng()}});
  ASSERT_EQ(list->Count(), 1);
  const TBitmap shown = Drawn(*list, 0);
  EXPECT_EQ(Px(shown, 0, 0), 0x808080u) << "the key";
  EXPECT_EQ(Px(shown, 0, 3), 0x10BB30u);
  EXPECT_EQ(Px(shown, 2, 2), 0x102030u);
}

// Loaded without items, the list is generated all the same: an image
// added later without alpha becomes opaque but for its key colour.
TEST(AlphaImageList, AListLoadedWithoutItemsLooksAtImagesAddedLater) {
  Owned<TsAlphaImageList> list = LoadedList({});
  EXPECT_TRUE(list->Generated());
  TBitmap keyed = Filled(4, 4, pf24bit, 0x0000FF);
  testing::SetPx(keyed, 3, 1, 0xFF00FF);
  list->Add(keyed);
  TBitmap image;
  ASSERT_TRUE(list->GetBitmap(0, image));
  EXPECT_EQ(Px(image, 0, 1) >> 24, 255u);
  EXPECT_EQ(Px(image, 3, 1) >> 24, 0u);
}

// Address space taken until only about Left bytes are free, in blocks too
// small for a picture of 8192 x 8192; given back on destruction.
class TScarceMemory {
 public:
  explicit TScarceMemory(std::size_t left) {
    constexpr std::size_t kBlock = 16 << 20;
    while (void* p = VirtualAlloc(nullptr, kBlock, MEM_RESERVE, PAGE_NOACCESS))
      blocks_.push_back(p);
    for (std::size_t freed = 0; freed < left && !blocks_.empty(); freed += kBlock) {
      VirtualFree(blocks_.back(), 0, MEM_RELEASE);
      blocks_.pop_back();
    }
  }
  ~TScarceMemory() {
    for (void* p : blocks_) VirtualFree(p, 0, MEM_RELEASE);
  }

 private:
  std::vector<void*> blocks_;
};

// A picture whose bitmap cannot be made fails alone: its image is clear, the
// others are there, and the list still follows changes.
TEST(AlphaImageList, APictureTooBigForTheMemoryFailsAlone) {
  if (sizeof(void*) == 8) GTEST_SKIP() << "a 64-bit address space cannot be used up";
  // 8192 x 8192 RGBA (256 MB as a bitmap); the pixel data is never reached.
  testing::PngFile big = testing::MakePng(8192, 8192, 8, 6, {});
  big.chunks[big.Find("IDAT")] = testing::MakeChunk("IDAT", testing::Bytes(300000));
  Owned<TsAlphaImageList> list = CreateOwned<TsAlphaImageList>();
  list->SetSize(4, 4);
  list->Handle();
  list->Items = {{ifPNG, pf32bit, big.Join()}, {ifPNG, pf32bit, SolidPng(4, 4, 0, 0, 255, 255)}};
  {
    const TScarceMemory scarce(96 << 20);
    list->BeginLoading();
    EXPECT_NO_THROW(list->EndLoading());
  }
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(Px(Drawn(*list, 0), 1, 1), 0x808080u);
  EXPECT_EQ(Px(Drawn(*list, 1), 1, 1), 0x0000FFu);
  list->Delete(1);
  EXPECT_EQ(list->Count(), 2) << "rebuilt: the list is not stuck updating";
}

}  // namespace
}  // namespace kv
