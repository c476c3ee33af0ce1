#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "platform/number_locale.h"

namespace orv::win32 {

// Delivers what is waiting in this thread's message queue, a bounded number
// of messages, and returns. A quit request met on the way is put back for
// the main loop to see. Keys go through TranslateKeys (form.h), as in the main
// loop.
void DoEvents();

// The text of HKEY_CURRENT_USER\Software\<application>\<application>\<section>,
// value <key>; read only. A string value gives its text, a DWORD its
// decimal digits; a missing key or value, or any other type, the default.
std::u16string GetSetting(std::u16string_view application, std::u16string_view section,
                          std::u16string_view key, std::u16string_view defaultValue);

// The user's decimal, group and date separators.
NumberLocale UserNumberLocale();

// Writes the error to standard error and the debugger's output, then ends
// the process with a failure status. Nothing of the window is touched.
[[noreturn]] void ReportUntrappedError(const std::exception& error);

}  // namespace orv::win32
