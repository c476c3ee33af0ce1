#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <memory>
#include <string>

#include "graph/cls_line_graph.h"
#include "monitor/graph_look.h"
#include "toolkit/qt/picture_box.h"

namespace orv {
namespace {

// The graph box of the window: 5685 x 1750 twips at 15 twips a pixel,
// with the picture box's two-pixel sunken edge inside that.
constexpr int kOuterWidth = 379;
constexpr int kOuterHeight = 117;

const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kTeal(0, 128, 128);

class LineGraphOnPictureBox : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<QWidget>();
    window->resize(kOuterWidth + 20, kOuterHeight + 20);
    pic = new qt::QtPictureBox(window.get());
    pic->setGeometry(0, 0, kOuterWidth, kOuterHeight);
    window->show();
    QApplication::processEvents();

    // The window's settings.
    graph.PictureBox(pic);
    graph.DataCollection(history);
    ApplyWindowGraphLook(graph);
  }
  void TearDown() override { graph.PictureBox(nullptr); }

  std::unique_ptr<QWidget> window;
  qt::QtPictureBox* pic = nullptr;
  std::shared_ptr<History> history = std::make_shared<History>();
  clsLineGraph graph;
};

std::string Describe(const QColor& c) {
  return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue());
}

// A value of 25 puts the line at y = 0.75 H, clear of the grid's rows
// (every tenth of H) and of its columns at this column.
TEST_F(LineGraphOnPictureBox, DrawsBackgroundLineAndGridInTheirColorsAndKeepsThemOnRepaint) {
  for (int k = 0; k < 100; ++k) history->Add(25);
  graph.Draw();

  const QImage& image = pic->Image();
  const int w = image.width();
  const int h = image.height();
  ASSERT_EQ(w, static_cast<int>(pic->ScaleWidth()));
  ASSERT_EQ(h, static_cast<int>(pic->ScaleHeight()));
  ASSERT_GT(w, 300);
  ASSERT_GT(h, 100);

  const double lineY = h - 25 * (h / 100.0);
  const double cellW = w / 20.0;
  const double cellH = h / 10.0;
  const int column = static_cast<int>(cellW * 10.5);  // mid-cell
  const int openRow = static_cast<int>(cellH * 3.5);  // mid-cell, far from the line

  auto at = [&](const QImage& img, int x, int y) { return img.pixelColor(x, y); };

  EXPECT_EQ(at(image, column, openRow), kBlack) << Describe(at(image, column, openRow));
  EXPECT_EQ(at(image, w - 1, h - 1), kBlack) << "the value 0 row lies below the surface";

  bool green = false;
  for (int y = static_cast<int>(lineY) - 1; y <= static_cast<int>(lineY) + 1; ++y) {
    green = green || at(image, column, y) == kGreen;
  }
  EXPECT_TRUE(green) << "no green pixel near y = " << lineY << " at x = " << column;
  EXPECT_EQ(at(image, column, static_cast<int>(lineY) - 4), kBlack);
  EXPECT_EQ(at(image, column, static_cast<int>(lineY) + 4), kBlack);

  // The grid's left edge and one of its vertical lines, between two rows.
  EXPECT_EQ(at(image, 0, openRow), kTeal) << Describe(at(image, 0, openRow));
  const int gridColumn = static_cast<int>(cellW * 4);
  bool teal = false;
  for (int x = gridColumn - 1; x <= gridColumn + 1; ++x)
    teal = teal || at(image, x, openRow) == kTeal;
  EXPECT_TRUE(teal) << "no teal pixel near x = " << cellW * 4;

  // What the widget shows, before and after a repaint, is the drawn image.
  const QPoint origin = pic->contentsRect().topLeft();
  const QImage before = pic->grab().toImage().convertToFormat(QImage::Format_RGB32);
  pic->update();
  pic->repaint();
  QApplication::processEvents();
  const QImage after = pic->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(before.size(), after.size());
  EXPECT_TRUE(before == after) << "the picture changed on a repaint";
  const QImage shown = after.copy(QRect(origin, image.size()));
  EXPECT_TRUE(shown == image.convertToFormat(QImage::Format_RGB32))
      << "the widget does not show the drawn image";
  EXPECT_EQ(at(after, origin.x() + column, origin.y() + openRow), kBlack);
  EXPECT_EQ(at(after, origin.x(), origin.y() + openRow), kTeal);
}

// The real surface's state after a Draw is the one every later Draw and
// every exposure relies on.
TEST_F(LineGraphOnPictureBox, LeavesTheSurfaceKeepingItsImageInPixels) {
  for (int k = 0; k < 120; ++k) history->Add(k % 90);
  graph.Draw();
  EXPECT_TRUE(pic->AutoRedraw());
  EXPECT_EQ(pic->ScaleMode(), kScaleModePixels);
  EXPECT_EQ(pic->BackColor(), 0u);
  EXPECT_EQ(history->Count(), 100);
  EXPECT_EQ(history->Item(1), 20);
}

}  // namespace
}  // namespace orv
