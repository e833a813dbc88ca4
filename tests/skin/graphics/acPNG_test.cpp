#include "skin/graphics/acPNG.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "Pixels.h"
#include "PngFiles.h"
#include "base/Streams.h"

namespace kv {
namespace {

using testing::Bytes;
using testing::MakeChunk;
using testing::MakePng;
using testing::PngFile;
using testing::Px;
using testing::PxColour;

void Load(TPNGGraphic& g, const Bytes& file) { g.LoadFromMemory(file.data(), file.size()); }

std::string LoadError(const Bytes& file) {
  TPNGGraphic g;
  try {
    Load(g, file);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "loaded";
}

const char kFormat[] = "Cannot load image. Invalid or unexpected PNG image format.";
const char kCrc[] = "Cannot load image. CRC error found in PNG file.";
const char kCritical[] = "Cannot load PNG image. Unexpected but critical chunk detected.";
const char kPalette[] = "Cannot load image. Palette in PNG file is invalid.";
const char kExtra[] = "Cannot load image. Extra compressed data found in PNG file.";
const char kCompression[] = "Cannot load image. Compression error found in PNG file.";

// The image data of a file split into chunks of five bytes, an empty one after the first.
Bytes SplitImageData(PngFile f) {
  const int i = f.Find("IDAT");
  const Bytes body(f.chunks[i].begin() + 8, f.chunks[i].end() - 4);
  std::vector<Bytes> parts;
  for (std::size_t at = 0; at < body.size(); at += 5)
    parts.push_back(
        MakeChunk("IDAT", Bytes(body.begin() + at, body.begin() + std::min(body.size(), at + 5))));
  parts.insert(parts.begin() + 1, MakeChunk("IDAT", {}));
  f.chunks.erase(f.chunks.begin() + i);
  f.chunks.insert(f.chunks.begin() + i, parts.begin(), parts.end());
  return f.Join();
}

// Small files of each colour type, the format they load as, and what one row
// of each shows (0xAARRGGBB; palette formats through their palette). Filters, interlacing,
// gamma and transparency are compared with libpng in acPNG_libpng_test.cpp;
// these cases also run in the Windows builds, which have no libpng.
TEST(PNGGraphic, DecodesEachColourTypeIntoItsPixelFormat) {
  const Bytes plte = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  const struct {
    const char* what;
    Bytes file;
    TPixelFormat format;
    int scheme, y;
    std::vector<std::uint32_t> row;
  } cases[] = {
      {"8-bit RGB: pixel (x, y) is (x, y, x + y)",
       MakePng(5, 3, 8, 2, testing::RgbRamp(5, 3)).Join(),
       pf24bit,
       csRGB,
       2,
       {0x000202, 0x010203, 0x020204, 0x030205, 0x040206}},
      {"RGBA keeps straight alpha",
       MakePng(2, 1, 8, 6, {0, 10, 20, 30, 40, 255, 255, 255, 0}).Join(),
       pf32bit,
       csRGBA,
       0,
       {0x280A141E, 0x00FFFFFF}},
      {"16-bit samples scaled by truncation: 0x8080 -> 128, 0x00FF -> 0",
       MakePng(1, 1, 16, 2, {0, 0x80, 0x80, 0x00, 0xFF, 0xFF, 0xFF}).Join(),
       pf24bit,
       csRGB,
       0,
       {0x8000FF}},
      {"grey with alpha loses its alpha",
       MakePng(2, 1, 8, 4, {0, 77, 9, 200, 0}).Join(),
       pf8bit,
       csGrayAlpha,
       0,
       {0x4D4D4D, 0xC8C8C8}},
      {"1-bit grey", MakePng(2, 1, 1, 0, {0, 0x80}).Join(), pf1bit, csGray, 0, {0xFFFFFF, 0}},
      {"8-bit grey",
       MakePng(2, 1, 8, 0, {0, 7, 200}).Join(),
       pf8bit,
       csGray,
       0,
       {0x070707, 0xC8C8C8}},
      {"16-bit grey scaled by truncation",
       MakePng(1, 1, 16, 0, {0, 0x80, 0x80}).Join(),
       pf8bit,
       csGray,
       0,
       {0x808080}},
      {"2-bit grey",
       MakePng(2, 1, 2, 0, {0, 0x70}).Join(),
       pf4bit,
       csGray,
       0,
       {0x555555, 0xFFFFFF}},
      {"4-bit grey",
       MakePng(2, 1, 4, 0, {0, 0x3F}).Join(),
       pf4bit,
       csGray,
       0,
       {0x333333, 0xFFFFFF}},
      {"2-bit indexes 0..3, the last outside the palette",
       MakePng(4, 1, 2, 3, {0, 0x1B}, {MakeChunk("PLTE", plte)}).Join(),
       pf4bit,
       csIndexed,
       0,
       {0xFF0000, 0x00FF00, 0x0000FF, 0}},
      {"8-bit indexes",
       MakePng(3, 1, 8, 3, {0, 2, 1, 0}, {MakeChunk("PLTE", plte)}).Join(),
       pf8bit,
       csIndexed,
       0,
       {0x0000FF, 0x00FF00, 0xFF0000}},
      {"1-bit indexes",
       MakePng(3, 1, 1, 3, {0, 0x40}, {MakeChunk("PLTE", plte)}).Join(),
       pf1bit,
       csIndexed,
       0,
       {0xFF0000, 0x00FF00, 0xFF0000}},
      {"ancillary chunks skipped, a palette of an RGB image ignored",
       MakePng(
           1, 1, 8, 2, {0, 1, 2, 3},
           {MakeChunk("tEXt", {'a', 0, 'b'}), MakeChunk("PLTE", {9, 9, 9}), MakeChunk("prIv", {1})})
           .Join(),
       pf24bit,
       csRGB,
       0,
       {0x010203}},
      {"image data over many chunks",
       SplitImageData(MakePng(6, 4, 8, 2, testing::RgbRamp(6, 4))),
       pf24bit,
       csRGB,
       3,
       {0x000303, 0x010304, 0x020305, 0x030306, 0x040307, 0x050308}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TPNGGraphic g;
    Load(g, c.file);
    ASSERT_EQ(g.PixelFormat(), c.format);
    ASSERT_EQ(g.Width(), static_cast<int>(c.row.size()));
    EXPECT_EQ(g.ImageProperties().ColorScheme, c.scheme);
    for (int x = 0; x < g.Width(); ++x) {
      const std::uint32_t shown = g.PixelFormat() == pf32bit ? Px(g, x, c.y) : PxColour(g, x, c.y);
      EXPECT_EQ(shown, c.row[x]) << "x " << x;
    }
  }
}

// Adam7 fills every pixel of a packed row, pass by pass, into the right bits.
TEST(PNGGraphic, PutsInterlacedIndexesIntoTheirBits) {
  Bytes plte;
  for (int i = 0; i < 16; ++i) plte.insert(plte.end(), {std::uint8_t(i), 0, 0});
  const int w = 9, h = 9;
  const auto index = [](int x, int y) { return unsigned(x + y) % 16; };
  TPNGGraphic g;
  Load(g, testing::MakeInterlacedPng(w, h, 4, 3, index, {MakeChunk("PLTE", plte)}).Join());
  ASSERT_EQ(g.PixelFormat(), pf4bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(PxColour(g, x, y) >> 16, index(x, y)) << x << "," << y;
}

TEST(PNGGraphic, ReportsProgressRowByRow) {
  struct Report {
    TProgressStage stage;
    int percent;
    bool redraw;
    TRect band;
    std::string message;
  };
  for (bool interlaced : {false, true}) {
    SCOPED_TRACE(interlaced ? "interlaced" : "plain");
    TPNGGraphic g;
    std::vector<Report> reports;
    g.OnProgress = [&](TPNGGraphic& sender, TProgressStage stage, int percent, bool redraw,
                       const TRect& band, const std::string& message) {
      EXPECT_EQ(&sender, &g);
      reports.push_back({stage, percent, redraw, band, message});
    };
    const auto grey = [](int x, int y) { return unsigned(x + 4 * y); };
    Load(g, interlaced ? testing::MakeInterlacedPng(3, 4, 8, 0, grey).Join()
                       : MakePng(3, 4, 8, 2, testing::RgbRamp(3, 4)).Join());
    // Plain: a report after each of the four rows; Adam7: after each of the
    // last pass's two rows (rows 1 and 3).
    const std::vector<int> percents =
        interlaced ? std::vector{50, 100} : std::vector{25, 50, 75, 100};
    ASSERT_EQ(reports.size(), percents.size() + 2);
    EXPECT_EQ(reports.front().stage, psStarting);
    EXPECT_EQ(reports.front().message, "Preparing...");
    EXPECT_EQ(reports.front().band, Rect(0, 0, 3, 1));
    for (std::size_t i = 0; i < percents.size(); ++i) {
      const Report& r = reports[i + 1];
      EXPECT_EQ(r.stage, psRunning);
      EXPECT_EQ(r.percent, percents[i]);
      EXPECT_TRUE(r.redraw);
      EXPECT_EQ(r.message, "Transfering...");
      EXPECT_EQ(r.band, Rect(0, int(i), 3, int(i) + 1)) << "one row further per report";
    }
    EXPECT_EQ(reports.back().stage, psEnding);
  }
}

TEST(ColorManager, RefusesLayoutsNoConversionServes) {
  const struct {
    const char* what;
    std::function<void(TColorManager&)> set;
    const char* message;
  } cases[] = {
      {"3 bits", [](TColorManager& m) { m.SetSourceBitsPerSample(3); },
       "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."},
      {"32 bits", [](TColorManager& m) { m.SetTargetBitsPerSample(32); },
       "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."},
      {"5 samples", [](TColorManager& m) { m.SetTargetSamplesPerPixel(5); },
       "Sample count per pixel does not correspond to the given color scheme."},
      {"0 samples", [](TColorManager& m) { m.SetSourceSamplesPerPixel(0); },
       "Sample count per pixel does not correspond to the given color scheme."},
      {"grey to BGR",
       [](TColorManager& m) {
         m.SetSourceColorScheme(csGray);
         m.TargetPixelFormat();
       },
       "Conversion between indexed and non-indexed pixel formats is not supported."},
      {"two samples",
       [](TColorManager& m) {
         m.SetTargetSamplesPerPixel(2);
         m.TargetPixelFormat();
       },
       "Color conversion failed. Could not find a proper method."},
  };
  for (const auto& c : cases) {
    TColorManager m;
    try {
      c.set(m);
      ADD_FAILURE() << c.what << " passed";
    } catch (const EColorConversionError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.what;
    }
  }
}

TEST(PNGGraphic, ReportsTheImagesProperties) {
  TPNGGraphic g;
  Load(g, MakePng(5, 3, 8, 2, testing::RgbRamp(5, 3)).Join());
  EXPECT_EQ(g.Height(), 3);
  const TPNGImageProperties& p = g.ImageProperties();
  EXPECT_EQ(p.BitsPerSample, 8);
  EXPECT_EQ(p.SamplesPerPixel, 3);
  EXPECT_EQ(p.BitsPerPixel, 24);
  EXPECT_EQ(p.Compression, 2);
  EXPECT_EQ(p.Options & 1, 1u);
  EXPECT_FALSE(p.Interlaced);
  EXPECT_FALSE(g.Transparent);
  Load(g, MakePng(4, 1, 2, 3, {0, 0x1B}, {MakeChunk("PLTE", {1, 2, 3})}).Join());
  EXPECT_EQ(g.ImageProperties().BitsPerSample, 2);
  Load(g, MakePng(1, 1, 8, 6, {0, 1, 2, 3, 4}, {MakeChunk("gAMA", {0, 1, 0x86, 0xA0})}).Join());
  EXPECT_TRUE(g.ImageProperties().HasAlpha);
  EXPECT_FLOAT_EQ(g.ImageProperties().FileGamma, 1.0f);
  EXPECT_EQ(g.ImageProperties().Options & 2, 2u);
}

TEST(PNGGraphic, ResolvesTheBackgroundColour) {
  TPNGGraphic rgb;
  Load(rgb, MakePng(1, 1, 8, 2, {0, 1, 2, 3}, {MakeChunk("bKGD", {0, 1, 0, 2, 0, 3})}).Join());
  EXPECT_EQ(rgb.BackgroundColor(), ColorFromRGB(1, 2, 3));
  TPNGGraphic none;
  Load(none, MakePng(1, 1, 8, 2, {0, 1, 2, 3}).Join());
  EXPECT_EQ(none.BackgroundColor(), clWhite);
}

Bytes Edited(PngFile f, const std::function<void(PngFile&)>& change) {
  change(f);
  return f.Join();
}

Bytes Edited(Bytes b, const std::function<void(Bytes&)>& change) {
  change(b);
  return b;
}

// Each malformed file is rejected with its own text.
TEST(PNGGraphic, RejectsMalformedFiles) {
  const Bytes rgb = testing::RgbRamp(4, 4);
  const PngFile base = MakePng(4, 4, 8, 2, rgb);
  const auto idat = [](PngFile& f) -> Bytes& { return f.chunks[f.Find("IDAT")]; };
  Bytes stored = testing::Deflate(rgb, 0);  // stored: any changed byte still inflates
  stored[2 + 5 + 20] ^= 0x08;
  Bytes badAdler = testing::Deflate(rgb);
  badAdler.back() ^= 0x01;
  const Bytes adler(badAdler.end() - 4, badAdler.end());
  badAdler.resize(badAdler.size() - 4);
  Bytes filter5 = rgb;
  filter5[13] = 5;
  Bytes method1 = testing::Header(4, 4, 8, 2);
  method1[10] = 1;
  const struct {
    const char* name;
    Bytes file;
    std::string error;
  } cases[] = {
      {"bad signature", Edited(base.Join(), [](Bytes& b) { b[1] = 'p'; }), kFormat},
      {"empty file", {}, kFormat},
      {"first chunk not IHDR",
       Edited(base, [](PngFile& f) { std::swap(f.chunks[0], f.chunks[1]); }), kFormat},
      {"zero width", MakePng(0, 4, 8, 2, rgb).Join(), kFormat},
      {"huge dimensions", MakePng(0x7FFFFFFF, 0x7FFFFFFF, 8, 2, rgb).Join(),
       "Cannot load image. The PNG image is larger than allowed."},
      {"width beyond 2^31", MakePng(0x80000000u, 1, 8, 2, rgb).Join(), kFormat},
      // Within the pixel limit, and enough image data for the row's bytes
      // to be possible, but one row of 16-bit samples would take 1 GB.
      {"one row of 2^26 pixels",
       Edited(MakePng(1u << 26, 1, 16, 6, rgb),
              [&](PngFile& f) { idat(f) = MakeChunk("IDAT", Bytes(600000)); }),
       "Cannot load image. The PNG image is larger than allowed."},
      {"image data far too short for the size", MakePng(8000, 8000, 8, 2, rgb).Join(),
       kCompression},
      {"bad colour type and depth", MakePng(4, 4, 4, 2, rgb).Join(),
       "Invalid color format in PNG file."},
      {"compression method 1",
       Edited(base, [&](PngFile& f) { f.chunks[0] = MakeChunk("IHDR", method1); }),
       "Cannot load image. The compression scheme is not supported for PNG files."},
      {"bad CRC in IHDR", Edited(base.Join(), [](Bytes& b) { b[8 + 8 + 13] ^= 1; }), kCrc},
      {"bad CRC in IDAT", Edited(base, [&](PngFile& f) { idat(f).back() ^= 0x40; }), kCrc},
      {"bad CRC in gAMA",
       Edited(MakePng(4, 4, 8, 2, rgb, {MakeChunk("gAMA", {0, 0, 0xB1, 0x8F})}),
              [](PngFile& f) { f.chunks[1].back() ^= 1; }),
       kCrc},
      {"chunk length past the end", Edited(base, [&](PngFile& f) { idat(f)[1] = 0x10; }), kFormat},
      {"chunk length above 2^31", Edited(base, [&](PngFile& f) { idat(f)[0] = 0x80; }), kFormat},
      {"truncated image data",
       Edited(base,
              [&](PngFile& f) {
                idat(f) = MakeChunk("IDAT", Bytes(idat(f).begin() + 8, idat(f).end() - 4 - 10));
              }),
       kCompression},
      {"zlib stream ends before the last row", MakePng(4, 4, 8, 2, testing::RgbRamp(4, 3)).Join(),
       kExtra},
      {"image data changed after its zlib checksum was made",
       Edited(base, [&](PngFile& f) { idat(f) = MakeChunk("IDAT", stored); }), kCompression},
      {"wrong zlib checksum in an image chunk of its own",
       Edited(base,
              [&](PngFile& f) {
                idat(f) = MakeChunk("IDAT", badAdler);
                f.chunks.insert(f.chunks.begin() + f.Find("IDAT") + 1, MakeChunk("IDAT", adler));
              }),
       kCompression},
      {"filter type 5", MakePng(4, 4, 8, 2, filter5).Join(), kFormat},
      {"bad zlib data",
       Edited(base,
              [&](PngFile& f) {
                idat(f) = MakeChunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF});
              }),
       kCompression},
      {"unknown critical chunk", MakePng(4, 4, 8, 2, rgb, {MakeChunk("ABCD", {})}).Join(),
       kCritical},
      {"second header",
       MakePng(4, 4, 8, 2, rgb, {MakeChunk("IHDR", testing::Header(4, 4, 8, 2))}).Join(),
       kCritical},
      {"palette of 769 bytes", MakePng(4, 4, 8, 2, rgb, {MakeChunk("PLTE", Bytes(769))}).Join(),
       kPalette},
      {"indexed image without palette", MakePng(1, 1, 8, 3, {0, 0}).Join(), kPalette},
      {"no end chunk", Edited(base, [](PngFile& f) { f.chunks.pop_back(); }), kFormat},
      {"no image data",
       Edited(base, [](PngFile& f) { f.chunks.erase(f.chunks.begin() + f.Find("IDAT")); }),
       kFormat},
      {"bad interlace method",
       Edited(base,
              [](PngFile& f) { f.chunks[0] = MakeChunk("IHDR", testing::Header(4, 4, 8, 2, 2)); }),
       kFormat},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadError(c.file), c.error) << c.name;
}

TEST(PNGGraphic, RejectsATruncationAtEveryOffsetAndKeepsThePreviousPicture) {
  const Bytes good = MakePng(3, 2, 8, 6, Bytes(2 * 13, 7)).Join();
  const Bytes other = MakePng(2, 2, 8, 2, testing::RgbRamp(2, 2)).Join();
  for (std::size_t n = 0; n < good.size(); ++n) {
    TPNGGraphic g;
    Load(g, other);
    EXPECT_THROW(g.LoadFromMemory(good.data(), n), EInvalidGraphic) << n;
    EXPECT_EQ(g.Width(), 2);
    EXPECT_EQ(g.PixelFormat(), pf24bit);
    EXPECT_EQ(g.ImageProperties().ColorScheme, csRGB);
    EXPECT_EQ(Px(g, 1, 1), 0x010102u);
  }
}

TEST(PNGGraphic, LoadsFromAStreamPositionAndStopsAfterTheEndChunk) {
  const Bytes file = MakePng(2, 1, 8, 2, {0, 1, 2, 3, 4, 5, 6}).Join();
  TMemoryStream stream;
  stream.WriteBuffer("xyz", 3);
  stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
  stream.WriteBuffer("tail", 4);
  stream.SetPosition(3);
  TPNGGraphic g;
  g.LoadFromStream(stream);
  EXPECT_EQ(Px(g, 1, 0), 0x040506u);
  EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(3 + file.size()));
  stream.SetPosition(0);
  EXPECT_THROW(g.LoadFromStream(stream), EInvalidGraphic);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(g.Width(), 2);
}

TEST(PNGGraphic, CopiesImagePropertiesOnAssign) {
  TPNGGraphic a;
  Load(a, MakePng(1, 1, 8, 4, {0, 5, 6}).Join());
  TPNGGraphic b;
  b.Assign(a);
  EXPECT_EQ(b.ImageProperties().ColorScheme, csGrayAlpha);
  EXPECT_EQ(PxColour(b, 0, 0), 0x050505u);
}

TEST(PNGGraphic, DrawsByPerPixelAlphaWithAReflection) {
  TPNGGraphic g;
  // A 1 x 2 column: opaque red over half-transparent blue.
  Load(g, MakePng(1, 2, 8, 6, {0, 255, 0, 0, 255, 0, 0, 0, 255, 128}).Join());
  g.Reflected = true;
  TBitmap target(3, 4, pf24bit);
  g.Draw(target, {1, 0, 2, 2});
  EXPECT_EQ(Px(target, 1, 0), 0xFE0000u);
  EXPECT_EQ(Px(target, 1, 1), 0x00007Fu);
  // One reflected row: the bottom row again at alpha (128 div 3) = 42.
  EXPECT_EQ(Px(target, 1, 2), 0x000029u);
  EXPECT_EQ(Px(target, 1, 3), 0u);
  EXPECT_EQ(Px(target, 0, 0), 0u);
}

TEST(PNGGraphic, DrawsStretchedWithoutReflectionAndCopiesOpaquePictures) {
  TPNGGraphic g;
  Load(g, MakePng(2, 2, 8, 6, Bytes{0, 9, 9, 9, 255, 9, 9, 9, 255, 0, 9, 9, 9, 255, 9, 9, 9, 255})
              .Join());
  g.Reflected = true;
  TBitmap target(6, 6, pf24bit);
  g.Draw(target, {0, 0, 4, 4});
  EXPECT_EQ(Px(target, 3, 3), 0x080808u);
  EXPECT_EQ(Px(target, 0, 4), 0u);  // no reflection when stretched
  TPNGGraphic opaque;
  Load(opaque, MakePng(1, 1, 8, 2, {0, 255, 255, 255}).Join());
  TBitmap white(2, 2, pf32bit);
  opaque.Draw(white, {1, 1, 2, 2});
  EXPECT_EQ(Px(white, 1, 1), 0x00FFFFFFu);
}

// Pictures of one pixel's width or height stretch like any other.
TEST(PNGGraphic, DrawsPicturesOfOnePixelStretched) {
  const struct {
    std::uint32_t w, h;
    TRect to;
  } cases[] = {{1, 1, {1, 1, 4, 3}}, {1, 3, {0, 1, 3, 5}}, {3, 1, {1, 0, 3, 2}}, {2, 1, {0, 0, 5, 5}}};
  for (const auto& c : cases)
    for (const int samples : {4, 3}) {
      Bytes rows;
      for (std::uint32_t y = 0; y < c.h; ++y) {
        rows.push_back(0);
        for (std::uint32_t x = 0; x < c.w; ++x) {
          rows.insert(rows.end(), {30, 200, 90});
          if (samples == 4) rows.push_back(255);
        }
      }
      TPNGGraphic g;
      Load(g, MakePng(c.w, c.h, 8, samples == 4 ? 6 : 2, rows).Join());
      TBitmap same = testing::Filled(1, 1, pf24bit, 0x445566);
      g.Draw(same, {0, 0, 1, 1});
      TBitmap target = testing::Filled(6, 6, pf24bit, 0x445566);
      g.Draw(target, c.to);
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
          ASSERT_EQ(Px(target, x, y), PtInRect(c.to, {x, y}) ? Px(same, 0, 0) : 0x445566u)
              << c.w << " x " << c.h << ", " << samples << " samples, at " << x << "," << y;
    }
}

TEST(ClearWhiteTransparentPixels, ClearsOnlyFullyTransparentWhite) {
  TBitmap b(3, 2, pf32bit);
  const std::uint8_t px[3][4] = {{255, 255, 255, 0}, {255, 255, 255, 1}, {254, 255, 255, 0}};
  for (int x = 0; x < 3; ++x) std::memcpy(b.ScanLine(1) + 4 * x, px[x], 4);
  ClearWhiteTransparentPixels(b);
  EXPECT_EQ(Px(b, 0, 1), 0u);
  EXPECT_EQ(Px(b, 1, 1), 0x01FFFFFFu);
  EXPECT_EQ(Px(b, 2, 1), 0x00FFFFFEu);
}

}  // namespace
}  // namespace kv
