#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/error.h"
#include "platform/picture_surface.h"

namespace orv::test {

// A picture surface that logs every call it gets, in order, with the
// coordinates and colour of each Line. Extents follow the unit the way a
// real surface's do (15 twips to a pixel), so reading them before the unit
// is set to pixels gives visibly wrong numbers.
class RecordingSurface : public PictureSurface {
 public:
  enum class Op {
    GetAutoRedraw,
    SetAutoRedraw,
    Cls,
    GetDrawWidth,
    GetScaleMode,
    SetScaleMode,
    GetBackColor,
    SetBackColor,
    GetScaleWidth,
    GetScaleHeight,
    Line,
  };

  struct Call {
    Op op;
    // Set, for the setters; flags for Line.
    std::int32_t value = 0;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Color color = 0;
  };

  // What the surface reports, in pixels.
  float width = 380;
  float height = 116;
  std::int16_t drawWidth = 1;
  bool autoRedraw = false;
  std::int16_t scaleMode = 1;
  Color backColor = 0xF0F0F0;

  // Makes the nth call (counting from 1) of op throw Error.
  void FailOn(Op op, int nth = 1) {
    m_failOp = op;
    m_countdown = nth;
  }

  mutable std::vector<Call> calls;

  bool AutoRedraw() const override { return Log({Op::GetAutoRedraw}), autoRedraw; }
  void AutoRedraw(bool on) override {
    Log({Op::SetAutoRedraw, on});
    autoRedraw = on;
  }
  void Cls() override { Log({Op::Cls}); }
  std::int16_t DrawWidth() const override { return Log({Op::GetDrawWidth}), drawWidth; }
  std::int16_t ScaleMode() const override { return Log({Op::GetScaleMode}), scaleMode; }
  void ScaleMode(std::int16_t mode) override {
    Log({Op::SetScaleMode, mode});
    scaleMode = mode;
  }
  Color BackColor() const override { return Log({Op::GetBackColor}), backColor; }
  void BackColor(Color color) override {
    Log({Op::SetBackColor, 0, 0, 0, 0, 0, color});
    backColor = color;
  }
  float ScaleWidth() const override { return Log({Op::GetScaleWidth}), InUnit(width); }
  float ScaleHeight() const override { return Log({Op::GetScaleHeight}), InUnit(height); }
  void Line(std::int16_t flags, float x1, float y1, float x2, float y2, Color color) override {
    Log({Op::Line, flags, x1, y1, x2, y2, color});
  }

  // The Line calls with the given flags, in order.
  std::vector<Call> Lines(std::int16_t flags) const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.op == Op::Line && c.value == flags) out.push_back(c);
    }
    return out;
  }
  std::vector<Call> Boxes() const { return Lines(kLineBox); }
  std::vector<Call> Segments() const { return Lines(kLineSegment); }

  // The calls other than the extent reads, which Draw repeats freely.
  std::vector<Op> Ops() const {
    std::vector<Op> out;
    for (const Call& c : calls) {
      if (c.op != Op::GetScaleWidth && c.op != Op::GetScaleHeight && c.op != Op::Line) {
        out.push_back(c.op);
      }
    }
    return out;
  }

 private:
  float InUnit(float pixels) const { return scaleMode == kScaleModePixels ? pixels : pixels * 15; }

  void Log(const Call& call) const {
    calls.push_back(call);
    if (m_failOp && call.op == *m_failOp && --m_countdown == 0) {
      throw Error(ErrorCode::InvalidProperty, "surface operation failed");
    }
  }

  std::optional<Op> m_failOp;
  mutable int m_countdown = 0;
};

inline std::ostream& operator<<(std::ostream& os, RecordingSurface::Op op) {
  return os << static_cast<int>(op);
}

}  // namespace orv::test
