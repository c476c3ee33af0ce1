// The line graph on a screen scaled by ORV_TEST_SCALE: drawn at the
// screen's resolution, with every grid line as wide as every other and the
// line itself in device pixels, not drawn at 1x and enlarged.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "graph/cls_line_graph.h"
#include "toolkit/qt/picture_box.h"

namespace orv {
namespace {

constexpr double kScale = ORV_TEST_SCALE;
const QColor kTeal(0, 128, 128);
const QColor kGreen(0, 255, 0);

// The widths of the runs of `colour` met along one row or one column.
std::vector<int> Runs(const QImage& image, const QColor& colour, bool alongRow, int at) {
  std::vector<int> runs;
  const int length = alongRow ? image.width() : image.height();
  int run = 0;
  for (int i = 0; i <= length; ++i) {
    const bool hit = i < length && image.pixelColor(alongRow ? i : at, alongRow ? at : i) == colour;
    if (hit) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

TEST(LineGraphOnAScaledScreen, DrawsAtDeviceResolutionWithEvenGridLines) {
  ASSERT_DOUBLE_EQ(qApp->devicePixelRatio(), kScale);
  QWidget window;
  window.resize(400, 140);
  auto* pic = new qt::QtPictureBox(&window);
  pic->setGeometry(0, 0, 379, 117);  // the window's graph box
  window.show();
  QApplication::processEvents();
  auto history = std::make_shared<History>();
  for (int k = 0; k < 100; ++k) history->Add((k * 37) % 90);
  clsLineGraph graph;
  graph.PictureBox(pic);
  graph.DataCollection(history);
  graph.PicBackground(0);
  graph.PicForeground(65280);
  graph.GridColor(0x808000);
  graph.GridVisible(true);
  graph.Draw();

  const QImage image = pic->Image();
  const QSize logical = pic->contentsRect().size();
  ASSERT_EQ(image.width(), std::lround(logical.width() * kScale));
  ASSERT_EQ(image.height(), std::lround(logical.height() * kScale));
  EXPECT_EQ(pic->ScaleWidth(), logical.width()) << "the graph's coordinates stay the layout's";

  // Grid lines, crossed mid-cell: every one the layout's pixel rounded to
  // whole device pixels, none thinner or wider than the others.
  const int even = static_cast<int>(std::lround(kScale));
  const int midRow = static_cast<int>(image.height() * 0.05);
  const int midColumn = static_cast<int>(image.width() * 0.025);
  const std::vector<int> columns = Runs(image, kTeal, true, midRow);
  const std::vector<int> rows = Runs(image, kTeal, false, midColumn);
  EXPECT_GE(columns.size(), 19U);
  EXPECT_GE(rows.size(), 9U);
  EXPECT_EQ(std::set<int>(columns.begin(), columns.end()), std::set<int>{even});
  EXPECT_EQ(std::set<int>(rows.begin(), rows.end()), std::set<int>{even});

  // An image drawn at 1x and enlarged is made of whole blocks; the line
  // drawn in device pixels cuts through them.
  if (kScale == 2.0) {
    int cut = 0;
    int green = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
      for (int x = 0; x + 1 < image.width(); x += 2) {
        int in = 0;
        for (const QPoint p :
             {QPoint(x, y), QPoint(x + 1, y), QPoint(x, y + 1), QPoint(x + 1, y + 1)}) {
          in += image.pixelColor(p) == kGreen ? 1 : 0;
        }
        green += in;
        cut += (in > 0 && in < 4) ? 1 : 0;
      }
    }
    EXPECT_GT(green, 0);
    EXPECT_GT(cut, 0) << "the line is a 1x drawing enlarged";
  }

  // The widget shows the image device pixel for device pixel.
  const QImage shown = pic->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(),
            QSize(std::lround(pic->width() * kScale), std::lround(pic->height() * kScale)));
  const QPoint origin(std::lround(pic->contentsRect().left() * kScale),
                      std::lround(pic->contentsRect().top() * kScale));
  if (kScale == 2.0) {
    EXPECT_TRUE(shown.copy(QRect(origin, image.size())) ==
                image.convertToFormat(QImage::Format_RGB32))
        << "the widget does not show the drawn image";
  }
  graph.PictureBox(nullptr);
}

}  // namespace
}  // namespace orv

int main(int argc, char** argv) {
  // The scale must be set before the application starts.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", QByteArray::number(ORV_TEST_SCALE));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
