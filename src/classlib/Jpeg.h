#pragma once
// JPEG pictures, decoded with libjpeg into a 24-bit bitmap.

#include "classlib/Graphics.h"

namespace kv {

class TJPEGImage : public TGraphic {
 public:
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  void Draw(TCanvas& canvas, const TRect& r) override;
  // Baseline and progressive files in grey or colour; raises
  // EInvalidGraphic for anything else and leaves the picture empty.
  void LoadFromMemory(const uint8_t* data, size_t size) override;
  void Assign(const TPersistent& source) override;
  // The decoded pixels (24 bits, B G R).
  const TBitmap& Bitmap() const { return bitmap_; }

 private:
  TBitmap bitmap_;
};

}  // namespace kv
