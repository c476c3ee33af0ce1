#pragma once

#include <cstdint>

#include "platform/color.h"

namespace orv {

// Flags of Line: a segment between two points, or the outline of the
// rectangle with those corners.
inline constexpr std::int16_t kLineSegment = 6;
inline constexpr std::int16_t kLineBox = 22;

inline constexpr std::int16_t kScaleModePixels = 3;

// A surface that can be drawn on, as the line graph needs it. Any
// operation may throw Error.
class PictureSurface {
 public:
  virtual ~PictureSurface() = default;

  virtual bool AutoRedraw() const = 0;
  virtual void AutoRedraw(bool on) = 0;
  // Clears the image to the background colour.
  virtual void Cls() = 0;
  // Pen width in pixels.
  virtual std::int16_t DrawWidth() const = 0;
  virtual std::int16_t ScaleMode() const = 0;
  virtual void ScaleMode(std::int16_t mode) = 0;
  virtual Color BackColor() const = 0;
  // Setting the background repaints the whole surface in it.
  virtual void BackColor(Color color) = 0;
  // Drawable area in the current unit.
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;
  // flags is kLineSegment or kLineBox.
  virtual void Line(std::int16_t flags, float x1, float y1, float x2, float y2, Color color) = 0;
};

}  // namespace orv
