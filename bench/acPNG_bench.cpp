// PNG decoding speed of our reader against libpng on the same files:
// photographic and skin-like pictures, 24-bit and 32-bit.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "skin/graphics/acPNG.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

// photo: smooth shading with noise; skin: flat fills, gradients and hard edges.
Bytes MakeFile(bool photo, bool alpha, int w = 512, int h = 512) {
  const int channels = alpha ? 4 : 3;
  std::mt19937 rng(photo ? 1 : 2);
  std::vector<Bytes> rows(h, Bytes(static_cast<std::size_t>(w) * channels));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &rows[y][static_cast<std::size_t>(x) * channels];
      if (photo) {
        const double v = 128 + 60 * std::sin(x / 37.0) * std::cos(y / 23.0);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(v + c * 20 + rng() % 24);
        if (alpha) p[3] = static_cast<std::uint8_t>(200 + rng() % 56);
      } else {
        const bool border = x % 64 < 3 || y % 48 < 3;
        const std::uint8_t g = static_cast<std::uint8_t>(180 + (y % 48));
        p[0] = border ? 60 : g, p[1] = border ? 70 : g, p[2] = border ? 90 : 230;
        if (alpha) p[3] = (x % 64 < 2) ? static_cast<std::uint8_t>(x % 64 * 120) : 255;
      }
    }
  Bytes file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) std::abort();
  png_set_write_fn(png, &file, Append, nullptr);
  png_set_IHDR(png, info, w, h, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (auto& r : rows) png_write_row(png, r.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return file;
}

const Bytes& File(int kind) {
  static const Bytes files[4] = {MakeFile(true, false), MakeFile(true, true),
                                 MakeFile(false, false), MakeFile(false, true)};
  return files[kind];
}

const char* const kNames[4] = {"photo24", "photo32", "skin24", "skin32"};

struct Reader {
  const Bytes* file;
  std::size_t pos = 0;
};

void Read(png_structp png, png_bytep data, png_size_t size) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  std::memcpy(data, r->file->data() + r->pos, size);
  r->pos += size;
}

void BM_PngDecode_Ours(benchmark::State& state) {
  const Bytes& file = File(static_cast<int>(state.range(0)));
  kv::TPNGGraphic png;
  for (auto _ : state) {
    png.LoadFromMemory(file.data(), file.size());
    benchmark::DoNotOptimize(png.Bits());
  }
  state.SetLabel(kNames[state.range(0)]);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
  state.SetItemsProcessed(state.iterations() * png.Width() * png.Height());
}

void BM_PngDecode_Libpng(benchmark::State& state) {
  const Bytes& file = File(static_cast<int>(state.range(0)));
  Bytes pixels;
  std::vector<png_bytep> rows;
  int w = 0, h = 0;
  for (auto _ : state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) std::abort();
    Reader r{&file};
    png_set_read_fn(png, &r, Read);
    png_read_info(png, info);
    png_set_bgr(png);  // the same byte order as our bitmaps
    png_read_update_info(png, info);
    w = static_cast<int>(png_get_image_width(png, info));
    h = static_cast<int>(png_get_image_height(png, info));
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    pixels.resize(rowBytes * h);
    rows.resize(h);
    for (int y = 0; y < h; ++y) rows[y] = pixels.data() + rowBytes * y;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetLabel(kNames[state.range(0)]);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
  state.SetItemsProcessed(state.iterations() * w * h);
}

BENCHMARK(BM_PngDecode_Ours)->DenseRange(0, 3);
BENCHMARK(BM_PngDecode_Libpng)->DenseRange(0, 3);

}  // namespace
