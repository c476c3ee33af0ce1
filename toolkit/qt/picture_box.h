#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <cstdint>
#include <vector>

#include "platform/picture_surface.h"

namespace orv::qt {

// A drawing surface over a backing image in pixels. With AutoRedraw on the
// image persists and is painted whenever the widget is exposed; with it
// off, drawing goes to the same image (the program always switches it on).
class QtPictureBox : public QFrame, public PictureSurface {
 public:
  explicit QtPictureBox(QWidget* parent);
  ~QtPictureBox() override;

  bool AutoRedraw() const override;
  void AutoRedraw(bool on) override;
  void Cls() override;
  std::int16_t DrawWidth() const override;
  std::int16_t ScaleMode() const override;
  void ScaleMode(std::int16_t mode) override;
  Color BackColor() const override;
  void BackColor(Color color) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  void Line(std::int16_t flags, float x1, float y1, float x2, float y2, Color color) override;

  // The drawn image, for tests and screenshots, in device pixels: the
  // layout's pixels times the screen's scale. Drawing still under way is
  // finished first, so a copy taken from it never changes afterwards.
  const QImage& Image() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Qt defers resize events of hidden widgets, so the image follows the
  // inner area lazily, before every use.
  void SyncImageSize() const;
  void SyncImageSize(double scale) const;
  // Device pixels to the layout's pixel on the widget's screen, at least 1.
  double ScreenScale() const;
  QSize DeviceSize(double scale) const;
  int PenWidth() const;
  // One painter stays open on the image across Line calls: opening one per
  // call cost more than the drawing itself. Every other use of the image
  // (paint, resize, fill, Image(), destruction) closes it first.
  QPainter& Painter(Color color);
  void EndPainting() const;
  // Qt merges update() calls, but each one still walks the widget tree;
  // one queued update per event-loop turn covers any number of calls.
  void ScheduleUpdate();
  // Updates only the part of the widget whose pixels differ from the image
  // last sent: a tick redraws the whole graph, and mostly changes little.
  void SendChanges();

  mutable QImage m_image;
  // Device pixels to the layout's pixel, as the image was made for.
  mutable double m_scale = 1.0;
  // Declared after the image so that it is destroyed before it.
  mutable QPainter m_painter;
  // Segments of the pen's colour not yet drawn: handed to the painter in
  // one call when anything else is drawn, the pen changes or the painter
  // closes. A graph is a hundred short segments, and each call on its own
  // cost the painter more in setting up than in pixels.
  mutable std::vector<QLineF> m_segments;
  Color m_penColor = 0;
  QColor m_penQColor;
  bool m_updateQueued = false;
  // The image as last sent to the screen, to compare the next one with.
  std::vector<std::uint32_t> m_sent;
  Color m_backColor = 0xF0F0F0;
  bool m_autoRedraw = false;
  std::int16_t m_scaleMode = 1;  // twips until set to pixels
  std::int16_t m_drawWidth = 1;
};

}  // namespace orv::qt
