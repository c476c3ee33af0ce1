#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "stats/cinterface.h"

namespace orv::ifdump {

// UTF-16 as UTF-8 for the console; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Like ToUtf8, but control characters (a description may hold zero
// characters) and the backslash are written as escapes, so every record
// stays on one line and a bug report shows exactly what the table held.
std::string Printable(std::u16string_view text);

// One record on one line. Counters and speed are shown as the unsigned
// values the table carried, not as the record's signed reinterpretation.
std::string FormatRecord(std::int32_t position, const CInterface& record);

// The reader's two totals, with their unsigned 32-bit reading.
std::string FormatTotals(double bytesReceived, double bytesSent);

}  // namespace orv::ifdump
