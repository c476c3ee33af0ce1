#pragma once

#include <array>
#include <cstdint>

namespace orv {

// What every picture surface checks of its callers, whichever toolkit
// draws it. Each throws Error.

// 0 user-defined .. 7 centimetres are the unit codes a surface knows:
// anything else is an invalid property.
void CheckScaleMode(std::int16_t mode);

// A Line call's corners (x1, y1, x2, y2) in device pixels, scale being
// pixels per unit. Flags other than kLineSegment and kLineBox are an
// invalid call. Device coordinates are 32-bit: a corner beyond them, or
// not a number at all, is an overflow, never something to hand to a
// rasteriser.
std::array<double, 4> DeviceLineCorners(std::int16_t flags, float x1, float y1, float x2, float y2,
                                        double scale);

}  // namespace orv
