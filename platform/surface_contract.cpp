#include "platform/surface_contract.h"

#include <cmath>
#include <limits>
#include <string>

#include "platform/error.h"
#include "platform/picture_surface.h"

namespace orv {

void CheckScaleMode(std::int16_t mode) {
  if (mode < 0 || mode > 7) {
    throw Error(ErrorCode::InvalidProperty, "invalid ScaleMode " + std::to_string(mode));
  }
}

std::array<double, 4> DeviceLineCorners(std::int16_t flags, float x1, float y1, float x2, float y2,
                                        double scale) {
  if (flags != kLineSegment && flags != kLineBox) {
    throw Error(ErrorCode::InvalidCall, "unsupported Line flags " + std::to_string(flags));
  }
  const std::array<double, 4> c = {x1 * scale, y1 * scale, x2 * scale, y2 * scale};
  constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
  for (double v : c) {
    if (!std::isfinite(v) || std::fabs(v) > kLimit) {
      throw Error(ErrorCode::Overflow, "Line coordinate out of range");
    }
  }
  return c;
}

}  // namespace orv
