// The reader against libpng: files written by libpng's writer in every colour
// type and bit depth, interlaced and not, with and without tRNS and gAMA, are
// decoded by libpng to raw samples and by our reader; the raw samples are then
// mapped the way our bitmaps hold them and compared byte for byte.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "skin/graphics/acPNG.h"

namespace kv {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Options {
  int colorType;
  int depth;
  bool interlace = false;
  bool transparency = false;
  int gamma = 0;  // gAMA value, 0 for none
  int filter = PNG_ALL_FILTERS;
  int width = 13, height = 11;
  bool smallChunks = false;
};

std::string Describe(const Options& o) {
  return "type " + std::to_string(o.colorType) + " depth " + std::to_string(o.depth) +
         (o.interlace ? " interlaced" : "") + (o.transparency ? " tRNS" : "") +
         (o.gamma ? " gAMA " + std::to_string(o.gamma) : "") + " filter " +
         std::to_string(o.filter) + " " + std::to_string(o.width) + "x" + std::to_string(o.height);
}

int Channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    default:
      return 1;
  }
}

struct Image {
  Bytes file;
  std::vector<png_color> palette;
  png_color_16 key{};
};

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

Image Write(const Options& o, std::mt19937& rng) {
  Image img;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write " << Describe(o);
    return img;
  }
  png_set_write_fn(png, &img.file, WriteToVector, nullptr);
  png_set_IHDR(png, info, o.width, o.height, o.depth, o.colorType,
               o.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, 0, o.filter);
  if (o.smallChunks) png_set_compression_buffer_size(png, 37);
  const int maxSample = (1 << o.depth) - 1;
  if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
    const int n = std::min(1 << o.depth, 200);
    for (int i = 0; i < n; ++i)
      img.palette.push_back({static_cast<png_byte>(rng()), static_cast<png_byte>(rng()),
                             static_cast<png_byte>(rng())});
    png_set_PLTE(png, info, img.palette.data(), n);
  }
  if (o.gamma) png_set_gAMA_fixed(png, info, o.gamma);
  // Samples: random, but the first pixel's value is reused as the key.
  const int channels = Channels(o.colorType);
  const std::size_t rowBytes = (static_cast<std::size_t>(o.width) * channels * o.depth + 7) / 8;
  std::vector<Bytes> rows(o.height, Bytes(rowBytes));
  const int indexLimit =
      o.colorType == PNG_COLOR_TYPE_PALETTE ? static_cast<int>(img.palette.size()) - 1 : maxSample;
  for (int y = 0; y < o.height; ++y) {
    for (int x = 0; x < o.width * channels; ++x) {
      const unsigned v = (y * 7 + x) % 5 == 0 ? 0 : rng() % (indexLimit + 1);
      if (o.depth == 16) {
        rows[y][2 * x] = static_cast<png_byte>(v >> 8);
        rows[y][2 * x + 1] = static_cast<png_byte>(v);
      } else if (o.depth == 8) {
        rows[y][x] = static_cast<png_byte>(v);
      } else {
        const int bit = x * o.depth;
        rows[y][bit / 8] |= static_cast<png_byte>(v << (8 - o.depth - bit % 8));
      }
    }
  }
  if (o.transparency) {
    if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
      png_byte alpha[3] = {0, 128, 255};
      png_set_tRNS(png, info, alpha, std::min(3, static_cast<int>(img.palette.size())), nullptr);
    } else if (o.colorType == PNG_COLOR_TYPE_GRAY) {
      img.key.gray = static_cast<png_uint_16>(maxSample / 3);
      png_set_tRNS(png, info, nullptr, 0, &img.key);
    } else if (o.colorType == PNG_COLOR_TYPE_RGB) {
      img.key.red = static_cast<png_uint_16>(maxSample / 2);
      img.key.green = static_cast<png_uint_16>(maxSample / 3);
      img.key.blue = static_cast<png_uint_16>(maxSample);
      png_set_tRNS(png, info, nullptr, 0, &img.key);
    }
  }
  png_write_info(png, info);
  std::vector<png_bytep> pointers;
  for (auto& r : rows) pointers.push_back(r.data());
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return img;
}

struct ReadBuffer {
  const Bytes* file;
  std::size_t pos = 0;
};

void ReadFromVector(png_structp png, png_bytep data, png_size_t size) {
  auto* in = static_cast<ReadBuffer*>(png_get_io_ptr(png));
  if (in->pos + size > in->file->size()) png_error(png, "read past the end");
  std::memcpy(data, in->file->data() + in->pos, size);
  in->pos += size;
}

// libpng's raw samples: one entry per sample (sub-byte depths unpacked),
// 16-bit samples as their values.
std::vector<std::vector<unsigned>> ReadRaw(const Bytes& file, const Options& o) {
  std::vector<std::vector<unsigned>> out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    ADD_FAILURE() << "libpng could not read " << Describe(o);
    return {};
  }
  ReadBuffer in{&file};
  png_set_read_fn(png, &in, ReadFromVector);
  png_read_info(png, info);
  if (o.depth < 8) png_set_packing(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<Bytes> rows(o.height, Bytes(rowBytes));
  std::vector<png_bytep> pointers;
  for (auto& r : rows) pointers.push_back(r.data());
  png_read_image(png, pointers.data());
  png_destroy_read_struct(&png, &info, nullptr);
  const int samples = o.width * Channels(o.colorType);
  for (const Bytes& r : rows) {
    std::vector<unsigned> v(samples);
    for (int i = 0; i < samples; ++i) v[i] = o.depth == 16 ? (r[2 * i] << 8 | r[2 * i + 1]) : r[i];
    out.push_back(v);
  }
  return out;
}

// How our bitmaps hold a sample: 16-bit values scaled by v * 255 div 65535,
// low depths spread over 0..255, colours through the gamma table of the file
// gamma with display gamma 2.2 (rounded half to even), alpha never.
struct Mapping {
  int depth;
  std::uint8_t gamma[256];

  Mapping(int depth, int gammaValue) : depth(depth) {
    for (int i = 0; i < 256; ++i) {
      const double g = gammaValue ? gammaValue / 100000.0 : 0;
      gamma[i] = gammaValue ? static_cast<std::uint8_t>(
                                  std::nearbyint(255.0 * std::pow(i / 255.0, 1.0 / (g * 2.2))))
                            : static_cast<std::uint8_t>(i);
    }
  }
  std::uint8_t Level(unsigned v) const {
    if (depth == 16) return static_cast<std::uint8_t>(v * 255 / 65535);
    return static_cast<std::uint8_t>(v * 255 / ((1u << depth) - 1));
  }
  std::uint8_t Colour(unsigned v) const { return gamma[Level(v)]; }
};

// RGB keeps its colours; grey and indexed images get a palette format of
// their depth (2 bits in 4), grey with alpha 8 bits.
TPixelFormat ExpectedFormat(const Options& o) {
  switch (o.colorType) {
    case PNG_COLOR_TYPE_RGB:
      return pf24bit;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return pf32bit;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return pf8bit;
    default:
      return o.depth == 1 ? pf1bit : o.depth <= 4 ? pf4bit : pf8bit;
  }
}

void Compare(const Options& o, std::mt19937& rng) {
  SCOPED_TRACE(Describe(o));
  const Image img = Write(o, rng);
  const auto raw = ReadRaw(img.file, o);
  ASSERT_EQ(raw.size(), static_cast<std::size_t>(o.height));
  TPNGGraphic g;
  ASSERT_NO_THROW(g.LoadFromMemory(img.file.data(), img.file.size()));
  ASSERT_EQ(g.Width(), o.width);
  ASSERT_EQ(g.Height(), o.height);
  const bool alpha = o.colorType == PNG_COLOR_TYPE_RGB_ALPHA;
  ASSERT_EQ(g.PixelFormat(), ExpectedFormat(o));
  // Grey and indexed images hold palette indexes: compare their colours.
  TBitmap shown = g;
  if (!alpha) shown.SetPixelFormat(pf24bit);
  const Mapping m(o.depth, o.gamma);
  const int channels = Channels(o.colorType);
  for (int y = 0; y < o.height; ++y) {
    const std::uint8_t* row = shown.ScanLine(y);
    for (int x = 0; x < o.width; ++x) {
      const unsigned* s = &raw[y][x * channels];
      std::uint8_t want[4] = {};
      switch (o.colorType) {
        case PNG_COLOR_TYPE_PALETTE: {
          const png_color& c = img.palette[s[0]];
          want[0] = m.gamma[c.blue];
          want[1] = m.gamma[c.green];
          want[2] = m.gamma[c.red];
          break;
        }
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_GRAY_ALPHA:
          want[0] = want[1] = want[2] = m.Colour(s[0]);
          break;
        default:
          want[0] = m.Colour(s[2]);
          want[1] = m.Colour(s[1]);
          want[2] = m.Colour(s[0]);
          if (alpha) want[3] = m.Level(s[3]);
      }
      const int bpp = alpha ? 4 : 3;
      ASSERT_EQ(std::memcmp(row + x * bpp, want, bpp), 0) << "pixel " << x << "," << y;
    }
  }
  const bool keyed =
      o.transparency && (o.colorType == PNG_COLOR_TYPE_GRAY || o.colorType == PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(g.Transparent, keyed);
  if (o.colorType == PNG_COLOR_TYPE_GRAY && keyed) {
    const std::uint8_t v = m.Colour(img.key.gray);
    EXPECT_EQ(g.TransparentColor, ColorFromRGB(v, v, v));
  } else if (keyed) {
    EXPECT_EQ(g.TransparentColor,
              ColorFromRGB(m.Colour(img.key.red), m.Colour(img.key.green), m.Colour(img.key.blue)));
  }
  if (o.transparency && o.colorType == PNG_COLOR_TYPE_PALETTE) {
    EXPECT_EQ(g.IndexTransparency()[1], 128);
    EXPECT_EQ(g.IndexTransparency()[3], 255);
  }
}

struct Format {
  int colorType;
  int depth;
};
const Format kFormats[] = {
    {PNG_COLOR_TYPE_GRAY, 1},        {PNG_COLOR_TYPE_GRAY, 2},      {PNG_COLOR_TYPE_GRAY, 4},
    {PNG_COLOR_TYPE_GRAY, 8},        {PNG_COLOR_TYPE_GRAY, 16},     {PNG_COLOR_TYPE_RGB, 8},
    {PNG_COLOR_TYPE_RGB, 16},        {PNG_COLOR_TYPE_PALETTE, 1},   {PNG_COLOR_TYPE_PALETTE, 2},
    {PNG_COLOR_TYPE_PALETTE, 4},     {PNG_COLOR_TYPE_PALETTE, 8},   {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {PNG_COLOR_TYPE_RGB_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 16},
};

TEST(PNGGraphicAgainstLibpng, MatchesEveryColourTypeAndDepth) {
  std::mt19937 rng(1);
  for (const Format& f : kFormats)
    for (bool interlace : {false, true})
      for (bool transparency : {false, true})
        for (int gamma : {0, 45455, 100000}) {
          Options o{f.colorType, f.depth};
          o.interlace = interlace;
          o.transparency = transparency;
          o.gamma = gamma;
          Compare(o, rng);
        }
}

TEST(PNGGraphicAgainstLibpng, MatchesEveryFilterAndOddSize) {
  std::mt19937 rng(2);
  const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB,   PNG_FILTER_UP,
                         PNG_FILTER_AVG,  PNG_FILTER_PAETH, PNG_ALL_FILTERS};
  const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {7, 7}, {8, 8}, {9, 9}, {33, 17}};
  for (const Format& f : kFormats)
    for (int filter : filters)
      for (const auto& size : sizes)
        for (bool interlace : {false, true}) {
          Options o{f.colorType, f.depth};
          o.filter = filter;
          o.width = size[0];
          o.height = size[1];
          o.interlace = interlace;
          Compare(o, rng);
        }
}

TEST(PNGGraphicAgainstLibpng, MatchesImageDataSplitIntoSmallChunks) {
  std::mt19937 rng(3);
  for (const Format& f : kFormats) {
    Options o{f.colorType, f.depth};
    o.width = 40;
    o.height = 30;
    o.smallChunks = true;
    Compare(o, rng);
    o.interlace = true;
    Compare(o, rng);
  }
}

}  // namespace
}  // namespace kv
