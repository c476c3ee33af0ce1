#pragma once

#include <string>
#include <string_view>

#include "platform/number_locale.h"

namespace orv {

// The number patterns the window writes its labels with.
inline constexpr std::u16string_view kPatternKB = u"###,###,###,###,##0 KB";
inline constexpr std::u16string_view kPatternKbPerSecond = u"###,###,###,###,#0.#0 Kb/S";
inline constexpr std::u16string_view kPatternGrouped2 = u"###,###,###,###,#0.#0";
inline constexpr std::u16string_view kPatternBytes = u"0 BS ";
inline constexpr std::u16string_view kPatternKBytes = u"0.#0 KBS ";

// Formats a number with one of the patterns above. Ties round half away
// from zero; two decimal places print in full ("12.50", "3.00").
// Error(InvalidCall) for any other pattern or a value that is not finite.
std::u16string Format(double value, std::u16string_view pattern, const NumberLocale& locale);

}  // namespace orv
