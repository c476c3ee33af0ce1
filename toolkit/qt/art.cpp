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
  // Files added with their size are decoded only when a size is asked for:
  // decoding all seven up front would hold their pixels for the whole run.
  QIcon icon;
  const QString base = Latin1(name);
  const QString plain = ArtPath(base + QStringLiteral(".png"));
  icon.addFile(plain, QImageReader(plain, "png").size());
  const QString prefix = base + QStringLiteral("-");
  for (const QString& file :
       QDir(QStringLiteral(":/art")).entryList({prefix + QStringLiteral("*.png")}, QDir::Files)) {
    bool isNumber = false;
    const int side = file.mid(prefix.size()).chopped(4).toInt(&isNumber);
    if (isNumber && side > 0) icon.addFile(ArtPath(file), QSize(side, side));
  }
  return icon;
}

}  // namespace orv
