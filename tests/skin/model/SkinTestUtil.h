// Hand-made skins for the tests: an options text and plain bitmaps, packed
// the way a packed skin file holds them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/Bitmap.h"
#include "base/Streams.h"
#include "skin/model/acSkinPack.h"

namespace kv::test {

inline TacBytes Bytes(const std::string& s) { return TacBytes(s.begin(), s.end()); }

// A 24-bit BMP file of one colour (B, G, R).
inline TacBytes SolidBmp(int width, int height, std::uint8_t b = 200, std::uint8_t g = 100,
                         std::uint8_t r = 50) {
  TBitmap bmp(width, height, pf24bit);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      p[3 * x] = b;
      p[3 * x + 1] = g;
      p[3 * x + 2] = r;
    }
  }
  return WriteBmp(bmp);
}

inline void WriteFile(const std::string& name, const TacBytes& bytes) {
  WriteFileBytes(name, std::string(bytes.begin(), bytes.end()));
}

// Options.dat first, then the images.
inline TacBytes MakePack(const std::string& options,
                         std::vector<std::pair<std::string, TacBytes>> images = {}) {
  std::vector<TacPackEntry> entries{{"Options.dat", Bytes(options)}};
  for (auto& [name, data] : images) entries.push_back({name, std::move(data)});
  return BuildPackedSkin(entries);
}

}  // namespace kv::test
