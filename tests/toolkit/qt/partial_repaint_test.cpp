#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <string>

#include "platform/picture_surface.h"
#include "toolkit/qt/group_frame.h"
#include "toolkit/qt/label.h"
#include "toolkit/qt/picture_box.h"

namespace orv::qt {
namespace {

constexpr Color kGreen = 0x00FF00;
constexpr Color kTeal = 0x808000;

// The border of FRAME on the screen SHOWN, pixel for pixel as a plain
// QFrame of its style draws it.
void ExpectBorderAsAPlainFrameDrawsIt(const QImage& shown, const QFrame& frame) {
  QFrame plain;
  plain.setFrameStyle(frame.frameStyle());
  plain.setLineWidth(frame.lineWidth());
  plain.setPalette(frame.palette());
  plain.resize(frame.size());
  const QImage reference = plain.grab().toImage();
  const QRect inside = frame.contentsRect();
  int wrong = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      if (inside.contains(x, y)) continue;
      const QPoint at = frame.mapTo(frame.window(), QPoint(x, y));
      if ((shown.pixel(at) & 0xFFFFFF) != (reference.pixel(x, y) & 0xFFFFFF)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0) << "border pixels of " << frame.metaObject()->className();
}

// A tick repaints only what it changed: the patches of the captions that
// changed (inside a frame, which then draws no border) and the graph's
// changed pixels. What reaches the screen must still be what a full paint
// of the window draws. The offscreen platform's screen hands back what
// was flushed to the window, patch by patch.
TEST(PartialRepaintTest, WhatReachesTheScreenIsWhatAFullPaintDraws) {
  QWidget window;
  window.resize(300, 200);
  QPalette face = window.palette();
  face.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
  window.setPalette(face);
  window.setAutoFillBackground(true);

  auto* frame = new QtGroupFrame(&window);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(5, 5, 290, 80);
  auto* rate = new QtLabel(frame);  // transparent, grows with its text
  rate->setGeometry(4, 4, 10, 14);
  rate->AutoSize(true);
  auto* value = new QtLabel(frame);  // a value box: bordered, opaque, right-aligned
  value->SingleBorder(true);
  value->Opaque(true);
  value->setAlignment(Qt::AlignRight | Qt::AlignTop);
  value->setGeometry(120, 40, 110, 23);

  auto* graph = new QtPictureBox(&window);
  graph->setGeometry(5, 90, 204, 104);
  graph->ScaleMode(kScaleModePixels);
  graph->BackColor(0);

  window.show();
  QApplication::processEvents();
  for (int tick = 0; tick < 6; ++tick) {
    const std::u16string n = u"1" + std::u16string(static_cast<std::size_t>(tick % 4), u'0');
    rate->Caption(u"平均下载速率: " + n + u".25 Kb/S");
    value->Caption(n + u" KB");
    graph->Cls();
    graph->Line(kLineBox, 0, 0, 100, 99, kTeal);
    graph->Line(kLineSegment, 0, 50, 199, 50 - 7 * tick, kGreen);
    // A patch across the frame's corner, as an uncovered part of the
    // window asks: there the frame must draw its border again.
    if (tick == 3) window.update(QRect(0, 0, 40, 40));
    QApplication::processEvents();
    QApplication::processEvents();
    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    const QImage full = window.grab().toImage();
    ASSERT_EQ(shown.convertToFormat(QImage::Format_RGB32),
              full.convertToFormat(QImage::Format_RGB32))
        << "tick " << tick;
    for (const QFrame* framed : {static_cast<QFrame*>(frame), static_cast<QFrame*>(graph)}) {
      ExpectBorderAsAPlainFrameDrawsIt(shown, *framed);
    }
  }
}

}  // namespace
}  // namespace orv::qt
