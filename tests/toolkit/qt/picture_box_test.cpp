#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QRegion>
#include <cmath>
#include <limits>
#include <memory>

#include "platform/error.h"
#include "toolkit/qt/picture_box.h"

namespace orv::qt {
namespace {

constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kTeal = Rgb(0, 128, 128);
constexpr Color kBlack = Rgb(0, 0, 0);

// A 104 x 64 widget: 100 x 60 inside its two-pixel border.
class PictureBoxTest : public ::testing::Test {
 protected:
  PictureBoxTest() { box.setGeometry(0, 0, 104, 64); }
  QRgb At(int x, int y) const { return box.Image().pixel(x, y) & 0xFFFFFF; }
  static QRgb Q(Color c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) & 0xFFFFFF; }
  QtPictureBox box{nullptr};
};

TEST_F(PictureBoxTest, ImageCoversTheInnerAreaInTheBackgroundColor) {
  EXPECT_EQ(box.contentsRect(), QRect(2, 2, 100, 60));
  EXPECT_EQ(box.Image().size(), QSize(100, 60));
  EXPECT_EQ(box.BackColor(), Rgb(240, 240, 240));
  EXPECT_EQ(At(0, 0), qRgb(240, 240, 240) & 0xFFFFFF);
  EXPECT_EQ(At(99, 59), qRgb(240, 240, 240) & 0xFFFFFF);
}

TEST_F(PictureBoxTest, ScaleIsTwipsUntilSetToPixels) {
  EXPECT_EQ(box.ScaleMode(), 1);
  EXPECT_FLOAT_EQ(box.ScaleWidth(), 1500.0f);
  EXPECT_FLOAT_EQ(box.ScaleHeight(), 900.0f);
  box.ScaleMode(kScaleModePixels);
  EXPECT_FLOAT_EQ(box.ScaleWidth(), 100.0f);
  EXPECT_FLOAT_EQ(box.ScaleHeight(), 60.0f);
}

TEST_F(PictureBoxTest, ScaleModeOutsideTheKnownUnitsIsRefused) {
  for (std::int16_t mode : {std::int16_t{-1}, std::int16_t{8}, std::int16_t{32767}}) {
    try {
      box.ScaleMode(mode);
      ADD_FAILURE() << "mode " << mode << " accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), ErrorCode::InvalidProperty) << mode;
    }
  }
  EXPECT_EQ(box.ScaleMode(), 1);
}

TEST_F(PictureBoxTest, ColorIsBlueGreenRedWithRedInTheLowByte) {
  box.ScaleMode(kScaleModePixels);
  box.Line(kLineSegment, 0, 10, 99, 10, 0x0000FF);
  box.Line(kLineSegment, 0, 20, 99, 20, 0x00FF00);
  box.Line(kLineSegment, 0, 30, 99, 30, 0xFF0000);
  EXPECT_EQ(At(50, 10), qRgb(255, 0, 0) & 0xFFFFFF);
  EXPECT_EQ(At(50, 20), qRgb(0, 255, 0) & 0xFFFFFF);
  EXPECT_EQ(At(50, 30), qRgb(0, 0, 255) & 0xFFFFFF);
}

TEST_F(PictureBoxTest, TwipCoordinatesAreFifteenToAPixel) {
  box.Line(kLineSegment, 0, 75, 1485, 75, kRed);  // row 5, columns 0..99
  EXPECT_EQ(At(0, 5), Q(kRed));
  EXPECT_EQ(At(98, 5), Q(kRed));
  EXPECT_NE(At(50, 4), Q(kRed));
  EXPECT_NE(At(50, 6), Q(kRed));
}

TEST_F(PictureBoxTest, BoxDrawsTheOutlineOnlyWithBothCornersIncluded) {
  box.ScaleMode(kScaleModePixels);
  box.Line(kLineBox, 10, 10, 30, 20, kTeal);
  for (auto [x, y] :
       {std::pair{10, 10}, {30, 10}, {10, 20}, {30, 20}, {20, 10}, {20, 20}, {10, 15}, {30, 15}}) {
    EXPECT_EQ(At(x, y), Q(kTeal)) << x << "," << y;
  }
  EXPECT_NE(At(20, 15), Q(kTeal)) << "inside painted";
  EXPECT_NE(At(31, 15), Q(kTeal));
  EXPECT_NE(At(20, 21), Q(kTeal));
}

TEST_F(PictureBoxTest, BoxWithSwappedCornersDrawsTheSameOutline) {
  box.ScaleMode(kScaleModePixels);
  box.Line(kLineBox, 30, 20, 10, 10, kTeal);
  EXPECT_EQ(At(10, 10), Q(kTeal));
  EXPECT_EQ(At(30, 20), Q(kTeal));
  EXPECT_NE(At(20, 15), Q(kTeal));
}

TEST_F(PictureBoxTest, ZeroLengthSegmentMarksItsPoint) {
  box.ScaleMode(kScaleModePixels);
  box.Line(kLineSegment, 7, 8, 7, 8, kRed);
  EXPECT_EQ(At(7, 8), Q(kRed));
}

TEST_F(PictureBoxTest, FarOutsideCoordinatesAreClippedNotLost) {
  box.ScaleMode(kScaleModePixels);
  // Both ends far beyond the image: the visible part must still be drawn.
  box.Line(kLineSegment, -1.0e9f, 30, 1.0e9f, 30, kRed);
  EXPECT_EQ(At(0, 30), Q(kRed));
  EXPECT_EQ(At(99, 30), Q(kRed));
  // A steep line from far above into the image.
  box.Line(kLineSegment, 40, -2.0e9f, 40, 59, kBlack);
  EXPECT_EQ(At(40, 0), Q(kBlack));
  EXPECT_EQ(At(40, 59), Q(kBlack));
  // A box whose far corner lies outside keeps its visible edges.
  box.Line(kLineBox, 5, 5, 1.0e9f, 1.0e9f, kTeal);
  EXPECT_EQ(At(50, 5), Q(kTeal));
  EXPECT_EQ(At(5, 50), Q(kTeal));
}

TEST_F(PictureBoxTest, SegmentEntirelyOutsideDrawsNothing) {
  box.ScaleMode(kScaleModePixels);
  const QImage before = box.Image();
  box.Line(kLineSegment, -50, -50, -10, 200, kRed);
  box.Line(kLineSegment, 0, 500, 99, 500, kRed);
  EXPECT_EQ(box.Image(), before);
}

TEST_F(PictureBoxTest, UnknownFlagsFailAsAnInvalidCall) {
  for (std::int16_t flags : {0, 1, 4, 5, 7, 16, 21, 23, 38, -6}) {
    try {
      box.Line(flags, 0, 0, 10, 10, kRed);
      ADD_FAILURE() << "flags " << flags << " accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), ErrorCode::InvalidCall) << flags;
    }
  }
}

TEST_F(PictureBoxTest, NonFiniteOrUnrepresentableCoordinatesOverflow) {
  box.ScaleMode(kScaleModePixels);
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(), 1.0e20f, -3.0e9f};
  const QImage before = box.Image();
  for (float v : bad) {
    for (int slot = 0; slot < 4; ++slot) {
      float c[4] = {1, 2, 3, 4};
      c[slot] = v;
      for (std::int16_t flags : {kLineSegment, kLineBox}) {
        try {
          box.Line(flags, c[0], c[1], c[2], c[3], kRed);
          ADD_FAILURE() << "value " << v << " in slot " << slot << " accepted";
        } catch (const Error& e) {
          EXPECT_EQ(e.code(), ErrorCode::Overflow);
        }
      }
    }
  }
  EXPECT_EQ(box.Image(), before) << "a refused call drew something";
}

TEST_F(PictureBoxTest, ClsAndBackColorRepaintTheWholeImage) {
  box.ScaleMode(kScaleModePixels);
  box.Line(kLineSegment, 0, 0, 99, 59, kRed);
  box.BackColor(kBlack);
  EXPECT_EQ(box.BackColor(), kBlack);
  QImage expected(100, 60, QImage::Format_RGB32);
  expected.fill(Qt::black);
  EXPECT_EQ(box.Image(), expected);
  box.Line(kLineSegment, 0, 0, 99, 59, kRed);
  box.Cls();
  EXPECT_EQ(box.Image(), expected);
}

TEST_F(PictureBoxTest, DefaultPenIsOnePixelWide) {
  box.ScaleMode(kScaleModePixels);
  EXPECT_EQ(box.DrawWidth(), 1);
  box.Line(kLineSegment, 10, 30, 90, 30, kRed);
  EXPECT_NE(At(50, 29), Q(kRed));
  EXPECT_NE(At(50, 31), Q(kRed));
}

TEST_F(PictureBoxTest, ShownWidgetKeepsItsImageAcrossRepaints) {
  box.AutoRedraw(true);
  EXPECT_TRUE(box.AutoRedraw());
  box.ScaleMode(kScaleModePixels);
  box.BackColor(kBlack);
  box.Line(kLineSegment, 0, 30, 99, 30, Rgb(0, 255, 0));
  box.show();
  for (int round = 0; round < 2; ++round) {
    box.repaint();
    const QImage shot = box.grab().toImage();
    // The border stays outside, the drawing sits inside it at (2, 2).
    EXPECT_EQ(shot.pixel(2 + 50, 2 + 30) & 0xFFFFFF, qRgb(0, 255, 0) & 0xFFFFFF) << round;
    EXPECT_EQ(shot.pixel(2 + 50, 2 + 10) & 0xFFFFFF, 0u) << round;
    EXPECT_NE(shot.pixel(0, 30) & 0xFFFFFF, 0u) << "border missing";
  }
}

TEST_F(PictureBoxTest, ResizeKeepsWhatWasDrawn) {
  box.ScaleMode(kScaleModePixels);
  box.Line(kLineSegment, 0, 5, 99, 5, kRed);
  box.resize(204, 104);
  EXPECT_EQ(box.Image().size(), QSize(200, 100));
  EXPECT_EQ(At(50, 5), Q(kRed));
  EXPECT_EQ(At(150, 5), qRgb(240, 240, 240) & 0xFFFFFF);
  EXPECT_FLOAT_EQ(box.ScaleWidth(), 200.0f);
}

// Drawing goes on through a painter that stays open between calls; a copy
// taken in between must not see what is drawn after it, even once the box
// that drew it is gone.
TEST(PictureBoxImage, CopyTakenBetweenCallsKeepsItsPixels) {
  auto box = std::make_unique<QtPictureBox>(nullptr);
  box->setGeometry(0, 0, 104, 64);
  box->ScaleMode(kScaleModePixels);
  box->Line(kLineSegment, 0, 10, 99, 10, kRed);
  const QImage first = box->Image();
  box->Line(kLineSegment, 0, 20, 99, 20, kRed);
  box->Line(kLineBox, 5, 5, 50, 50, kTeal);
  EXPECT_EQ(box->Image().pixel(60, 20) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
  const QImage second = box->Image();
  box->Line(kLineSegment, 0, 30, 99, 30, kBlack);  // left open at destruction
  box.reset();
  const QRgb back = qRgb(240, 240, 240) & 0xFFFFFF;
  EXPECT_EQ(first.pixel(60, 10) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
  EXPECT_EQ(first.pixel(60, 20) & 0xFFFFFF, back);
  EXPECT_EQ(first.pixel(5, 30) & 0xFFFFFF, back);
  EXPECT_EQ(second.pixel(5, 30) & 0xFFFFFF, qRgb(0, 128, 128) & 0xFFFFFF);
  EXPECT_EQ(second.pixel(60, 30) & 0xFFFFFF, back);
}

// A resize lands between two Line calls: at once for a shown widget, at
// the next use for a hidden one (Qt holds back its resize event).
TEST(PictureBoxImage, ResizeBetweenCallsKeepsBothDrawings) {
  for (bool shown : {false, true}) {
    QtPictureBox box(nullptr);
    box.setGeometry(0, 0, 104, 64);
    box.ScaleMode(kScaleModePixels);
    if (shown) {
      box.show();
      QApplication::processEvents();
    }
    box.Line(kLineSegment, 0, 5, 99, 5, kRed);
    box.resize(204, 104);
    box.Line(kLineSegment, 0, 80, 199, 80, kTeal);
    box.Line(kLineBox, 150, 10, 190, 20, kBlack);
    const QImage& image = box.Image();
    ASSERT_EQ(image.size(), QSize(200, 100)) << shown;
    EXPECT_EQ(image.pixel(50, 5) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF) << shown;
    EXPECT_EQ(image.pixel(150, 5) & 0xFFFFFF, qRgb(240, 240, 240) & 0xFFFFFF) << shown;
    EXPECT_EQ(image.pixel(150, 80) & 0xFFFFFF, qRgb(0, 128, 128) & 0xFFFFFF) << shown;
    EXPECT_EQ(image.pixel(170, 20) & 0xFFFFFF, 0u) << shown;
  }
}

class CountingBox : public QtPictureBox {
 public:
  using QtPictureBox::QtPictureBox;
  int paints = 0;
  QRegion painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    ++paints;
    painted += event->region();
    QtPictureBox::paintEvent(event);
  }
};

// Updates are queued once per event-loop turn; every later turn with new
// drawing must queue again, also after drawing while hidden.
TEST(PictureBoxRepaint, EveryTurnWithNewDrawingRepaintsTheShownWidget) {
  CountingBox box(nullptr);
  box.setGeometry(0, 0, 104, 64);
  box.ScaleMode(kScaleModePixels);
  box.Line(kLineSegment, 0, 1, 99, 1, kRed);
  QApplication::processEvents();
  box.show();
  QApplication::processEvents();
  QApplication::processEvents();
  for (int round = 0; round < 3; ++round) {
    const int before = box.paints;
    QApplication::processEvents();
    EXPECT_EQ(box.paints, before) << "repainted with nothing new, round " << round;
    for (int i = 0; i < 141; ++i) box.Line(kLineSegment, 0, 10 + round, 99, 10 + round, kTeal);
    if (round == 1) box.Cls();
    if (round == 2) box.BackColor(kBlack);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_GT(box.paints, before) << "round " << round;
  }
}

// A tick draws the whole picture again; only the pixels that differ from
// what the screen was last sent are repainted, nothing when none do.
TEST(PictureBoxRepaint, RedrawingRepaintsOnlyWhatChanged) {
  CountingBox box(nullptr);
  box.setGeometry(0, 0, 104, 64);  // a two-pixel border round 100 x 60
  box.ScaleMode(kScaleModePixels);
  const auto draw = [&box](float lastY) {
    box.Cls();
    box.Line(kLineBox, 0, 0, 99, 59, kTeal);
    box.Line(kLineSegment, 10, 30, 60, 30, kRed);
    box.Line(kLineSegment, 60, 30, 70, lastY, kRed);
    QApplication::processEvents();
    QApplication::processEvents();
  };
  box.show();
  draw(30);
  box.paints = 0;
  box.painted = QRegion();
  draw(30);
  EXPECT_EQ(box.paints, 0) << "the same picture drawn again was repainted";
  draw(40);
  ASSERT_GT(box.paints, 0) << "a changed picture was not repainted";
  // The last segment moved within x 60..70, y 30..40 of the image, which
  // sits two pixels in.
  const QRect bounds = box.painted.boundingRect();
  EXPECT_TRUE(QRect(62, 32, 11, 11).contains(bounds))
      << bounds.x() << "," << bounds.y() << " " << bounds.width() << "x" << bounds.height();
  EXPECT_TRUE(bounds.contains(QPoint(72, 42))) << "the new end of the line was not repainted";
}

}  // namespace
}  // namespace orv::qt
