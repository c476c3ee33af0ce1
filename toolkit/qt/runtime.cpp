#include "toolkit/qt/runtime.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "platform/error.h"
#include "toolkit/qt/text.h"

namespace orv::qt {

void DoEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::u16string GetSetting(std::u16string_view application, std::u16string_view section,
                          std::u16string_view key, std::u16string_view defaultValue) {
  const QString app = ToQString(application);
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, app, app);
  const QVariant value = store.value(ToQString(section) + QLatin1Char('/') + ToQString(key));
  if (!value.isValid()) return std::u16string(defaultValue);
  // The INI reader splits an unquoted value at its commas; the stored
  // text is what the user wrote, so put it back together.
  if (value.typeId() == QMetaType::QStringList) {
    return value.toStringList().join(QLatin1Char(',')).toStdU16String();
  }
  return value.toString().toStdU16String();
}

NumberLocale ToNumberLocale(const QLocale& locale) {
  NumberLocale result;
  result.decimal = locale.decimalPoint().toStdU16String();
  result.group = locale.groupSeparator().toStdU16String();
  // Qt names no date separator; take the first of the usual ones that the
  // short date pattern uses. Patterns with none (the C locale writes
  // "d MMM yyyy") keep the default slash rather than print a space.
  const QString pattern = locale.dateFormat(QLocale::ShortFormat);
  for (const QChar c : pattern) {
    if (c == QLatin1Char('/') || c == QLatin1Char('.') || c == QLatin1Char('-')) {
      result.date = QString(c).toStdU16String();
      break;
    }
  }
  return result;
}

void ReportUntrappedError(const std::exception& error) {
  const auto* own = dynamic_cast<const Error*>(&error);
  if (own != nullptr) {
    std::fprintf(stderr, "Run-time error %d: %s\n", static_cast<int>(own->code()), own->what());
  } else {
    std::fprintf(stderr, "Run-time error: %s\n", error.what());
  }
  std::fflush(stderr);
  std::_Exit(EXIT_FAILURE);
}

}  // namespace orv::qt
