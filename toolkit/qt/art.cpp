#include "toolkit/qt/art.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QString>

namespace orv {
namespace {

QString ArtPath(const QString& file) { return QStringLiteral(":/art/") + file; }

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Left to detect the format, the image reader loads every image plugin to
// ask it; told the format, it uses its built-in reader.
QImage LoadPng(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

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
  QIcon icon;
  const QString base = Latin1(name);
  QStringList files{base + QStringLiteral(".png")};
  files += QDir(QStringLiteral(":/art")).entryList({base + QStringLiteral("-*.png")}, QDir::Files);
  for (const QString& file : files) {
    const QImage image = LoadPng(ArtPath(file));
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

}  // namespace orv
