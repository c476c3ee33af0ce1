#pragma once

#include <QLocale>
#include <QString>
#include <exception>
#include <string>
#include <string_view>

#include "platform/number_locale.h"

namespace orv::qt {

// Delivers the pending events (paint, input, timers) and returns.
void DoEvents();

// The stored text of a per-user setting, or the default when it is
// missing. Stored in the platform's native per-user store under the
// organisation and application name given (an INI file on Linux).
std::u16string GetSetting(std::u16string_view application, std::u16string_view section,
                          std::u16string_view key, std::u16string_view defaultValue);

// The separators a Qt locale writes numbers with.
NumberLocale ToNumberLocale(const QLocale& locale);

// The report of an error that no step contained: written to standard
// error, then the program ends with a failure status.
[[noreturn]] void ReportUntrappedError(const std::exception& error);

}  // namespace orv::qt
