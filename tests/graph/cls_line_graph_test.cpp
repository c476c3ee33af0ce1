#include "graph/cls_line_graph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/recording_surface.h"

namespace orv {
namespace {

using test::RecordingSurface;
using Op = RecordingSurface::Op;
using Call = RecordingSurface::Call;

constexpr Color kBack = 0x000000;
constexpr Color kFore = 0x00FF00;
constexpr Color kBorder = 0x0000FF;
constexpr Color kGrid = 0x808000;
// Coordinates reach the surface as single precision.
constexpr double kTol = 1e-3;

std::shared_ptr<History> HistoryOf(const std::vector<double>& values) {
  auto h = std::make_shared<History>();
  for (double v : values) h->Add(v);
  return h;
}

// Entries k = 1..n valued f(k).
template <class F>
std::vector<double> Generate(int n, F f) {
  std::vector<double> v;
  for (int k = 1; k <= n; ++k) v.push_back(f(k));
  return v;
}

std::vector<double> Contents(const History& h) { return {h.begin(), h.end()}; }

// The settings the window gives the graph, with a chosen border.
void Configure(clsLineGraph& g, std::int16_t border, bool grid = true) {
  g.PicBackground(kBack);
  g.PicForeground(kFore);
  g.BorderColor(kBorder);
  g.BorderSize(border);
  g.GridColor(kGrid);
  g.GridVisible(grid);
}

struct Rig {
  RecordingSurface pic;
  clsLineGraph graph;
  std::shared_ptr<History> history;

  Rig(std::int16_t border, std::vector<double> values, bool grid = true) {
    Configure(graph, border, grid);
    history = HistoryOf(values);
    graph.PictureBox(&pic);
    graph.DataCollection(history);
  }
  void Draw() { EXPECT_NO_THROW(graph.Draw()); }
};

void ExpectLine(const Call& c, double x1, double y1, double x2, double y2, Color color,
                const std::string& what) {
  EXPECT_NEAR(c.x1, x1, kTol) << what;
  EXPECT_NEAR(c.y1, y1, kTol) << what;
  EXPECT_NEAR(c.x2, x2, kTol) << what;
  EXPECT_NEAR(c.y2, y2, kTol) << what;
  EXPECT_EQ(c.color, color) << what;
}

// --- properties -------------------------------------------------------------

TEST(LineGraphProperties, NewGraphHoldsTheInitialValues) {
  clsLineGraph g;
  EXPECT_EQ(g.PictureBox(), nullptr);
  EXPECT_EQ(g.DataCollection(), nullptr);
  EXPECT_EQ(g.PicBackground(), 0u);
  EXPECT_EQ(g.PicForeground(), 0u);
  EXPECT_EQ(g.BorderSize(), 0);
  EXPECT_EQ(g.BorderColor(), 0u);
  EXPECT_FALSE(g.GridVisible());
  EXPECT_EQ(g.GridColor(), 0u);
}

TEST(LineGraphProperties, SettersStoreValuesUnchangedWithoutDrawing) {
  const std::vector<Color> colours = {0, 255, 65280, 0x808000, 0x00FFFFFF, 0x80000005, 0xFFFFFFFF};
  const std::vector<std::int16_t> borders = {INT16_MIN, -1, 0, 1, 16384, INT16_MAX};
  RecordingSurface pic;
  clsLineGraph g;
  g.PictureBox(&pic);
  for (Color c : colours) {
    g.PicBackground(c);
    g.PicForeground(c ^ 1);
    g.BorderColor(c ^ 2);
    g.GridColor(c ^ 4);
    EXPECT_EQ(g.PicBackground(), c);
    EXPECT_EQ(g.PicForeground(), c ^ 1);
    EXPECT_EQ(g.BorderColor(), c ^ 2);
    EXPECT_EQ(g.GridColor(), c ^ 4);
  }
  for (std::int16_t b : borders) {
    g.BorderSize(b);
    EXPECT_EQ(g.BorderSize(), b);
  }
  for (bool on : {true, false, true}) {
    g.GridVisible(on);
    EXPECT_EQ(g.GridVisible(), on);
  }
  EXPECT_TRUE(pic.calls.empty()) << "a setter touched the surface";
}

TEST(LineGraphProperties, ReferencesAreSharedWithTheCallerAndRebindingDropsTheOld) {
  auto first = std::make_shared<History>();
  auto second = std::make_shared<History>();
  RecordingSurface picA;
  RecordingSurface picB;
  clsLineGraph g;

  g.DataCollection(first);
  EXPECT_EQ(g.DataCollection().get(), first.get());
  EXPECT_EQ(first.use_count(), 2);
  first->Add(7);
  EXPECT_EQ(g.DataCollection()->Count(), 1) << "the graph must not hold a copy";

  g.DataCollection(second);
  EXPECT_EQ(g.DataCollection().get(), second.get());
  EXPECT_EQ(first.use_count(), 1);
  EXPECT_EQ(second.use_count(), 2);
  g.DataCollection(nullptr);
  EXPECT_EQ(second.use_count(), 1);

  g.PictureBox(&picA);
  EXPECT_EQ(g.PictureBox(), &picA);
  g.PictureBox(&picB);
  EXPECT_EQ(g.PictureBox(), &picB);
}

// --- the set-up steps -------------------------------------------------------

TEST(LineGraphDraw, SetsUpTheSurfaceOnlyWhereItDiffers) {
  struct Case {
    const char* name;
    bool autoRedraw;
    std::int16_t scaleMode;
    Color backColor;
    std::vector<Op> ops;
    std::vector<std::int32_t> setValues;
  };
  const std::vector<Case> cases = {
      {"fresh surface",
       false,
       1,
       0xF0F0F0,
       {Op::GetAutoRedraw, Op::SetAutoRedraw, Op::Cls, Op::GetDrawWidth, Op::GetScaleMode,
        Op::SetScaleMode, Op::GetBackColor, Op::SetBackColor},
       {1, 3}},
      {"already set up",
       true,
       3,
       kBack,
       {Op::GetAutoRedraw, Op::Cls, Op::GetDrawWidth, Op::GetScaleMode, Op::GetBackColor},
       {}},
      {"only the colour differs",
       true,
       3,
       0x000001,
       {Op::GetAutoRedraw, Op::Cls, Op::GetDrawWidth, Op::GetScaleMode, Op::GetBackColor,
        Op::SetBackColor},
       {}},
  };
  for (const Case& c : cases) {
    Rig rig(0, std::vector<double>(100, 0.0));
    rig.pic.autoRedraw = c.autoRedraw;
    rig.pic.scaleMode = c.scaleMode;
    rig.pic.backColor = c.backColor;
    rig.Draw();
    EXPECT_EQ(rig.pic.Ops(), c.ops) << c.name;
    std::vector<std::int32_t> setValues;
    for (const Call& call : rig.pic.calls) {
      if (call.op == Op::SetAutoRedraw || call.op == Op::SetScaleMode)
        setValues.push_back(call.value);
      if (call.op == Op::SetBackColor) {
        EXPECT_EQ(call.color, kBack) << c.name;
      }
    }
    EXPECT_EQ(setValues, c.setValues) << c.name;
    EXPECT_TRUE(rig.pic.autoRedraw) << c.name;
    EXPECT_EQ(rig.pic.scaleMode, kScaleModePixels) << c.name;
    EXPECT_EQ(rig.pic.backColor, kBack) << c.name;
    EXPECT_EQ(rig.pic.Boxes().size(), 30u) << c.name;
    EXPECT_EQ(rig.pic.Segments().size(), 100u) << c.name;
  }
}

TEST(LineGraphDraw, ReadsTheExtentsAfreshBeforeEveryRectangleAndPoint) {
  Rig rig(2, std::vector<double>(100, 10.0));
  rig.Draw();
  bool sawWidth = false;
  bool sawHeight = false;
  int lines = 0;
  for (const Call& c : rig.pic.calls) {
    if (c.op == Op::GetScaleWidth) sawWidth = true;
    if (c.op == Op::GetScaleHeight) sawHeight = true;
    if (c.op == Op::Line) {
      ++lines;
      EXPECT_TRUE(sawWidth && sawHeight) << "line " << lines;
      sawWidth = sawHeight = false;
    }
  }
  EXPECT_EQ(lines, 3 + 30 + 100);
}

// --- border and grid --------------------------------------------------------

TEST(LineGraphDraw, GridWithoutBorderOn380By116) {
  Rig rig(0, std::vector<double>(100, 0.0));
  rig.Draw();
  const auto boxes = rig.pic.Boxes();
  ASSERT_EQ(boxes.size(), 30u);
  for (int j = 1; j <= 20; ++j) {
    ExpectLine(boxes[j - 1], 0, 0, 19.0 * j, 116, kGrid, "vertical " + std::to_string(j));
  }
  EXPECT_FLOAT_EQ(boxes[19].x2, 380.0f) << "the last vertical line lies just outside";
  for (int k = 1; k <= 10; ++k) {
    ExpectLine(boxes[19 + k], 0, 0, 380, 11.6 * k, kGrid, "horizontal " + std::to_string(k));
  }
  // The grid comes before the line.
  std::size_t lastBox = 0;
  std::size_t firstSegment = rig.pic.calls.size();
  for (std::size_t n = 0; n < rig.pic.calls.size(); ++n) {
    const Call& c = rig.pic.calls[n];
    if (c.op != Op::Line) continue;
    if (c.value == kLineBox) lastBox = n;
    if (c.value == kLineSegment && n < firstSegment) firstSegment = n;
  }
  EXPECT_LT(lastBox, firstSegment);
}

TEST(LineGraphDraw, BorderIsBPlusOneNestedOutlinesInsetByThePenWidth) {
  struct Case {
    std::int16_t border;
    std::int16_t drawWidth;
  };
  for (const Case& c : std::vector<Case>{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 3}}) {
    const std::string name = "B=" + std::to_string(c.border) + " D=" + std::to_string(c.drawWidth);
    Rig rig(c.border, std::vector<double>(100, 0.0));
    rig.pic.drawWidth = c.drawWidth;
    rig.Draw();
    const auto boxes = rig.pic.Boxes();
    ASSERT_EQ(boxes.size(), static_cast<std::size_t>(c.border + 1 + 30)) << name;
    for (int i = 0; i <= c.border; ++i) {
      ExpectLine(boxes[i], i, i, 380 - (i + c.drawWidth), 116 - (i + c.drawWidth), kBorder,
                 name + " outline " + std::to_string(i));
    }
    const double w = 380 - 2 * c.border;
    const double h = 116 - 2 * c.border;
    for (int j = 1; j <= 20; ++j) {
      ExpectLine(boxes[c.border + j], c.border, c.border, w / 20 * j, h, kGrid,
                 name + " vertical " + std::to_string(j));
    }
    for (int k = 1; k <= 10; ++k) {
      ExpectLine(boxes[c.border + 20 + k], c.border, c.border, w, h / 10 * k, kGrid,
                 name + " horizontal " + std::to_string(k));
    }
  }
}

TEST(LineGraphDraw, GridOffDrawsNoGridAndLeavesBorderAndLineAlone) {
  const auto values = Generate(100, [](int k) { return k % 37; });
  Rig on(1, values, true);
  Rig off(1, values, false);
  on.Draw();
  off.Draw();
  const auto boxes = off.pic.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(boxes[i].color, kBorder);
    ExpectLine(boxes[i], on.pic.Boxes()[i].x1, on.pic.Boxes()[i].y1, on.pic.Boxes()[i].x2,
               on.pic.Boxes()[i].y2, kBorder, "outline");
  }
  const auto a = on.pic.Segments();
  const auto b = off.pic.Segments();
  ASSERT_EQ(a.size(), 100u);
  ASSERT_EQ(b.size(), 100u);
  for (std::size_t i = 0; i < a.size(); ++i) {
    ExpectLine(b[i], a[i].x1, a[i].y1, a[i].x2, a[i].y2, kFore, "segment " + std::to_string(i));
  }
}

// Border sizes at the ends of the 16-bit range: 2 x B, i + D and the loop
// counter all overflow somewhere, and each overflow ends Draw there.
TEST(LineGraphDraw, BorderSizesAtTheSixteenBitLimits) {
  struct Case {
    std::int16_t border;
    std::int16_t drawWidth;
    bool grid;
    std::size_t boxes;
    std::size_t segments;
    std::int32_t countAfter;
  };
  const std::vector<Case> cases = {
      {16383, 1, true, 16384 + 30, 100, 100},  // 2 x B = 32766 still fits
      {16384, 1, true, 16385, 0, 150},         // 2 x B overflows before the grid
      {16384, 1, false, 16385, 0, 150},        // ... or before the slot width
      {32767, 1, true, 32767, 0, 150},         // i + D overflows at the last outline
      {32767, 0, true, 32768, 0, 150},         // the counter overflows past B
      {-16384, 1, true, 30, 100, 100},         // 2 x B = -32768 fits
      {-16385, 1, true, 0, 0, 150},            // 2 x B underflows
      {-1, 1, true, 30, 100, 100},
      {INT16_MIN, 1, false, 0, 0, 150},
  };
  for (const Case& c : cases) {
    const std::string name = "B=" + std::to_string(c.border) + " D=" + std::to_string(c.drawWidth) +
                             (c.grid ? " grid" : "");
    Rig rig(c.border, std::vector<double>(150, 1.0), c.grid);
    rig.pic.drawWidth = c.drawWidth;
    rig.Draw();
    const auto boxes = rig.pic.Boxes();
    EXPECT_EQ(boxes.size(), c.boxes) << name;
    EXPECT_EQ(rig.pic.Segments().size(), c.segments) << name;
    EXPECT_EQ(rig.history->Count(), c.countAfter) << name;
    if (c.border >= 1 && !boxes.empty()) {
      const std::size_t outlines = std::min<std::size_t>(boxes.size(), c.border + 1u);
      const Call& last = boxes[outlines - 1];
      EXPECT_EQ(last.color, kBorder) << name;
      EXPECT_FLOAT_EQ(last.x1, static_cast<float>(outlines - 1)) << name;
    }
  }
}

// --- the line ---------------------------------------------------------------

TEST(LineGraphDraw, LineRunsOldestLeftToNewestAtSlotHundredWithoutBorder) {
  const auto values = Generate(100, [](int k) { return k - 1.0; });  // 0..99
  Rig rig(0, values);
  rig.Draw();
  const auto seg = rig.pic.Segments();
  ASSERT_EQ(seg.size(), 100u);
  const double dx = 3.8;
  const double dy = 1.16;
  // Start point and slot 1 share x = 2: the first segment is a point.
  ExpectLine(seg[0], 2, 116, 2, 116, kFore, "slot 1");
  for (int i = 1; i <= 100; ++i) {
    const double x = (i - 1) * dx + 2;
    const double y = 116 - values[i - 1] * dy;
    EXPECT_NEAR(seg[i - 1].x2, x, kTol) << "slot " << i;
    EXPECT_NEAR(seg[i - 1].y2, y, kTol) << "slot " << i;
    if (i > 1) {
      EXPECT_EQ(seg[i - 1].x1, seg[i - 2].x2) << "slot " << i << " not joined";
      EXPECT_EQ(seg[i - 1].y1, seg[i - 2].y2) << "slot " << i << " not joined";
    }
    EXPECT_EQ(seg[i - 1].color, kFore);
  }
  EXPECT_NEAR(seg[99].x2, 0.99 * 380 + 2, kTol);
}

TEST(LineGraphDraw, BorderOfThreeClampsTheFirstSlotAndStartsAtFive) {
  const auto values = Generate(100, [](int k) { return k % 50; });
  Rig rig(3, values);
  rig.Draw();
  const auto seg = rig.pic.Segments();
  ASSERT_EQ(seg.size(), 100u);
  const double dx = (380 - 6) / 100.0;
  const double dy = (116 - 6) / 100.0;
  // The first segment runs back from the start point to the clamped slot.
  ExpectLine(seg[0], 5, 110 - values[0] * dy, 3, 110 - values[0] * dy, kFore, "slot 1");
  for (int i = 2; i <= 100; ++i) {
    EXPECT_NEAR(seg[i - 1].x2, (i - 1) * dx + 2, kTol) << "slot " << i;
    EXPECT_GT(seg[i - 1].x2, 3.0f) << "slot " << i;
    EXPECT_NEAR(seg[i - 1].y2, 110 - values[i - 1] * dy, kTol) << "slot " << i;
  }
}

TEST(LineGraphDraw, NegativeBorderWidensThePlottingArea) {
  std::vector<double> values(100, 50.0);
  values[9] = 105;  // above the top of the widened area
  Rig rig(-2, values);
  rig.Draw();
  const auto boxes = rig.pic.Boxes();
  ASSERT_EQ(boxes.size(), 30u) << "no border outlines for B < 1";
  ExpectLine(boxes[0], -2, -2, 384.0 / 20, 120, kGrid, "vertical 1");
  ExpectLine(boxes[19], -2, -2, 384, 120, kGrid, "vertical 20");
  ExpectLine(boxes[29], -2, -2, 384, 120, kGrid, "horizontal 10");
  const auto seg = rig.pic.Segments();
  ASSERT_EQ(seg.size(), 100u);
  EXPECT_NEAR(seg[0].x1, 0, kTol) << "start at B + 2";
  EXPECT_NEAR(seg[0].y1, 120 - 50 * 1.2, kTol);
  for (int i = 1; i <= 100; ++i) EXPECT_NEAR(seg[i - 1].x2, (i - 1) * 3.84 + 2, kTol) << i;
  EXPECT_NEAR(seg[9].y2, -2, kTol) << "held at B, not at 0";
}

TEST(LineGraphDraw, ValuesOutsideTheScale) {
  std::vector<double> values(100, 25.0);
  values[0] = 150;  // the start point is not held at the border
  values[1] = 150;
  values[2] = -20;
  values[3] = 1e6;
  Rig rig(0, values);
  rig.Draw();
  const auto seg = rig.pic.Segments();
  ASSERT_EQ(seg.size(), 100u);
  EXPECT_NEAR(seg[0].y1, 116 - 150 * 1.16, kTol);
  EXPECT_NEAR(seg[0].y2, 0, kTol);
  EXPECT_NEAR(seg[1].y2, 0, kTol);
  EXPECT_NEAR(seg[2].y2, 116 + 20 * 1.16, kTol) << "below the area, not clamped";
  EXPECT_NEAR(seg[3].y2, 0, kTol);
  EXPECT_NEAR(seg[4].y2, 116 - 25 * 1.16, kTol);

  Rig bordered(3, values);
  bordered.Draw();
  const auto bseg = bordered.pic.Segments();
  ASSERT_EQ(bseg.size(), 100u);
  EXPECT_NEAR(bseg[0].y1, 110 - 150 * 1.1, kTol);
  EXPECT_NEAR(bseg[1].y2, 3, kTol);
  EXPECT_NEAR(bseg[2].y2, 110 + 20 * 1.1, kTol);
}

TEST(LineGraphDraw, HistoryIsTrimmedToItsNewestHundredAndShortOnesEndTheLine) {
  struct Case {
    int entries;
    std::size_t segments;
  };
  const std::vector<Case> cases = {{0, 0},     {1, 1},     {50, 50},  {99, 99},
                                   {100, 100}, {101, 100}, {150, 100}};
  for (const Case& c : cases) {
    const std::string name = std::to_string(c.entries) + " entries";
    const auto values = Generate(c.entries, [](int k) { return k * 0.5; });
    Rig rig(0, values);
    rig.Draw();
    const int kept = std::min(c.entries, 100);
    const std::vector<double> tail(values.end() - kept, values.end());
    EXPECT_EQ(Contents(*rig.history), tail) << name;
    EXPECT_EQ(rig.pic.Boxes().size(), 30u) << name;
    const auto seg = rig.pic.Segments();
    ASSERT_EQ(seg.size(), c.segments) << name;
    if (kept == 0) continue;
    EXPECT_NEAR(seg[0].y1, 116 - tail.front() * 1.16, kTol) << name << ": start at the oldest kept";
    EXPECT_NEAR(seg.back().x2, (kept - 1) * 3.8 + 2, kTol) << name << ": ends at slot n";
    EXPECT_NEAR(seg.back().y2, 116 - tail.back() * 1.16, kTol) << name << ": newest last";
  }
}

// --- nothing bound ----------------------------------------------------------

TEST(LineGraphDraw, WithoutSurfaceNothingHappens) {
  clsLineGraph g;
  Configure(g, 1);
  auto h = HistoryOf(std::vector<double>(150, 1.0));
  g.DataCollection(h);
  EXPECT_NO_THROW(g.Draw());
  EXPECT_EQ(h->Count(), 150) << "nothing may be trimmed without a surface";
}

TEST(LineGraphDraw, WithoutHistoryBackgroundBorderAndGridAreDrawn) {
  RecordingSurface pic;
  clsLineGraph g;
  Configure(g, 1);
  g.PictureBox(&pic);
  EXPECT_NO_THROW(g.Draw());
  EXPECT_EQ(pic.backColor, kBack);
  EXPECT_EQ(pic.Segments().size(), 0u);
  const auto boxes = pic.Boxes();
  ASSERT_EQ(boxes.size(), 2u + 30u);
  EXPECT_EQ(boxes[1].color, kBorder);
  EXPECT_EQ(boxes[31].color, kGrid);
}

// --- degenerate surfaces and faults -----------------------------------------

TEST(LineGraphDraw, ZeroPlottingAreaIsNoFault) {
  struct Case {
    float width;
    std::int16_t border;
    float clampedX;
  };
  // W = 2B makes the slot width 0: every slot lands on x = 2, held at B
  // when B is larger. Nothing divides by the slot width.
  for (const Case& c : std::vector<Case>{{0, 0, 2}, {6, 3, 3}, {2, 1, 2}}) {
    const std::string name = "W=" + std::to_string(c.width) + " B=" + std::to_string(c.border);
    Rig rig(c.border, std::vector<double>(100, 50.0));
    rig.pic.width = c.width;
    rig.Draw();
    const auto boxes = rig.pic.Boxes();
    const std::size_t outlines = c.border >= 1 ? c.border + 1 : 0;
    ASSERT_EQ(boxes.size(), outlines + 30) << name;
    EXPECT_FLOAT_EQ(boxes[outlines].x2, 0.0f) << name << ": first vertical grid line";
    const auto seg = rig.pic.Segments();
    ASSERT_EQ(seg.size(), 100u) << name;
    for (const Call& s : seg) EXPECT_FLOAT_EQ(s.x2, c.clampedX) << name;
    EXPECT_NEAR(seg.back().y2, (116 - 2 * c.border) / 2.0, kTol) << name;
  }
}

TEST(LineGraphDraw, FloatingPointFaultsStopTheDrawingWhereTheyArise) {
  constexpr float kHuge = std::numeric_limits<float>::max();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    float width;
    float height;
    std::int16_t border;
    std::vector<double> values;
    std::size_t boxes;
    std::size_t segments;
  };
  std::vector<double> belowHugeArea(100, 0.0);
  belowHugeArea[2] = -1;  // H + H/100 no longer fits a single
  std::vector<double> justBelowHugeArea(100, 0.0);
  justBelowHugeArea[2] = -1e-8;  // rounds to the largest single: no fault
  std::vector<double> nanEntry(100, 5.0);
  nanEntry[3] = kNaN;
  std::vector<double> infEntry(100, 5.0);
  infEntry[0] = kInf;
  std::vector<double> hugeEntry(100, 5.0);
  hugeEntry[5] = -1e300;  // y = 116 + 1.16e300 fits a double, not a single
  const std::vector<Case> cases = {
      {"point below a huge area", 380, kHuge, 0, belowHugeArea, 30, 2},
      {"huge area otherwise fine", 380, kHuge, 0, std::vector<double>(100, 1.0), 30, 100},
      {"point rounding to the largest single", 380, kHuge, 0, justBelowHugeArea, 30, 100},
      {"entry not a number", 380, 116, 0, nanEntry, 30, 3},
      {"infinite first entry", 380, 116, 0, infEntry, 30, 0},
      {"entry beyond single range", 380, 116, 0, hugeEntry, 30, 5},
      {"width not a number", std::nanf(""), 116, 1, std::vector<double>(100, 1.0), 0, 0},
      {"infinite height", 380, std::numeric_limits<float>::infinity(), 0,
       std::vector<double>(100, 1.0), 0, 0},
  };
  for (const Case& c : cases) {
    Rig rig(c.border, c.values);
    rig.pic.width = c.width;
    rig.pic.height = c.height;
    rig.Draw();
    EXPECT_EQ(rig.pic.Boxes().size(), c.boxes) << c.name;
    EXPECT_EQ(rig.pic.Segments().size(), c.segments) << c.name;
    for (const Call& call : rig.pic.calls) {
      if (call.op != Op::Line) continue;
      for (float v : {call.x1, call.y1, call.x2, call.y2}) {
        ASSERT_TRUE(std::isfinite(v)) << c.name << ": a non-finite coordinate reached Line";
      }
    }
  }
}

TEST(LineGraphDraw, FailingSurfaceOperationStopsQuietlyAndKeepsWhatWasDone) {
  struct Case {
    Op op;
    int nth;
    std::size_t lineCalls;  // including the one that failed
    std::int32_t countAfter;
    const char* name;
  };
  const std::vector<Case> cases = {
      {Op::GetAutoRedraw, 1, 0, 150, "AutoRedraw read"},
      {Op::Cls, 1, 0, 150, "Cls"},
      {Op::GetDrawWidth, 1, 0, 150, "DrawWidth"},
      {Op::SetScaleMode, 1, 0, 150, "ScaleMode set"},
      {Op::SetBackColor, 1, 0, 150, "BackColor set"},
      {Op::Line, 1, 1, 150, "first outline"},
      {Op::Line, 20, 20, 150, "a grid rectangle"},
      {Op::Line, 32 + 10, 42, 100, "tenth segment"},
      {Op::Line, 32 + 100, 132, 100, "last segment"},
      {Op::GetScaleWidth, 5, 4, 150, "width read midway through the grid"},
  };
  for (const Case& c : cases) {
    Rig rig(1, std::vector<double>(150, 1.0));
    rig.pic.FailOn(c.op, c.nth);
    rig.Draw();
    std::size_t lines = 0;
    for (const Call& call : rig.pic.calls) lines += call.op == Op::Line;
    EXPECT_EQ(lines, c.lineCalls) << c.name;
    EXPECT_EQ(rig.pic.calls.back().op, c.op) << c.name << ": something ran after the failure";
    EXPECT_EQ(rig.history->Count(), c.countAfter) << c.name;
  }
}

}  // namespace
}  // namespace orv
