#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "tests/monitor/layout_fixture.h"

namespace orv {
namespace {

QRgb Rgb24(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kFace = 0xF0F0F0;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

// Renders the whole window and checks pixels that only the right controls,
// in the right places and the right stacking, give.
TEST(ScreenshotTest, GrabShowsBannerGraphAndValueBoxes) {
  auto window = test::MakeWindow();
  // The graph paints its surface black on every draw.
  window->Graph()->ScaleMode(kScaleModePixels);
  window->Graph()->BackColor(Rgb(0, 0, 0));
  window->widget->show();
  const QImage shot = window->widget->grab().toImage();
  ASSERT_EQ(shot.size(), QSize(382, 439));

  // Banner: drawn unscaled inside the banner box's two-pixel border.
  const QImage banner(QStringLiteral(":/art/banner.png"));
  for (auto [x, y] : {std::pair{130, 38}, {20, 20}, {240, 60}}) {
    EXPECT_EQ(Rgb24(shot, 2 + x, 2 + y), banner.pixel(x, y) & 0xFFFFFF) << x << "," << y;
  }
  // Its transparent corner and the face to its right show the box's grey.
  EXPECT_EQ(Rgb24(shot, 2, 2), kFace);
  EXPECT_EQ(Rgb24(shot, 2 + 259 + 1, 10), kFace);
  // The credit lines print red somewhere in their boxes.
  bool red = false;
  for (int y = 26; y < 26 + 17 && !red; ++y)
    for (int x = 266; x < 266 + 97 && !red; ++x)
      red = qRed(shot.pixel(x, y)) > 180 && qGreen(shot.pixel(x, y)) < 80;
  EXPECT_TRUE(red) << "no red credit text";

  // Graph box: black inside its border from y = 72 + 2; its top rows lie
  // under the banner box (which ends at y = 80), and its bottom rows over
  // the upper frame (which starts at y = 184).
  EXPECT_EQ(Rgb24(shot, 100, 120), kBlack);
  EXPECT_EQ(Rgb24(shot, 376, 186), kBlack);
  EXPECT_NE(Rgb24(shot, 300, 77), kBlack) << "graph box drawn over the banner box";
  EXPECT_EQ(Rgb24(shot, 300, 77), kFace);
  EXPECT_NE(Rgb24(shot, 0, 120), kBlack) << "graph box has no border";
  // Right of the graph box (ends at x = 379) the window face shows.
  EXPECT_EQ(Rgb24(shot, 380, 120), kFace);

  // Value box lblRecv at (101, 335) in the window, 110 x 23: a black
  // one-pixel border around white, its text at the right.
  EXPECT_EQ(Rgb24(shot, 101, 345), kBlack);
  EXPECT_EQ(Rgb24(shot, 210, 345), kBlack);
  EXPECT_EQ(Rgb24(shot, 150, 335), kBlack);
  EXPECT_EQ(Rgb24(shot, 150, 357), kBlack);
  EXPECT_EQ(Rgb24(shot, 104, 354), kWhite);
  EXPECT_EQ(Rgb24(shot, 100, 345), kFace);
  bool textAtRight = false;
  for (int x = 170; x < 209 && !textAtRight; ++x)
    for (int y = 337; y < 356 && !textAtRight; ++y) textAtRight = qGray(shot.pixel(x, y)) < 128;
  EXPECT_TRUE(textAtRight) << "right-aligned text missing";
  for (int x = 103; x < 140; ++x) EXPECT_EQ(Rgb24(shot, x, 346), kWhite) << "text not at the right";
}

}  // namespace
}  // namespace orv
