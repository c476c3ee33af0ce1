#include "toolkit/qt/picture_box.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QResizeEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/changed_pixels.h"
#include "platform/segment_clip.h"
#include "platform/surface_contract.h"
#include "toolkit/qt/color.h"
#include "toolkit/qt/frame_border.h"

namespace orv::qt {
namespace {

// Any unit other than pixels is taken as twips: 15 to a pixel at 96 dpi.
constexpr double kTwipsPerPixel = 15.0;

// x1, y1, x2, y2 in device pixels.
using Corners = std::array<double, 4>;

// The image and a margin of the pen width round it, so wide pens still
// meet the edge.
struct Bounds {
  double loX, loY, hiX, hiY;
};

// Fills the part of RECT (normalised, as QPainter::fillRect takes it) that
// lies in the image, straight into its pixels. It runs beside the open
// painter, which also writes straight into them; through the painter each
// of a graph's hundred-odd edge fills cost more in checks than in pixels.
void FillPixels(QImage& image, const QRect& rect, QRgb color) {
  const QRect inside = rect.normalized() & image.rect();
  if (inside.isEmpty()) return;
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  const int width = inside.width();
  uchar* first = bits + inside.top() * stride + inside.left() * qsizetype{sizeof(QRgb)};
  // An edge a pixel or two wide (a grid column) is written pixel by pixel;
  // a long run (a grid line across the graph) doubles what it has written
  // with memcpy, which moves many pixels an instruction.
  constexpr int kShort = 8;
  if (width <= kShort) {
    // Column by column: the inner loop is one store a row.
    const int rows = inside.height();
    for (int x = 0; x < width; ++x) {
      uchar* pixel = first + x * qsizetype{sizeof(QRgb)};
      for (int y = 0; y < rows; ++y, pixel += stride) *reinterpret_cast<QRgb*>(pixel) = color;
    }
    return;
  }
  uchar* end = first + inside.height() * stride;
  for (uchar* line = first; line != end; line += stride) {
    QRgb* run = reinterpret_cast<QRgb*>(line);
    for (int x = 0; x < kShort; ++x) run[x] = color;
    for (int done = kShort; done < width;) {
      const int chunk = std::min(done, width - done);
      std::memcpy(run + done, run, static_cast<std::size_t>(chunk) * sizeof(QRgb));
      done += chunk;
    }
  }
}

// Clamping the corners of an axis-aligned outline leaves every visible
// pixel of it where it was.
void DrawBox(QPainter& painter, QImage& image, const Corners& c, const Bounds& bounds,
             std::int16_t drawWidth, int penWidth, double scale, const QColor& pen) {
  const double left = std::clamp(std::min(c[0], c[2]), bounds.loX, bounds.hiX);
  const double right = std::clamp(std::max(c[0], c[2]), bounds.loX, bounds.hiX);
  const double top = std::clamp(std::min(c[1], c[3]), bounds.loY, bounds.hiY);
  const double bottom = std::clamp(std::max(c[1], c[3]), bounds.loY, bounds.hiY);
  // Stroking an outline costs several times what filling its four edges
  // does. For a one-pixel pen the stroker puts each edge on the floored
  // row or column and closes every corner, as long as the box is at least
  // a pixel each way and reaches at most one pixel past the right and
  // bottom edges of the image; elsewhere (thinner boxes, or corners the
  // stroker clips) its joins drop or shift pixels, so it keeps drawing
  // those itself.
  // Above one device pixel to the layout's pixel, the edges are filled
  // whole device pixels wide, so every edge of the grid comes out as wide
  // as every other.
  const bool plain = drawWidth <= 1 && right - left >= 1.0 && bottom - top >= 1.0 &&
                     (scale != 1.0 || (left >= 0.0 && top >= 0.0 && right <= image.width() + 1.0 &&
                                       bottom <= image.height() + 1.0));
  if (!plain) {
    painter.drawRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
    return;
  }
  // Each edge on the layout's pixel that it covers at 1x, which starts at
  // that pixel's first device pixel.
  const auto snap = [scale](double v) {
    return static_cast<int>(std::lround(std::floor(v / scale) * scale));
  };
  const int l = snap(left);
  const int t = snap(top);
  const int r = snap(right);
  const int b = snap(bottom);
  const int w = penWidth;
  const QRgb rgb = pen.rgb();
  FillPixels(image, QRect(l, t, r - l + w, w), rgb);
  FillPixels(image, QRect(l, b, r - l + w, w), rgb);
  FillPixels(image, QRect(l, t + w, w, b - t - w), rgb);
  FillPixels(image, QRect(r, t + w, w, b - t - w), rgb);
}

void DrawSegments(QPainter& painter, std::vector<QLineF>& segments) {
  if (segments.empty()) return;
  painter.drawLines(segments.data(), static_cast<int>(segments.size()));
  segments.clear();
}

// A segment is queued (see m_segments), a zero-length one still marks its
// point, at once.
void DrawSegment(QPainter& painter, Corners c, const Bounds& bounds,
                 std::vector<QLineF>& segments) {
  if (!ClipSegment(c[0], c[1], c[2], c[3], bounds.loX, bounds.loY, bounds.hiX, bounds.hiY)) return;
  const QPointF a(c[0], c[1]);
  const QPointF b(c[2], c[3]);
  if (a == b) {
    DrawSegments(painter, segments);
    painter.drawPoint(a);
  } else {
    segments.emplace_back(a, b);
  }
}

}  // namespace

QtPictureBox::QtPictureBox(QWidget* parent) : QFrame(parent) {
  // The default picture-box border: a sunken 3D edge two pixels deep.
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The inner area is read on every Line and every ScaleWidth/ScaleHeight;
  // with this on, each read asks the top-level window for its safe-area
  // margins, which desktop Linux and Windows always report as zero, and
  // that walk cost more than filling a grid line.
  setAttribute(Qt::WA_ContentsMarginsRespectsSafeArea, false);
  m_image = QImage(contentsRect().size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  m_image.fill(ToQColor(m_backColor));
}

QtPictureBox::~QtPictureBox() { EndPainting(); }

const QImage& QtPictureBox::Image() const {
  SyncImageSize();
  EndPainting();
  return m_image;
}

QSize QtPictureBox::DeviceSize(double scale) const {
  const QSize logical = contentsRect().size().expandedTo(QSize(1, 1));
  return QSize(static_cast<int>(std::lround(logical.width() * scale)),
               static_cast<int>(std::lround(logical.height() * scale)));
}

// The image holds device pixels: on a screen scaled by 1.25 to 2 the graph
// is drawn at the screen's resolution, not drawn at 1x and enlarged (which
// makes one-pixel lines 1 and 2 pixels wide by turns, and steps the line).
void QtPictureBox::SyncImageSize() const { SyncImageSize(ScreenScale()); }

double QtPictureBox::ScreenScale() const { return std::max(devicePixelRatioF(), 1.0); }

void QtPictureBox::SyncImageSize(double scale) const {
  const QSize size = DeviceSize(scale);
  if (size == m_image.size() && scale == m_scale) return;
  EndPainting();
  QImage grown(size, QImage::Format_RGB32);
  grown.fill(ToQColor(m_backColor));
  QPainter painter(&grown);
  painter.scale(scale / m_scale, scale / m_scale);
  painter.drawImage(0, 0, m_image);
  painter.end();
  m_image = std::move(grown);
  m_scale = scale;
}

bool QtPictureBox::AutoRedraw() const { return m_autoRedraw; }

void QtPictureBox::AutoRedraw(bool on) { m_autoRedraw = on; }

QPainter& QtPictureBox::Painter(Color color) {
  const bool fresh = !m_painter.isActive();
  if (fresh) {
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBrush(Qt::NoBrush);
  }
  if (fresh || color != m_penColor) {
    DrawSegments(m_painter, m_segments);
    m_penColor = color;
    m_penQColor = ToQColor(color);
    QPen pen(m_penQColor);
    pen.setWidth(PenWidth());
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
  }
  return m_painter;
}

// The layout's pen width in whole device pixels, the same for every line.
int QtPictureBox::PenWidth() const {
  return std::max(1, static_cast<int>(std::lround(std::max<int>(1, m_drawWidth) * m_scale)));
}

void QtPictureBox::EndPainting() const {
  if (!m_painter.isActive()) return;
  DrawSegments(m_painter, m_segments);
  m_painter.end();
}

void QtPictureBox::ScheduleUpdate() {
  if (m_updateQueued) return;
  m_updateQueued = true;
  // A flag cleared by paintEvent would stay set for good whenever Qt drops
  // the update (hidden, or updates disabled); a queued call always runs.
  QMetaObject::invokeMethod(
      this,
      [this] {
        m_updateQueued = false;
        SendChanges();
      },
      Qt::QueuedConnection);
}

void QtPictureBox::SendChanges() {
  SyncImageSize();
  EndPainting();
  static_assert(sizeof(QRgb) == sizeof(std::uint32_t));
  const PixelBox changed = TakeChangedPixels(
      reinterpret_cast<const std::uint32_t*>(m_image.constBits()), m_image.width(),
      m_image.height(), m_image.bytesPerLine() / qsizetype{sizeof(QRgb)}, m_sent);
  if (changed.Empty()) return;
  // Device pixels to the widget's, rounded outwards.
  const QPoint origin = contentsRect().topLeft();
  const auto down = [this](int v) { return static_cast<int>(std::floor(v / m_scale)); };
  const auto up = [this](int v) { return static_cast<int>(std::ceil(v / m_scale)); };
  update(QRect(QPoint(origin.x() + down(changed.left), origin.y() + down(changed.top)),
               QPoint(origin.x() + up(changed.right) - 1, origin.y() + up(changed.bottom) - 1)));
}

void QtPictureBox::Cls() {
  SyncImageSize();
  EndPainting();
  m_image.fill(ToQColor(m_backColor));
  ScheduleUpdate();
}

std::int16_t QtPictureBox::DrawWidth() const { return m_drawWidth; }

std::int16_t QtPictureBox::ScaleMode() const { return m_scaleMode; }

void QtPictureBox::ScaleMode(std::int16_t mode) {
  CheckScaleMode(mode);
  m_scaleMode = mode;
}

Color QtPictureBox::BackColor() const { return m_backColor; }

void QtPictureBox::BackColor(Color color) {
  m_backColor = color & 0x00FFFFFF;
  SyncImageSize();
  EndPainting();
  m_image.fill(ToQColor(m_backColor));
  ScheduleUpdate();
}

float QtPictureBox::ScaleWidth() const {
  const double w = contentsRect().width();
  return static_cast<float>(m_scaleMode == kScaleModePixels ? w : w * kTwipsPerPixel);
}

float QtPictureBox::ScaleHeight() const {
  const double h = contentsRect().height();
  return static_cast<float>(m_scaleMode == kScaleModePixels ? h : h * kTwipsPerPixel);
}

void QtPictureBox::Line(std::int16_t flags, float x1, float y1, float x2, float y2, Color color) {
  // The size is checked on every call: a hidden widget's resize reaches it
  // between two calls without an event. The scale changes only with an
  // event, and a run of lines (the painter open) handles none, so it is
  // asked once per run: asking walks up to the window and its screen,
  // which cost more than many a line.
  SyncImageSize(m_painter.isActive() ? m_scale : ScreenScale());
  // Device pixels: the layout's pixel times the screen's scale.
  const double unit = m_scaleMode == kScaleModePixels ? 1.0 : 1.0 / kTwipsPerPixel;
  const Corners c = DeviceLineCorners(flags, x1, y1, x2, y2, unit * m_scale);

  QPainter& painter = Painter(color);
  const double margin = PenWidth() + 2.0;
  const Bounds bounds = {-margin, -margin, m_image.width() + margin, m_image.height() + margin};
  if (flags == kLineBox) {
    DrawSegments(painter, m_segments);
    DrawBox(painter, m_image, c, bounds, m_drawWidth, PenWidth(), m_scale, m_penQColor);
  } else {
    DrawSegment(painter, c, bounds, m_segments);
  }
  ScheduleUpdate();
}

void QtPictureBox::paintEvent(QPaintEvent* event) {
  SyncImageSize();
  EndPainting();
  QPainter painter(this);
  const QRect inner = contentsRect();
  painter.setClipRect(event->rect());
  // Device pixel for device pixel where the scale is whole; within a
  // fraction of a pixel where it is not.
  painter.drawImage(QRectF(inner.topLeft(), QSizeF(m_image.size()) / m_scale), m_image);
  painter.end();
  if (!LeavesBorderAlone(*this, *event)) QFrame::paintEvent(event);
}

void QtPictureBox::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  SyncImageSize();
}

}  // namespace orv::qt
