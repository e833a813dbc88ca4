#pragma once
// Hand-made PNG files for the reader's tests: chunks are written with zlib's
// own crc32 and compress2, so the files do not depend on the reader's code.

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kv::testing {

using Bytes = std::vector<std::uint8_t>;

inline void PutBE32(Bytes& b, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

inline Bytes MakeChunk(const char* type, const Bytes& data) {
  Bytes b;
  PutBE32(b, static_cast<std::uint32_t>(data.size()));
  b.insert(b.end(), type, type + 4);
  b.insert(b.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  // crc32 with a null buffer would return its initial value instead.
  if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  PutBE32(b, static_cast<std::uint32_t>(crc));
  return b;
}

inline Bytes Header(std::uint32_t w, std::uint32_t h, int depth, int colorType, int interlace = 0) {
  Bytes d;
  PutBE32(d, w);
  PutBE32(d, h);
  d.push_back(static_cast<std::uint8_t>(depth));
  d.push_back(static_cast<std::uint8_t>(colorType));
  d.push_back(0);
  d.push_back(0);
  d.push_back(static_cast<std::uint8_t>(interlace));
  return d;
}

inline Bytes Deflate(const Bytes& raw, int level = 9) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level);
  out.resize(size);
  return out;
}

// A PNG as a list of chunks that tests can edit before joining them.
struct PngFile {
  std::vector<Bytes> chunks;

  Bytes Join() const {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const Bytes& c : chunks) b.insert(b.end(), c.begin(), c.end());
    return b;
  }
  // Index of the first chunk of that type, -1 when none.
  int Find(const char* type) const {
    for (std::size_t i = 0; i < chunks.size(); ++i)
      if (std::memcmp(chunks[i].data() + 4, type, 4) == 0) return static_cast<int>(i);
    return -1;
  }
};

// A non-interlaced image from rows that already carry their filter byte.
inline PngFile MakePng(std::uint32_t w, std::uint32_t h, int depth, int colorType,
                       const Bytes& filteredRows, const std::vector<Bytes>& before = {}) {
  PngFile f;
  f.chunks.push_back(MakeChunk("IHDR", Header(w, h, depth, colorType)));
  for (const Bytes& c : before) f.chunks.push_back(c);
  f.chunks.push_back(MakeChunk("IDAT", Deflate(filteredRows)));
  f.chunks.push_back(MakeChunk("IEND", {}));
  return f;
}

// An Adam7-interlaced image of one sample per pixel (depth up to 8), pixel
// (x, y) being sample(x, y); every row of filter type 0.
inline PngFile MakeInterlacedPng(int w, int h, int depth, int colorType,
                                 const std::function<unsigned(int x, int y)>& sample,
                                 const std::vector<Bytes>& before = {}) {
  const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  Bytes raw;
  for (const auto& p : passes) {
    if (p[0] >= w) continue;
    for (int y = p[1]; y < h; y += p[3]) {
      raw.push_back(0);
      for (int x = p[0], bit = 0; x < w; x += p[2], bit += depth) {
        if (bit % 8 == 0) raw.push_back(0);
        raw.back() |= static_cast<std::uint8_t>(sample(x, y) << (8 - depth - bit % 8));
      }
    }
  }
  PngFile f;
  f.chunks.push_back(MakeChunk("IHDR", Header(w, h, depth, colorType, 1)));
  for (const Bytes& c : before) f.chunks.push_back(c);
  f.chunks.push_back(MakeChunk("IDAT", Deflate(raw)));
  f.chunks.push_back(MakeChunk("IEND", {}));
  return f;
}

// 8-bit RGB rows of filter type 0 where pixel (x, y) is (x, y, x + y).
inline Bytes RgbRamp(int w, int h) {
  Bytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      raw.push_back(static_cast<std::uint8_t>(x));
      raw.push_back(static_cast<std::uint8_t>(y));
      raw.push_back(static_cast<std::uint8_t>(x + y));
    }
  }
  return raw;
}

}  // namespace kv::testing
