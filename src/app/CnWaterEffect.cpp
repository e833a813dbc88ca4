#include "app/CnWaterEffect.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>

#include "base/SysUtils.h"

namespace kv {

namespace {

// Heights are kept in 32 bits; sums are taken in 64 bits and the result held
// to the 32-bit range, so that a pile of drops on one spot cannot overflow.
std::int32_t ClampHeight(std::int64_t value) {
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(value, lo, hi));
}

std::uint8_t ClampByte(std::int64_t value) {
  return static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
}

// A random centre for a drop of radius r along an axis of the given length,
// leaving the disc one pixel clear of both borders; -1 when it does not fit.
int RandomCentre(int length, int r, int random) {
  const std::int64_t span = std::int64_t{length} - 2 * std::int64_t{r} - 1;
  if (span < 1) return -1;
  return static_cast<int>(random % span + r + 1);
}

}  // namespace

TCnWaterEffect::TCnWaterEffect()
    : random_(static_cast<std::minstd_rand::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {}

void TCnWaterEffect::WaterSetSize(int width, int height) {
  if (width < 1 || height < 1) {
    width = 0;
    height = 0;
  }
  if (std::int64_t{width} * height > TBitmap::MaxPixels)
    throw EInvalidOperation("Water area is too large");
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  current_.assign(count, 0);
  previous_.assign(count, 0);
  left_.resize(width);
  right_.resize(width);
  up_.resize(height);
  down_.resize(height);
  for (int x = 0; x < width; ++x) {
    left_[x] = std::max(x - 1, 0);
    right_[x] = std::min(x + 1, width - 1);
  }
  for (int y = 0; y < height; ++y) {
    up_[y] = std::max(y - 1, 0);
    down_[y] = std::min(y + 1, height - 1);
  }
  width_ = width;
  height_ = height;
}

void TCnWaterEffect::WaterBlob(int x, int y, int height, int radius) {
  if (radius < 0) return;
  if (x < 0 || x >= width_) {
    x = RandomCentre(width_, radius, RandomBelow32767());
    if (x < 0) return;
  }
  if (y < 0 || y >= height_) {
    y = RandomCentre(height_, radius, RandomBelow32767());
    if (y < 0) return;
  }
  const int dyFrom = -std::min(y, radius);
  const int dyTo = std::min(height_ - 1 - y, radius);
  const int dxFrom = -std::min(x, radius);
  const int dxTo = std::min(width_ - 1 - x, radius);
  const std::int64_t r2 = std::int64_t{radius} * radius;
  for (int dy = dyFrom; dy <= dyTo; ++dy) {
    for (int dx = dxFrom; dx <= dxTo; ++dx) {
      if (std::int64_t{dx} * dx + std::int64_t{dy} * dy > r2) continue;
      std::int32_t& h = current_[Index(x + dx, y + dy)];
      h = ClampHeight(std::int64_t{h} + height);
    }
  }
}

void TCnWaterEffect::WaterCalc() {
  const std::int64_t f = (100 - damping_) * 256 / 100;
  const std::int32_t* cur = current_.data();
  std::int32_t* next = previous_.data();  // holds the step before; overwritten in place
  for (int y = 0; y < height_; ++y) {
    const std::int32_t* u = cur + Index(0, up_[y]);
    const std::int32_t* c = cur + Index(0, y);
    const std::int32_t* d = cur + Index(0, down_[y]);
    std::int32_t* n = next + Index(0, y);
    for (int x = 0; x < width_; ++x) {
      const int l = left_[x];
      const int r = right_[x];
      const std::int64_t s = std::int64_t{u[l]} + u[x] + u[r] + c[l] + c[r] + d[l] + d[x] + d[r];
      n[x] = ClampHeight((s / 4 - n[x]) * f / 256);
    }
  }
  current_.swap(previous_);
}

void TCnWaterEffect::WaterRender(TBitmap& source, TBitmap& output) {
  if (&source == &output) {
    // Reading displaced pixels from the picture being written would smear it.
    TBitmap copy(source);
    WaterRender(copy, output);
    return;
  }
  source.SetPixelFormat(pf24bit);
  output.SetPixelFormat(pf24bit);

  const int copyWidth = std::min(source.Width(), output.Width());
  const int copyHeight = std::min(source.Height(), output.Height());
  if (copyWidth < 1 || copyHeight < 1) return;
  const std::uint8_t* srcTop = source.ScanLine(0);
  const std::ptrdiff_t srcStep = source.RowStep();
  std::uint8_t* outTop = output.ScanLine(0);
  const std::ptrdiff_t outStep = output.RowStep();
  for (int y = 0; y < copyHeight; ++y)
    std::memcpy(outTop + y * outStep, srcTop + y * srcStep,
                static_cast<std::size_t>(copyWidth) * 3);

  // Pixels are written only inside the output and read only inside the
  // source, whatever the sizes of the area and the two bitmaps.
  const int rows = std::min(height_, output.Height());
  const int cols = std::min(width_, output.Width());
  const std::int64_t sampleWidth = std::min(width_, source.Width());
  const std::int64_t sampleHeight = std::min(height_, source.Height());
  for (int y = 0; y < rows; ++y) {
    const std::int32_t* c = current_.data() + Index(0, y);
    const std::int32_t* u = current_.data() + Index(0, up_[y]);
    const std::int32_t* d = current_.data() + Index(0, down_[y]);
    std::uint8_t* out = outTop + y * outStep;
    for (int x = 0; x < cols; ++x) {
      const std::int64_t dx = std::int64_t{c[left_[x]]} - c[right_[x]];
      const std::int64_t dy = std::int64_t{u[x]} - d[x];
      if (dx == 0 && dy == 0) continue;
      const std::int64_t sx = x + dx;
      const std::int64_t sy = y + dy;
      if (sx < 0 || sx >= sampleWidth || sy < 0 || sy >= sampleHeight) continue;
      const std::uint8_t* s = srcTop + sy * srcStep + sx * 3;
      std::uint8_t* o = out + x * 3;
      o[0] = ClampByte(s[0] - dx);
      o[1] = ClampByte(s[1] - dx);
      o[2] = ClampByte(s[2] - dx);
    }
  }
}

void TCnWaterEffect::WaterCalcAndRender(TBitmap& source, TBitmap& output) {
  if (width_ < 1 || height_ < 1) return;
  WaterCalc();
  WaterRender(source, output);
}

void TCnWaterEffect::WaterSetDamping(TWaterDamping value) {
  if (value >= 1 && value <= 99) damping_ = value;
}

std::int32_t TCnWaterEffect::HeightAt(int x, int y) const {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) return 0;
  return current_[Index(x, y)];
}

}  // namespace kv
