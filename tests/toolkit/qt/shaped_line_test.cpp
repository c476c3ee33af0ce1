#include "toolkit/qt/shaped_line.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QString>

namespace orv::qt {
namespace {

// A label's texts come back (a rate of the same bytes as a tick before,
// or nothing): each distinct one is shaped once while it is kept, and a
// kept line is the text asked for, never a neighbour's.
TEST(ShapedLinesTest, ShapesEachKeptTextOnceAndOnlyTheOldestMakesWay) {
  ShapedLines lines;
  QFont font;
  font.setPixelSize(11);
  const auto text = [](int i) { return QString::number(i) + QStringLiteral(" KBS "); };

  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 8; ++i) lines.Get(text(i), font);
  }
  EXPECT_EQ(lines.Shapings(), 8u) << "eight texts over and over";
  EXPECT_TRUE(lines.Get(text(5), font).Holds(text(5), font));

  lines.Get(text(8), font);  // a ninth text: 0 was used longest ago
  EXPECT_EQ(lines.Shapings(), 9u);
  lines.Get(text(1), font);
  EXPECT_EQ(lines.Shapings(), 9u) << "a text used since was dropped";
  lines.Get(text(0), font);
  EXPECT_EQ(lines.Shapings(), 10u) << "the oldest text was kept";

  QFont bigger = font;
  bigger.setPixelSize(22);
  const ShapedLine& line = lines.Get(text(1), bigger);
  EXPECT_EQ(lines.Shapings(), 11u) << "another font is another shaping";
  EXPECT_TRUE(line.Holds(text(1), bigger));
  EXPECT_GT(line.Advance(), lines.Get(text(1), font).Advance());
}

}  // namespace
}  // namespace orv::qt
