#include "platform/changed_pixels.h"

#include <algorithm>

namespace orv {

PixelBox TakeChangedPixels(const std::uint32_t* pixels, int width, int height,
                           std::ptrdiff_t stride, std::vector<std::uint32_t>& sent) {
  if (width <= 0 || height <= 0) {
    sent.clear();
    return {};
  }
  const auto w = static_cast<std::size_t>(width);
  const std::size_t size = w * static_cast<std::size_t>(height);
  const bool fresh = sent.size() != size;
  if (fresh) sent.resize(size);
  PixelBox changed{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* now = pixels + y * stride;
    std::uint32_t* before = sent.data() + static_cast<std::size_t>(y) * w;
    if (!fresh && std::equal(now, now + width, before)) continue;
    // The row differs somewhere; each scan stops at the box's edge found
    // so far, since pixels the box already holds cannot widen it.
    int left = 0;
    int right = width;
    if (!fresh) {
      while (left < changed.left && now[left] == before[left]) ++left;
      while (right > changed.right && now[right - 1] == before[right - 1]) --right;
    }
    changed.left = std::min(changed.left, left);
    changed.right = std::max(changed.right, right);
    changed.top = std::min(changed.top, y);
    changed.bottom = y + 1;
    std::copy(now, now + width, before);
  }
  return changed.Empty() ? PixelBox{} : changed;
}

}  // namespace orv
