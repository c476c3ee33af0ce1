#pragma once

#include <cstdint>
#include <string_view>

#include "platform/number_locale.h"

// Number conversions of the runtime.
namespace orv {

// Nearest integer, a half going to the even neighbour; Error(Overflow)
// when out of range or not finite.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// Largest integer not above the value.
double Int(double value);

// The number at the start of a text: blanks, an optional sign, digits with
// at most one decimal point, an optional exponent. Reading stops at the
// first character that does not fit; a text with no number gives 0. An
// exponent beyond the double range gives Error(Overflow).
double Val(std::u16string_view text);

// Reads a whole text as a number, accepting the locale's group and
// decimal separators (as Format writes them). Error(TypeMismatch) when the
// text is not a number, Error(Overflow) when it is out of range.
double ParseNumber(std::u16string_view text, const NumberLocale& locale);

}  // namespace orv
