// Draws the window's banner (259 x 76) and icon (32 x 32) and writes them
// as 256-colour PNGs with one transparent palette entry; the same banner
// drawn again at twice the size for screens at scale 2, and the same icon
// drawn again at the desktop theme's other sizes and at the two more the
// Windows icon file holds. Run through tools/make-art, which builds this
// file and writes the window art into monitor/resources, the theme icons
// into packaging/icons and the Windows-only sizes into
// packaging/windows/icons.
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr QRgb kTransparent = 0x00FF00FF;  // magenta, alpha 0: the one see-through entry

// A fixed sample curve: two overlapping swells, so the art looks like live
// traffic without depending on random numbers.
double Traffic(double t) {
  return 0.55 * std::exp(-std::pow((t - 0.30) / 0.12, 2)) +
         0.85 * std::exp(-std::pow((t - 0.68) / 0.09, 2)) + 0.08 * std::sin(t * 40.0) + 0.12;
}

// 255 drawn colours plus the transparent one; anything fully transparent
// in the drawing maps to that last entry.
QImage ToIndexed(const QImage& argb) {
  const QImage opaque = argb.convertToFormat(QImage::Format_RGB32);
  QImage eight = opaque.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
  QVector<QRgb> table = eight.colorTable();
  if (table.size() > 255) {
    // Free one entry for transparency: drop the least used colour and map
    // the picture onto the remaining 255.
    std::vector<long> uses(table.size(), 0);
    for (int y = 0; y < eight.height(); ++y) {
      for (int x = 0; x < eight.width(); ++x) ++uses[eight.pixelIndex(x, y)];
    }
    int rare = 0;
    for (int i = 1; i < table.size(); ++i) {
      if (uses[i] < uses[rare]) rare = i;
    }
    table.remove(rare);
    table.resize(255);
    eight = opaque.convertToFormat(QImage::Format_Indexed8, table, Qt::DiffuseDither);
    table = eight.colorTable();
  }
  const int clear = table.size();
  table.append(kTransparent);
  while (table.size() < 256) table.append(qRgb(0, 0, 0));
  eight.setColorTable(table);
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) {
      if (qAlpha(argb.pixel(x, y)) < 128) eight.setPixel(x, y, static_cast<uint>(clear));
    }
  }
  return eight;
}

// The banner is designed on a 259 x 76 grid; at scale 2 the whole drawing,
// pen widths and type included, is drawn at twice the size.
QImage BannerArt(int scale) {
  QImage img(259 * scale, 76 * scale, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(scale, scale);

  // A rounded night-blue panel; its cut corners stay see-through.
  QPainterPath panel;
  panel.addRoundedRect(QRectF(0.5, 0.5, 258, 75), 10, 10);
  QLinearGradient sky(0, 0, 0, 76);
  sky.setColorAt(0.0, QColor(18, 40, 86));
  sky.setColorAt(1.0, QColor(6, 16, 38));
  p.fillPath(panel, sky);
  p.setClipPath(panel);

  // Faint measuring grid.
  p.setPen(QPen(QColor(40, 90, 120), 1));
  for (int x = 12; x < 259; x += 16) p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, 76));
  for (int y = 8; y < 76; y += 12) p.drawLine(QPointF(0, y + 0.5), QPointF(259, y + 0.5));

  // The traffic curve, filled below and outlined in bright green.
  QPolygonF curve;
  for (int x = 0; x <= 259; ++x) curve << QPointF(x, 70 - 52 * Traffic(x / 259.0));
  QPolygonF area = curve;
  area << QPointF(259, 76) << QPointF(0, 76);
  QLinearGradient glow(0, 10, 0, 76);
  glow.setColorAt(0.0, QColor(60, 220, 120, 170));
  glow.setColorAt(1.0, QColor(20, 90, 60, 60));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawPolygon(area);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(120, 255, 150), 2));
  p.drawPolyline(curve);

  // Name plate.
  QFont name(QStringLiteral("DejaVu Sans"));
  name.setPixelSize(26);
  name.setBold(true);
  p.setFont(name);
  p.setPen(QColor(0, 0, 0, 140));
  p.drawText(QPointF(15, 35), QStringLiteral("Orvendel"));
  p.setPen(QColor(235, 245, 255));
  p.drawText(QPointF(13, 33), QStringLiteral("Orvendel"));
  QFont tag(QStringLiteral("DejaVu Sans"));
  tag.setPixelSize(10);
  p.setFont(tag);
  p.setPen(QColor(160, 210, 255));
  p.drawText(QPointF(15, 48), QStringLiteral("network traffic monitor"));

  // Down and up arrows at the right, green for received, orange for sent.
  auto arrow = [&](double cx, double top, bool down, QColor c) {
    QPolygonF a;
    if (down) {
      a << QPointF(cx - 4, top) << QPointF(cx + 4, top) << QPointF(cx + 4, top + 10)
        << QPointF(cx + 9, top + 10) << QPointF(cx, top + 20) << QPointF(cx - 9, top + 10)
        << QPointF(cx - 4, top + 10);
    } else {
      a << QPointF(cx - 4, top + 20) << QPointF(cx + 4, top + 20) << QPointF(cx + 4, top + 10)
        << QPointF(cx + 9, top + 10) << QPointF(cx, top) << QPointF(cx - 9, top + 10)
        << QPointF(cx - 4, top + 10);
    }
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(c);
    p.drawPolygon(a);
  };
  arrow(222, 10, true, QColor(90, 230, 120));
  arrow(243, 10, false, QColor(255, 170, 60));
  p.setClipping(false);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(90, 140, 200), 1));
  p.drawPath(panel);
  p.end();
  return img;
}

// The window's banner: 256 colours, with one see-through entry.
QImage Banner() { return ToIndexed(BannerArt(1)); }

// At scale 2 the banner keeps full colour and soft alpha edges, like the
// larger theme icons.
QImage Banner2x() { return BannerArt(2); }

// The icon is designed on a 32-unit square; larger sizes scale the whole
// drawing, pen widths included, so they show the same picture.
QImage IconArt(int size) {
  QImage img(size, size, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size / 32.0, size / 32.0);
  QPainterPath tile;
  tile.addRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  QLinearGradient g(0, 0, 0, 32);
  g.setColorAt(0.0, QColor(24, 56, 110));
  g.setColorAt(1.0, QColor(8, 20, 46));
  p.fillPath(tile, g);
  p.setClipPath(tile);
  p.setPen(QPen(QColor(40, 90, 120), 1));
  for (int x = 7; x < 32; x += 8) p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, 32));
  QPolygonF curve;
  for (int x = 0; x <= 32; ++x) curve << QPointF(x, 27 - 20 * Traffic(x / 32.0));
  p.setPen(QPen(QColor(120, 255, 150), 2.2));
  p.drawPolyline(curve);
  p.setClipping(false);
  p.setPen(QPen(QColor(120, 170, 230), 1));
  p.drawPath(tile);
  p.end();
  return img;
}

// The window's icon: 256 colours, like the banner.
QImage Icon() { return ToIndexed(IconArt(32)); }

// The desktop theme's other sizes (32 is the window's own icon) keep full
// colour and soft alpha edges; one transparent palette entry would leave
// the rounded corners jagged there.
constexpr int kThemeSizes[] = {16, 24, 48, 64, 128, 256};
// The sizes Windows shows beside those at 125 and 250 per cent (small icons
// at 20 and 40 pixels): the Windows icon file holds them too.
constexpr int kWindowsSizes[] = {20, 40};

bool Save(const QImage& img, const QString& path) {
  if (!img.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  if (img.colorCount() > 0) {
    std::printf("%s: %dx%d, %d colours\n", qPrintable(path), img.width(), img.height(),
                img.colorCount());
  } else {
    std::printf("%s: %dx%d, full colour\n", qPrintable(path), img.width(), img.height());
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);  // fonts need a GUI application
  const QString windowDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  const QString themeDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : windowDir;
  const QString windowsDir = argc > 3 ? QString::fromLocal8Bit(argv[3]) : themeDir;
  bool ok = Save(Banner(), windowDir + QStringLiteral("/banner.png")) &&
            Save(Banner2x(), windowDir + QStringLiteral("/banner@2x.png")) &&
            Save(Icon(), windowDir + QStringLiteral("/icon.png"));
  for (const int size : kThemeSizes) {
    ok = ok && Save(IconArt(size), themeDir + QStringLiteral("/orvendel-%1.png").arg(size));
  }
  for (const int size : kWindowsSizes) {
    ok = ok && Save(IconArt(size), windowsDir + QStringLiteral("/orvendel-%1.png").arg(size));
  }
  return ok ? 0 : 1;
}
