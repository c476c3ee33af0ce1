#pragma once

#include <string>

namespace orv {

// The exact decimal digits of a finite, non-negative double. A double is
// m * 2^k with an integer m below 2^53, so its value has finitely many
// decimal places (at most 1074, for the smallest subnormal): every digit
// is kept, nothing is rounded.
struct ExactDecimal {
  std::string int_digits;   // no sign, at least "0"
  std::string frac_digits;  // no trailing zeros; empty for a whole number
};

ExactDecimal ExactDigits(double magnitude);

}  // namespace orv
