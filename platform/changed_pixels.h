#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv {

// A rectangle of pixels, right and bottom exclusive.
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
};

// A picture is drawn whole in memory on every tick, but most ticks change
// a few pixels of it or none: only what changed needs to reach the screen.
// Compares the WIDTH x HEIGHT image at PIXELS (rows STRIDE pixels apart)
// with SENT, the copy taken when it was last sent, and brings the copy up
// to date. Returns the box round the pixels that differ, empty when none
// do; the whole image when the copy is of another size (nothing sent yet).
PixelBox TakeChangedPixels(const std::uint32_t* pixels, int width, int height,
                           std::ptrdiff_t stride, std::vector<std::uint32_t>& sent);

}  // namespace orv
