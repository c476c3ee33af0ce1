#include "graph/cls_line_graph.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/checked.h"
#include "platform/error.h"

namespace orv {
namespace {

using checked::Add16;
using checked::Inc16;
using checked::Mul16;
using checked::Sub16;

// Fixed geometry of the picture: one slot per shown value, a 20 x 10 grid,
// a value scale on which 100 reaches the top, and the line set 2 pixels in
// from the left.
constexpr std::int16_t kGridColumns = 20;
constexpr std::int16_t kGridRows = 10;
constexpr double kFullScale = 100.0;
constexpr std::int16_t kLineOffset = 2;

// The coordinate arithmetic runs in double and raises no signal; a result
// that is infinite or not a number is the fault a hardware trap would have
// reported, so it is turned into the error that stops the drawing.
double Finite(double value) {
  if (!std::isfinite(value)) {
    throw Error(ErrorCode::Overflow, "graph coordinate is not a finite number");
  }
  return value;
}

// Line takes single precision. A double that would round to infinity is
// an overflow of the conversion; one that rounds to the largest single is
// still that number (a grid line of a huge surface can land just above
// it after the division and multiplication).
float Single(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  // Half a unit in the last place of the largest single, 2^103.
  constexpr double kHalfUlp = 0x1p103;
  Finite(value);
  if (std::fabs(value) >= kMax + kHalfUlp) {
    throw Error(ErrorCode::Overflow, "graph coordinate out of single-precision range");
  }
  if (std::fabs(value) > kMax) return static_cast<float>(std::copysign(kMax, value));
  return static_cast<float>(value);
}

// Width or height of the plotting area: the surface extent less the
// border on both sides. 2 x B is a 16-bit product, so a border of 16384
// or more fails here.
double Inner(float extent, std::int16_t border) {
  return Finite(static_cast<double>(extent) - Mul16(2, border));
}

// B + 1 nested outlines. The counter is 16-bit and is stepped past B
// before the loop test, so B = 32767 ends in an overflow (of i + D, or of
// the step itself with a zero-width pen) instead of wrapping round into an
// endless loop.
void DrawBorder(PictureSurface& pic, std::int16_t b, std::int16_t d, Color color) {
  for (std::int16_t i = 0; i <= b; i = Inc16(i)) {
    const float w = pic.ScaleWidth();
    const float h = pic.ScaleHeight();
    const std::int16_t inset = Add16(i, d);
    pic.Line(kLineBox, Single(i), Single(i), Single(static_cast<double>(w) - inset),
             Single(static_cast<double>(h) - inset), color);
  }
}

void DrawGrid(PictureSurface& pic, std::int16_t b, Color color) {
  for (std::int16_t j = 1; j <= kGridColumns; j = Inc16(j)) {
    const float w = pic.ScaleWidth();
    const float h = pic.ScaleHeight();
    const double x = Finite(Inner(w, b) / kGridColumns * j);
    pic.Line(kLineBox, Single(b), Single(b), Single(x), Single(Inner(h, b)), color);
  }
  for (std::int16_t k = 1; k <= kGridRows; k = Inc16(k)) {
    const float w = pic.ScaleWidth();
    const float h = pic.ScaleHeight();
    const double y = Finite(Inner(h, b) / kGridRows * k);
    pic.Line(kLineBox, Single(b), Single(b), Single(Inner(w, b)), Single(y), color);
  }
}

// One segment per slot, from the oldest shown value to the newest.
void DrawHistoryLine(PictureSurface& pic, std::int16_t b, History& history, Color color) {
  const double dx = Finite(Inner(pic.ScaleWidth(), b) / kFullScale);
  const double dy = Finite(Inner(pic.ScaleHeight(), b) / kFullScale);

  // The caller only ever appends; this is the one place the history is
  // bounded, and the caller sees the removals.
  while (history.Count() > kGraphValues) history.Remove(1);

  // The start point keeps its height even above the plotting area; only
  // the slots below are held at the border.
  float prevX = Single(Add16(b, kLineOffset));
  float prevY = Single(Finite(Inner(pic.ScaleHeight(), b) - history.Item(1) * dy));

  for (std::int16_t i = 1; i <= kGraphValues; i = Inc16(i)) {
    const float w = pic.ScaleWidth();
    const float h = pic.ScaleHeight();
    const std::int16_t slotsToRight = Sub16(kGraphValues, Sub16(i, 1));
    double x = Finite(Inner(w, b) - slotsToRight * dx + kLineOffset);
    // A short history ends the line here: the missing entry fails.
    double y = Finite(Inner(h, b) - history.Item(i) * dy);
    if (x < b) x = b;
    if (y < b) y = b;
    const float px = Single(x);
    const float py = Single(y);
    pic.Line(kLineSegment, prevX, prevY, px, py, color);
    prevX = px;
    prevY = py;
  }
}

}  // namespace

// The first failure stops the drawing: each step throws, and nothing
// after it is drawn.
void clsLineGraph::Draw() {
  Attempt([this] {
    PictureSurface* pic = m_pictureBox;
    if (pic == nullptr) return;
    const std::int16_t b = m_borderSize;

    if (!pic->AutoRedraw()) pic->AutoRedraw(true);
    pic->Cls();
    const std::int16_t d = pic->DrawWidth();
    if (pic->ScaleMode() != kScaleModePixels) pic->ScaleMode(kScaleModePixels);
    if (pic->BackColor() != m_picBackground) pic->BackColor(m_picBackground);

    if (b >= 1) DrawBorder(*pic, b, d, m_borderColor);
    if (m_gridVisible) DrawGrid(*pic, b, m_gridColor);

    History* history = m_dataCollection.get();
    if (history == nullptr || history->Count() == 0) return;
    DrawHistoryLine(*pic, b, *history, m_picForeground);
  });
}

}  // namespace orv
