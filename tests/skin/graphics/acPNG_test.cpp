#include "skin/graphics/acPNG.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "PngFiles.h"
#include "base/Streams.h"

namespace kv {
namespace {

using testing::Bytes;
using testing::MakeChunk;
using testing::MakePng;
using testing::PngFile;

Bytes Be32(std::uint32_t v) {
  Bytes b;
  testing::PutBE32(b, v);
  return b;
}

std::uint32_t Pixel(const TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + x * b.BytesPerPixel();
  std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16;
  if (b.BytesPerPixel() == 4) v |= static_cast<std::uint32_t>(p[3]) << 24;
  return v;  // 0xAARRGGBB from the bytes B, G, R, A
}

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

TEST(PNGGraphic, LoadsRgbAsTwentyFourBitBgrWithItsProperties) {
  TPNGGraphic g;
  Load(g, MakePng(5, 3, 8, 2, testing::RgbRamp(5, 3)).Join());
  ASSERT_EQ(g.Width(), 5);
  ASSERT_EQ(g.Height(), 3);
  EXPECT_EQ(g.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixel(g, 4, 2), 0x040206u);  // R 4, G 2, B 6
  EXPECT_EQ(Pixel(g, 0, 1), 0x000101u);
  const TPNGImageProperties& p = g.ImageProperties();
  EXPECT_EQ(p.ColorScheme, csRGB);
  EXPECT_EQ(p.BitsPerSample, 8);
  EXPECT_EQ(p.SamplesPerPixel, 3);
  EXPECT_EQ(p.BitsPerPixel, 24);
  EXPECT_EQ(p.Compression, 2);
  EXPECT_EQ(p.Options & 1, 1u);
  EXPECT_FALSE(p.Interlaced);
  EXPECT_FALSE(g.Transparent);
}

TEST(PNGGraphic, KeepsStraightAlphaOfRgbaImages) {
  const Bytes raw = {0, 10, 20, 30, 40, 255, 255, 255, 0};
  TPNGGraphic g;
  Load(g, MakePng(2, 1, 8, 6, raw).Join());
  ASSERT_EQ(g.PixelFormat(), pf32bit);
  EXPECT_EQ(Pixel(g, 0, 0), 0x280A141Eu);  // B 30, G 20, R 10, A 40
  EXPECT_EQ(Pixel(g, 1, 0), 0x00FFFFFFu);
  EXPECT_TRUE(g.ImageProperties().HasAlpha);
}

TEST(PNGGraphic, ScalesSixteenBitSamplesByTruncation) {
  // 0x8080 * 255 / 65535 = 128; 0x00FF -> 0; 0xFFFF -> 255.
  const Bytes raw = {0, 0x80, 0x80, 0x00, 0xFF, 0xFF, 0xFF};
  TPNGGraphic g;
  Load(g, MakePng(1, 1, 16, 2, raw).Join());
  EXPECT_EQ(Pixel(g, 0, 0), 0x8000FFu);
}

TEST(PNGGraphic, DropsTheAlphaOfGreyWithAlpha) {
  const Bytes raw = {0, 77, 9, 200, 0};
  TPNGGraphic g;
  Load(g, MakePng(2, 1, 8, 4, raw).Join());
  EXPECT_EQ(g.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixel(g, 0, 0), 0x4D4D4Du);
  EXPECT_EQ(Pixel(g, 1, 0), 0xC8C8C8u);
  EXPECT_EQ(g.ImageProperties().ColorScheme, csGrayAlpha);
}

TEST(PNGGraphic, SpreadsLowBitDepthGreyOverTheWholeRange) {
  struct Case {
    int depth;
    std::uint8_t packed;
    std::uint8_t first, second;
  } cases[] = {{1, 0x80, 255, 0}, {2, 0x70, 85, 255}, {4, 0x3F, 51, 255}};
  for (const Case& c : cases) {
    TPNGGraphic g;
    Load(g, MakePng(2, 1, c.depth, 0, {0, c.packed}).Join());
    EXPECT_EQ(Pixel(g, 0, 0), c.first * 0x010101u) << "depth " << c.depth;
    EXPECT_EQ(Pixel(g, 1, 0), c.second * 0x010101u) << "depth " << c.depth;
  }
}

TEST(PNGGraphic, LoadsTwoBitIndexedThroughThePalette) {
  const Bytes plte = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  // Indexes 0, 1, 2, 3: the fourth lies outside the palette and comes out black.
  TPNGGraphic g;
  Load(g, MakePng(4, 1, 2, 3, {0, 0x1B}, {MakeChunk("PLTE", plte)}).Join());
  EXPECT_EQ(g.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixel(g, 0, 0), 0xFF0000u);  // red: bytes B 0, G 0, R 255
  EXPECT_EQ(Pixel(g, 1, 0), 0x00FF00u);
  EXPECT_EQ(Pixel(g, 2, 0), 0x0000FFu);
  EXPECT_EQ(Pixel(g, 3, 0), 0u);
  EXPECT_EQ(g.ImageProperties().ColorScheme, csIndexed);
  EXPECT_EQ(g.ImageProperties().BitsPerSample, 2);
}

TEST(PNGGraphic, StoresIndexTransparencyPaddedWithOpaque) {
  const Bytes plte = {1, 2, 3, 4, 5, 6};
  TPNGGraphic g;
  Load(g, MakePng(1, 1, 8, 3, {0, 1}, {MakeChunk("PLTE", plte), MakeChunk("tRNS", {7})}).Join());
  EXPECT_EQ(g.IndexTransparency()[0], 7);
  EXPECT_EQ(g.IndexTransparency()[1], 255);
  EXPECT_EQ(Pixel(g, 0, 0), 0x040506u);
}

TEST(PNGGraphic, TurnsAnRgbTransparencyKeyIntoTheBitmapsTransparentColour) {
  const Bytes trns = {0, 10, 0, 20, 0, 30};
  TPNGGraphic g;
  Load(g, MakePng(1, 1, 8, 2, {0, 10, 20, 30}, {MakeChunk("tRNS", trns)}).Join());
  EXPECT_TRUE(g.Transparent);
  EXPECT_EQ(g.TransparentColor, ColorFromRGB(10, 20, 30));
}

TEST(PNGGraphic, ScalesAGreyKeyLikeThePixels) {
  TPNGGraphic g;
  Load(g, MakePng(1, 1, 4, 0, {0, 0x30}, {MakeChunk("tRNS", {0, 3})}).Join());
  EXPECT_TRUE(g.Transparent);
  EXPECT_EQ(g.TransparentColor, ColorFromRGB(51, 51, 51));
}

TEST(PNGGraphic, ResolvesTheBackgroundColour) {
  TPNGGraphic rgb;
  Load(rgb, MakePng(1, 1, 8, 2, {0, 1, 2, 3}, {MakeChunk("bKGD", {0, 1, 0, 2, 0, 3})}).Join());
  EXPECT_EQ(rgb.BackgroundColor(), ColorFromRGB(1, 2, 3));
  TPNGGraphic none;
  Load(none, MakePng(1, 1, 8, 2, {0, 1, 2, 3}).Join());
  EXPECT_EQ(none.BackgroundColor(), clWhite);
}

TEST(PNGGraphic, AppliesTheFileGammaWithDisplayGamma22) {
  // gamma 1.0: 128 -> round(255 * (128/255)^(1/2.2)) = 186; alpha untouched.
  const Bytes raw = {0, 128, 0, 255, 128};
  TPNGGraphic g;
  Load(g, MakePng(1, 1, 8, 6, raw, {MakeChunk("gAMA", Be32(100000))}).Join());
  EXPECT_EQ(Pixel(g, 0, 0), 0x80BA00FFu);
  EXPECT_FLOAT_EQ(g.ImageProperties().FileGamma, 1.0f);
  EXPECT_EQ(g.ImageProperties().Options & 2, 2u);
}

TEST(PNGGraphic, UndoesEveryRowFilter) {
  // One-byte grey pixels 10, 20, 30 on two rows, the second row filtered by each type.
  const std::uint8_t top[] = {10, 20, 30};
  const std::uint8_t want[] = {40, 50, 70};
  const Bytes second[] = {
      {0, 40, 50, 70},                                      // none
      {1, 40, 10, 20},                                      // sub
      {2, 30, 30, 40},                                      // up
      {3, 40 - 5, 50 - (40 + 20) / 2, 70 - (50 + 30) / 2},  // average
      {4, 30, 10, 20},                                      // Paeth: up, left, left
  };
  for (int type = 0; type < 5; ++type) {
    Bytes raw = {0, top[0], top[1], top[2]};
    raw.insert(raw.end(), second[type].begin(), second[type].end());
    TPNGGraphic g;
    Load(g, MakePng(3, 2, 8, 0, raw).Join());
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Pixel(g, x, 1), want[x] * 0x010101u) << "filter " << type;
  }
}

TEST(PNGGraphic, LoadsInterlacedImages) {
  // Adam7 rows of a 3 x 3 grey image whose pixel (x, y) is 10 * (3y + x).
  const auto v = [](int x, int y) { return static_cast<std::uint8_t>(10 * (3 * y + x)); };
  struct P {
    int x0, y0, dx, dy;
  } passes[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  Bytes raw;
  for (const P& p : passes) {
    for (int y = p.y0; y < 3; y += p.dy) {
      if (p.x0 >= 3) break;
      raw.push_back(0);
      for (int x = p.x0; x < 3; x += p.dx) raw.push_back(v(x, y));
    }
  }
  PngFile f;
  f.chunks = {MakeChunk("IHDR", testing::Header(3, 3, 8, 0, 1)),
              MakeChunk("IDAT", testing::Deflate(raw)), MakeChunk("IEND", {})};
  TPNGGraphic g;
  Load(g, f.Join());
  EXPECT_TRUE(g.ImageProperties().Interlaced);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Pixel(g, x, y), v(x, y) * 0x010101u) << x << "," << y;
}

TEST(PNGGraphic, ReadsImageDataSplitOverSeveralChunks) {
  PngFile f = MakePng(6, 4, 8, 2, testing::RgbRamp(6, 4));
  const int i = f.Find("IDAT");
  const Bytes body(f.chunks[i].begin() + 8, f.chunks[i].end() - 4);
  std::vector<Bytes> parts;
  for (std::size_t at = 0; at < body.size(); at += 5)
    parts.push_back(
        MakeChunk("IDAT", Bytes(body.begin() + at, body.begin() + std::min(body.size(), at + 5))));
  parts.insert(parts.begin() + 1, MakeChunk("IDAT", {}));  // an empty one in between
  f.chunks.erase(f.chunks.begin() + i);
  f.chunks.insert(f.chunks.begin() + i, parts.begin(), parts.end());
  TPNGGraphic g;
  Load(g, f.Join());
  EXPECT_EQ(Pixel(g, 5, 3), 0x050308u);
}

TEST(PNGGraphic, SkipsAncillaryChunksAndIgnoresAPaletteOfRgbImages) {
  const Bytes text = {'a', 0, 'b'};
  TPNGGraphic g;
  Load(g, MakePng(1, 1, 8, 2, {0, 1, 2, 3},
                  {MakeChunk("tEXt", text), MakeChunk("PLTE", {9, 9, 9}), MakeChunk("prIv", {1})})
              .Join());
  EXPECT_EQ(Pixel(g, 0, 0), 0x010203u);
}

TEST(PNGGraphic, ReturnsTheBytesUpToTheEndChunk) {
  Bytes file = MakePng(1, 1, 8, 2, {0, 1, 2, 3}).Join();
  const std::size_t size = file.size();
  file.insert(file.end(), {1, 2, 3});
  TPNGGraphic g;
  EXPECT_EQ(g.LoadFromMemory(file.data(), file.size()), size);
}

// Each malformed file is rejected with its own text.
TEST(PNGGraphic, RejectsMalformedFiles) {
  const Bytes rgb = testing::RgbRamp(4, 4);
  const auto base = [&] { return MakePng(4, 4, 8, 2, rgb); };
  struct Case {
    const char* name;
    std::function<Bytes()> make;
    std::string error;
  } cases[] = {
      {"bad signature",
       [&] {
         Bytes b = base().Join();
         b[1] = 'p';
         return b;
       },
       kFormat},
      {"empty file", [] { return Bytes{}; }, kFormat},
      {"first chunk not IHDR",
       [&] {
         PngFile f = base();
         std::swap(f.chunks[0], f.chunks[1]);
         return f.Join();
       },
       kFormat},
      {"zero width", [&] { return MakePng(0, 4, 8, 2, rgb).Join(); }, kFormat},
      {"huge dimensions", [&] { return MakePng(0x7FFFFFFF, 0x7FFFFFFF, 8, 2, rgb).Join(); },
       "Cannot load image. The PNG image is larger than allowed."},
      {"width beyond 2^31", [&] { return MakePng(0x80000000u, 1, 8, 2, rgb).Join(); }, kFormat},
      {"image data far too short for the size",
       [&] { return MakePng(8000, 8000, 8, 2, rgb).Join(); }, kCompression},
      {"bad colour type and depth", [&] { return MakePng(4, 4, 4, 2, rgb).Join(); },
       "Invalid color format in PNG file."},
      {"compression method 1",
       [&] {
         PngFile f = base();
         Bytes h = testing::Header(4, 4, 8, 2);
         h[10] = 1;
         f.chunks[0] = MakeChunk("IHDR", h);
         return f.Join();
       },
       "Cannot load image. The compression scheme is not supported for PNG files."},
      {"bad CRC in IHDR",
       [&] {
         Bytes b = base().Join();
         b[8 + 8 + 13] ^= 1;
         return b;
       },
       kCrc},
      {"bad CRC in IDAT",
       [&] {
         PngFile f = base();
         f.chunks[f.Find("IDAT")].back() ^= 0x40;
         return f.Join();
       },
       kCrc},
      {"bad CRC in gAMA",
       [&] {
         PngFile f = MakePng(4, 4, 8, 2, rgb, {MakeChunk("gAMA", Be32(45455))});
         f.chunks[1].back() ^= 1;
         return f.Join();
       },
       kCrc},
      {"chunk length past the end",
       [&] {
         PngFile f = base();
         Bytes& c = f.chunks[f.Find("IDAT")];
         c[0] = 0x00, c[1] = 0x10;
         return f.Join();
       },
       kFormat},
      {"chunk length above 2^31",
       [&] {
         PngFile f = base();
         f.chunks[f.Find("IDAT")][0] = 0x80;
         return f.Join();
       },
       kFormat},
      {"truncated image data",
       [&] {
         PngFile f = base();
         Bytes& c = f.chunks[f.Find("IDAT")];
         const Bytes body(c.begin() + 8, c.end() - 4 - 10);
         c = MakeChunk("IDAT", body);
         return f.Join();
       },
       kCompression},
      {"zlib stream ends before the last row",
       [&] { return MakePng(4, 4, 8, 2, testing::RgbRamp(4, 3)).Join(); }, kExtra},
      {"image data changed after its zlib checksum was made",
       [&] {
         Bytes z = testing::Deflate(rgb, 0);  // stored: any changed byte still inflates
         z[2 + 5 + 20] ^= 0x08;
         PngFile f = base();
         f.chunks[f.Find("IDAT")] = MakeChunk("IDAT", z);
         return f.Join();
       },
       kCompression},
      {"wrong zlib checksum in an image chunk of its own",
       [&] {
         Bytes z = testing::Deflate(rgb);
         z.back() ^= 0x01;
         const Bytes trailer(z.end() - 4, z.end());
         z.resize(z.size() - 4);
         PngFile f = base();
         const int at = f.Find("IDAT");
         f.chunks[at] = MakeChunk("IDAT", z);
         f.chunks.insert(f.chunks.begin() + at + 1, MakeChunk("IDAT", trailer));
         return f.Join();
       },
       kCompression},
      {"filter type 5",
       [&] {
         Bytes raw = rgb;
         raw[13] = 5;
         return MakePng(4, 4, 8, 2, raw).Join();
       },
       kFormat},
      {"bad zlib data",
       [&] {
         PngFile f = base();
         f.chunks[f.Find("IDAT")] = MakeChunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF});
         return f.Join();
       },
       kCompression},
      {"unknown critical chunk",
       [&] { return MakePng(4, 4, 8, 2, rgb, {MakeChunk("ABCD", {})}).Join(); }, kCritical},
      {"second header",
       [&] {
         return MakePng(4, 4, 8, 2, rgb, {MakeChunk("IHDR", testing::Header(4, 4, 8, 2))}).Join();
       },
       kCritical},
      {"palette of 769 bytes",
       [&] { return MakePng(4, 4, 8, 2, rgb, {MakeChunk("PLTE", Bytes(769))}).Join(); }, kPalette},
      {"indexed image without palette",
       [&] {
         return MakePng(1, 1, 8, 3, {0, 0}).Join();
       },
       kPalette},
      {"no end chunk",
       [&] {
         PngFile f = base();
         f.chunks.pop_back();
         return f.Join();
       },
       kFormat},
      {"no image data",
       [&] {
         PngFile f = base();
         f.chunks.erase(f.chunks.begin() + f.Find("IDAT"));
         return f.Join();
       },
       kFormat},
      {"bad interlace method",
       [&] {
         PngFile f = base();
         f.chunks[0] = MakeChunk("IHDR", testing::Header(4, 4, 8, 2, 2));
         return f.Join();
       },
       kFormat},
  };
  for (const Case& c : cases) EXPECT_EQ(LoadError(c.make()), c.error) << c.name;
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
    EXPECT_EQ(Pixel(g, 1, 1), 0x010102u);
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
  EXPECT_EQ(Pixel(g, 1, 0), 0x040506u);
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
  EXPECT_EQ(Pixel(b, 0, 0), 0x050505u);
}

TEST(PNGGraphic, DrawsByPerPixelAlphaWithAReflection) {
  TPNGGraphic g;
  // A 1 x 2 column: opaque red over half-transparent blue.
  Load(g, MakePng(1, 2, 8, 6, {0, 255, 0, 0, 255, 0, 0, 0, 255, 128}).Join());
  g.Reflected = true;
  TBitmap target(3, 4, pf24bit);
  g.Draw(target, {1, 0, 2, 2});
  EXPECT_EQ(Pixel(target, 1, 0), 0xFE0000u);
  EXPECT_EQ(Pixel(target, 1, 1), 0x00007Fu);
  // One reflected row: the bottom row again at alpha (128 div 3) = 42.
  EXPECT_EQ(Pixel(target, 1, 2), 0x000029u);
  EXPECT_EQ(Pixel(target, 1, 3), 0u);
  EXPECT_EQ(Pixel(target, 0, 0), 0u);
}

TEST(PNGGraphic, DrawsStretchedWithoutReflectionAndCopiesOpaquePictures) {
  TPNGGraphic g;
  Load(g, MakePng(2, 2, 8, 6, Bytes{0, 9, 9, 9, 255, 9, 9, 9, 255, 0, 9, 9, 9, 255, 9, 9, 9, 255})
              .Join());
  g.Reflected = true;
  TBitmap target(6, 6, pf24bit);
  g.Draw(target, {0, 0, 4, 4});
  EXPECT_EQ(Pixel(target, 3, 3), 0x080808u);
  EXPECT_EQ(Pixel(target, 0, 4), 0u);  // no reflection when stretched
  TPNGGraphic opaque;
  Load(opaque, MakePng(1, 1, 8, 2, {0, 255, 255, 255}).Join());
  TBitmap white(2, 2, pf32bit);
  opaque.Draw(white, {1, 1, 2, 2});
  EXPECT_EQ(Pixel(white, 1, 1), 0x00FFFFFFu);
}

TEST(ClearWhiteTransparentPixels, ClearsOnlyFullyTransparentWhite) {
  TBitmap b(3, 2, pf32bit);
  const std::uint8_t px[3][4] = {{255, 255, 255, 0}, {255, 255, 255, 1}, {254, 255, 255, 0}};
  for (int x = 0; x < 3; ++x) std::memcpy(b.ScanLine(1) + 4 * x, px[x], 4);
  ClearWhiteTransparentPixels(b);
  EXPECT_EQ(Pixel(b, 0, 1), 0u);
  EXPECT_EQ(Pixel(b, 1, 1), 0x01FFFFFFu);
  EXPECT_EQ(Pixel(b, 2, 1), 0x00FFFFFEu);
}

}  // namespace
}  // namespace kv
