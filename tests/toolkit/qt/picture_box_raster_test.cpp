// The box fills box outlines edge by edge and keeps one painter open across
// calls; these tests hold its pixels to what Qt's own stroker draws for the
// same calls, each on a painter of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "toolkit/qt/picture_box.h"

namespace orv::qt {
namespace {

constexpr Color kTeal = Rgb(0, 128, 128);
constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kBack = Rgb(240, 240, 240);

QColor Q(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QPen OnePixelPen(Color c) {
  QPen pen(Q(c));
  pen.setWidth(1);
  pen.setCapStyle(Qt::SquareCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

// An outline as Qt strokes it: a fresh aliased painter, a one-pixel square
// pen and the corners held three pixels outside the image.
void StrokeBox(QImage& image, double x1, double y1, double x2, double y2, Color c) {
  const double loX = -3.0;
  const double hiX = image.width() + 3.0;
  const double loY = -3.0;
  const double hiY = image.height() + 3.0;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(OnePixelPen(c));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(
      QPointF(std::clamp(std::min(x1, x2), loX, hiX), std::clamp(std::min(y1, y2), loY, hiY)),
      QPointF(std::clamp(std::max(x1, x2), loX, hiX), std::clamp(std::max(y1, y2), loY, hiY))));
}

// A segment well inside the image, where no clipping applies.
void StrokeSegment(QImage& image, double x1, double y1, double x2, double y2, Color c) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(OnePixelPen(c));
  if (x1 == x2 && y1 == y2) {
    painter.drawPoint(QPointF(x1, y1));
  } else {
    painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
  }
}

QImage Blank(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Q(kBack));
  return image;
}

// Lists the first differing pixels, so a failure shows where it is.
std::string Diff(const QImage& got, const QImage& want) {
  if (got.size() != want.size()) return "sizes differ";
  std::ostringstream out;
  int shown = 0;
  for (int y = 0; y < got.height(); ++y) {
    for (int x = 0; x < got.width(); ++x) {
      const QRgb g = got.pixel(x, y) & 0xFFFFFF;
      const QRgb w = want.pixel(x, y) & 0xFFFFFF;
      if (g != w && shown++ < 8)
        out << " (" << x << "," << y << ") " << std::hex << g << "!=" << w << std::dec;
    }
  }
  return out.str();
}

// A box of W x H inner pixels: the widget adds its two-pixel border.
std::unique_ptr<QtPictureBox> MakeBox(int w, int h) {
  auto box = std::make_unique<QtPictureBox>(nullptr);
  box->setGeometry(0, 0, w + 4, h + 4);
  box->ScaleMode(kScaleModePixels);
  return box;
}

struct BoxCase {
  const char* name;
  double x1, y1, x2, y2;
};

// 100 x 60 image. The filled path covers whole-pixel-or-larger boxes from
// the origin up to one pixel past the far edges; the rest are the stroker's.
const BoxCase kBoxes[] = {
    {"integer corners", 10, 10, 30, 20},
    {"swapped corners", 30, 20, 10, 10},
    {"grid column at a quarter", 0, 0, 18.75, 60},
    {"grid column at three quarters", 0, 0, 56.25, 60},
    {"grid row at three tenths", 0, 0, 100, 11.3},
    {"whole image", 0, 0, 99, 59},
    {"edges just outside the image", 0, 0, 100, 60},
    {"one pixel past both far edges", 0, 0, 101, 61},
    {"just beyond one pixel past", 0, 0, 101.25, 61.5},
    {"two pixels past", 1, 1, 102, 62},
    {"fractional everywhere", 0.5, 0.25, 98.99, 58.01},
    {"just below whole numbers", 9.9999999, 4.9999999, 29.9999999, 19.9999999},
    {"just above whole numbers", 10.0000001, 5.0000001, 30.0000001, 20.0000001},
    {"nested border", 3, 3, 96, 56},
    {"one pixel each way", 40, 30, 41, 31},
    {"exactly one pixel wide, fractional", 40.5, 30.5, 41.5, 31.5},
    {"under a pixel wide", 40.2, 10, 40.9, 50},
    {"under a pixel high", 10, 30.3, 80, 31.1},
    {"zero width", 50, 5, 50, 55},
    {"zero height", 5, 25, 95, 25},
    {"a single point", 7, 8, 7, 8},
    {"slightly negative corner", -0.5, -0.25, 4, 3.47},
    {"tiny negative corner", -1e-9, -1e-9, 20, 20},
    {"far corner outside", 5, 5, 1e9, 1e9},
    {"both corners far outside", -1e9, -1e9, 1e9, 1e9},
    {"far left, inside right", -1e9, 12, 44.6, 40.2},
    {"entirely outside", 200, 200, 300, 300},
};

TEST(PictureBoxRaster, BoxOutlinesCoverExactlyTheStrokedPixels) {
  auto box = MakeBox(100, 60);
  for (const BoxCase& c : kBoxes) {
    box->Cls();
    box->Line(kLineBox, static_cast<float>(c.x1), static_cast<float>(c.y1),
              static_cast<float>(c.x2), static_cast<float>(c.y2), kTeal);
    QImage want = Blank(100, 60);
    StrokeBox(want, static_cast<float>(c.x1), static_cast<float>(c.y1), static_cast<float>(c.x2),
              static_cast<float>(c.y2), kTeal);
    EXPECT_EQ(box->Image(), want) << c.name << Diff(box->Image(), want);
  }
}

TEST(PictureBoxRaster, BoxOutlinesInTwipsCoverExactlyTheStrokedPixels) {
  auto box = MakeBox(100, 60);
  box->ScaleMode(1);
  // Fifteen twips to a pixel: most of these land on thirds and fifteenths.
  const float twips[][4] = {{0, 0, 1500, 900}, {1, 2, 1499, 899}, {7, 7, 281, 898},
                            {14, 29, 16, 31},  {0, 0, 1515, 915}, {20, 20, 1520, 930},
                            {-8, 0, 300, 300}};
  for (const auto& t : twips) {
    box->Cls();
    box->Line(kLineBox, t[0], t[1], t[2], t[3], kRed);
    QImage want = Blank(100, 60);
    StrokeBox(want, t[0] / 15.0, t[1] / 15.0, t[2] / 15.0, t[3] / 15.0, kRed);
    EXPECT_EQ(box->Image(), want) << t[0] << "," << t[1] << "," << t[2] << "," << t[3]
                                  << Diff(box->Image(), want);
  }
}

// Random corners around and across small images: whole numbers, 64ths,
// fifteenths (twips), hairs off whole numbers and arbitrary singles.
TEST(PictureBoxRaster, RandomBoxOutlinesCoverExactlyTheStrokedPixels) {
  std::mt19937 rng(20261208);
  int compared = 0;
  for (int size = 0; size < 12; ++size) {
    const int w = 1 + static_cast<int>(rng() % 40);
    const int h = 1 + static_cast<int>(rng() % 30);
    auto box = MakeBox(w, h);
    auto coord = [&](int extent) -> float {
      std::uniform_real_distribution<double> any(-4.0, extent + 4.0);
      const int whole = static_cast<int>(rng() % (extent + 9)) - 4;
      switch (rng() % 5) {
        case 0:
          return static_cast<float>(whole);
        case 1:
          return static_cast<float>(whole + (rng() % 2 ? 1e-5 : -1e-5));
        case 2:
          return static_cast<float>(whole + (rng() % 64) / 64.0);
        case 3:
          return static_cast<float>(whole + (rng() % 15) / 15.0);
        default:
          return static_cast<float>(any(rng));
      }
    };
    for (int n = 0; n < 400; ++n) {
      const float x1 = coord(w), y1 = coord(h);
      // Often a thin box, where the stroker's joins are at their oddest.
      const float x2 = rng() % 4 == 0 ? x1 + (rng() % 3) * 0.5f : coord(w);
      const float y2 = rng() % 4 == 0 ? y1 + (rng() % 3) * 0.5f : coord(h);
      box->Cls();
      box->Line(kLineBox, x1, y1, x2, y2, kTeal);
      QImage want = Blank(w, h);
      StrokeBox(want, x1, y1, x2, y2, kTeal);
      ASSERT_EQ(box->Image(), want) << w << "x" << h << " box " << x1 << "," << y1 << " " << x2
                                    << "," << y2 << Diff(box->Image(), want);
      ++compared;
    }
  }
  EXPECT_EQ(compared, 12 * 400);
}

// The picture the line graph draws on the window's box and on odd sizes:
// the clear, the 30 grid boxes and a zigzag of 100 segments, all through one
// painter, against each call stroked on its own painter.
TEST(PictureBoxRaster, GridAndLineSequenceMatchesCallsDrawnOneByOne) {
  for (auto [w, h] : {std::pair{375, 113}, {380, 116}, {41, 23}, {7, 5}}) {
    auto box = MakeBox(w, h);
    QImage want = Blank(w, h);
    box->BackColor(0);
    want.fill(Qt::black);
    for (int j = 1; j <= 20; ++j) {
      const float x = static_cast<float>(static_cast<double>(w) / 20 * j);
      box->Line(kLineBox, 0, 0, x, static_cast<float>(h), kTeal);
      StrokeBox(want, 0, 0, x, h, kTeal);
    }
    for (int k = 1; k <= 10; ++k) {
      const float y = static_cast<float>(static_cast<double>(h) / 10 * k);
      box->Line(kLineBox, 0, 0, static_cast<float>(w), y, kTeal);
      StrokeBox(want, 0, 0, w, y, kTeal);
    }
    // Quarter-pixel steps keep every coordinate exact, so no clipping
    // arithmetic can nudge an end.
    double px = 2.0;
    double py = h - 1.0;
    for (int i = 1; i <= 100; ++i) {
      const double x = 2.0 + (w - 4.0) * i / 100.0;
      const double qx = std::round(x * 4) / 4;
      const double qy = std::round(((i * 37) % 100) / 100.0 * (h - 1) * 4) / 4;
      box->Line(kLineSegment, static_cast<float>(px), static_cast<float>(py),
                static_cast<float>(qx), static_cast<float>(qy), kGreen);
      StrokeSegment(want, px, py, qx, qy, kGreen);
      px = qx;
      py = qy;
    }
    EXPECT_EQ(box->Image(), want) << w << "x" << h << Diff(box->Image(), want);
  }
}

// Each call alone on a fresh box, laid over one another in order, must give
// what the same calls give through the one painter: a pen colour, clip or
// fill left over from the previous call would show here.
TEST(PictureBoxRaster, MixedCallsThroughOnePainterMatchEachCallAlone) {
  struct Call {
    std::int16_t flags;
    float x1, y1, x2, y2;
    Color color;
  };
  const Call calls[] = {
      {kLineSegment, 0, 5, 99, 5, kRed},           {kLineBox, 10, 10, 30, 20, kTeal},
      {kLineSegment, 0, 6, 99, 6, kRed},  // same colour again
      {kLineSegment, -1e9f, 40, 1e9f, 41, kGreen}, {kLineBox, 5, 5, 1e9f, 1e9f, kRed},
      {kLineSegment, 50, -2e9f, 50, 59, kTeal},    {kLineSegment, 7, 8, 7, 8, kGreen},
      {kLineBox, 40.2f, 10, 40.9f, 50, kGreen},    {kLineSegment, 99, 0, 0, 59, kTeal},
      {kLineBox, 0, 0, 100, 11.3f, kRed},
  };
  auto box = MakeBox(100, 60);
  QImage want = Blank(100, 60);
  const QRgb back = Q(kBack).rgb() & 0xFFFFFF;
  for (const Call& c : calls) {
    box->Line(c.flags, c.x1, c.y1, c.x2, c.y2, c.color);
    auto alone = MakeBox(100, 60);
    alone->Line(c.flags, c.x1, c.y1, c.x2, c.y2, c.color);
    const QImage& one = alone->Image();
    int painted = 0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 100; ++x) {
        if ((one.pixel(x, y) & 0xFFFFFF) != back) {
          want.setPixel(x, y, one.pixel(x, y));
          ++painted;
        }
      }
    }
    EXPECT_GT(painted, 0) << "call drew nothing alone";
  }
  EXPECT_EQ(box->Image(), want) << Diff(box->Image(), want);
}

}  // namespace
}  // namespace orv::qt
