#include "toolkit/qt/text.h"

namespace orv::qt {

QString ToQString(std::u16string_view text) {
  // QChar is one UTF-16 code unit; this constructor copies without any
  // byte-order detection.
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace orv::qt
