// Water ripples over a picture: a height field that spreads and fades one
// step at a time, and a renderer that shifts each pixel of a 24-bit picture
// by the local slope of the water. Integer arithmetic only, so that a whole
// login picture can be simulated and drawn on every timer tick.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "base/Bitmap.h"

namespace kv {

using TWaterDamping = int;  // 1..99

class TCnWaterEffect {
 public:
  TCnWaterEffect();

  // Sizes the area and clears both height buffers; a size below 1 in either
  // direction gives an empty 0 x 0 area.
  void WaterSetSize(int width, int height);

  // Adds a disc of the given height and radius around (x, y), clipped to the
  // area. A position outside the area asks for a drop at a random place that
  // keeps the whole disc off the border; an area too small for that gets none.
  void WaterBlob(int x, int y, int height, int radius);

  // One simulation step: every height becomes the mean of its eight
  // neighbours (doubled) minus its height of the step before, damped.
  void WaterCalc();

  // Draws the source picture refracted by the current heights into Output.
  // Both bitmaps become 24-bit; Output keeps its size.
  void WaterRender(TBitmap& source, TBitmap& output);

  // WaterCalc then WaterRender; nothing at all while the area is empty.
  void WaterCalcAndRender(TBitmap& source, TBitmap& output);

  // Takes values 1..99; any other value keeps the old damping.
  void WaterSetDamping(TWaterDamping value);

  int Width() const { return width_; }
  int Height() const { return height_; }
  TWaterDamping Damping() const { return damping_; }
  // The current wave height at (x, y); 0 outside the area.
  std::int32_t HeightAt(int x, int y) const;

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  int RandomBelow32767() { return static_cast<int>(random_() % 32767u); }

  int width_ = 0;
  int height_ = 0;
  TWaterDamping damping_ = 20;
  // Heights of this step and of the step before, row after row.
  std::vector<std::int32_t> current_;
  std::vector<std::int32_t> previous_;
  // Neighbour columns and rows, clamped to the border so that the border
  // reflects waves instead of reading outside the area.
  std::vector<int> left_, right_, up_, down_;
  std::minstd_rand random_;
};

}  // namespace kv
