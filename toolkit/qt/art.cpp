#include "toolkit/qt/art.h"

#include <QDir>
#include <QIconEngine>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QString>
#include <memory>
#include <vector>

#include "toolkit/qt/text.h"

namespace orv::qt {
namespace {

QString ArtPath(const QString& file) { return QStringLiteral(":/art/") + file; }

// Left to detect the format, the image reader loads every image plugin to
// ask it; told the format, it uses its built-in reader.
QImage LoadPng(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

QSize PngSize(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.size();
}

// An icon of PNG files of known sizes, each decoded only when a pixmap is
// asked for and not kept: Qt's own file icons keep what they decode and
// find the format by loading every image plugin.
class PngIconEngine : public QIconEngine {
 public:
  void Add(QSize size, const QString& path) {
    if (size.isValid()) m_files.push_back({size, path});
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    // The smallest drawing at least as large as asked, else the largest.
    const File* best = nullptr;
    for (const File& f : m_files) {
      if (f.size.width() >= size.width() &&
          (best == nullptr || f.size.width() < best->size.width())) {
        best = &f;
      }
    }
    for (const File& f : m_files) {
      if (best == nullptr ||
          (best->size.width() < size.width() && f.size.width() > best->size.width())) {
        best = &f;
      }
    }
    if (best == nullptr) return {};
    QPixmap pixmap = QPixmap::fromImage(LoadPng(best->path));
    // As Qt's icons do: reduced to the size asked, never enlarged.
    if (pixmap.width() > size.width() || pixmap.height() > size.height()) {
      pixmap = pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return pixmap;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (const File& f : m_files) sizes.push_back(f.size);
    return sizes;
  }

  QIconEngine* clone() const override { return new PngIconEngine(*this); }
  QString key() const override { return QStringLiteral("orvendel-png"); }

 private:
  struct File {
    QSize size;
    QString path;
  };
  std::vector<File> m_files;
};

}  // namespace

QPixmap LoadPicture(std::string_view name, qreal devicePixelRatio) {
  if (devicePixelRatio > 1.0) {
    QImage sharp = LoadPng(ArtPath(Latin1(name) + QStringLiteral("@2x.png")));
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2.0);
      return QPixmap::fromImage(sharp);
    }
  }
  return QPixmap::fromImage(LoadPng(ArtPath(Latin1(name) + QStringLiteral(".png"))));
}

QIcon LoadIcon(std::string_view name) {
  auto engine = std::make_unique<PngIconEngine>();
  const QString base = Latin1(name);
  const QString plain = ArtPath(base + QStringLiteral(".png"));
  engine->Add(PngSize(plain), plain);
  // Listed without a name filter: a filter would be matched by a regular
  // expression, whose library costs more memory than all the icons.
  const QString prefix = base + QStringLiteral("-");
  for (const QString& file : QDir(QStringLiteral(":/art")).entryList(QDir::Files)) {
    if (!file.startsWith(prefix) || !file.endsWith(QStringLiteral(".png"))) continue;
    bool isNumber = false;
    const int side = file.mid(prefix.size()).chopped(4).toInt(&isNumber);
    if (isNumber && side > 0) engine->Add(QSize(side, side), ArtPath(file));
  }
  return QIcon(engine.release());
}

}  // namespace orv::qt
