#include "platform/format.h"

#include <cmath>
#include <cstddef>
#include <string>

#include "platform/error.h"
#include "platform/exact_decimal.h"

namespace orv {
namespace {

// What a pattern asks for. Only the five patterns of format.h are taken;
// each is read by the same rules so that they cannot drift apart.
struct Layout {
  bool grouped = false;        // "," between integer placeholders
  int min_int_digits = 1;      // "0"s before the point, never fewer than one
  int decimals = 0;            // placeholders after the point
  std::u16string_view suffix;  // literal text after the number
};

Layout ReadPattern(std::u16string_view pattern) {
  Layout layout;
  int zeros = 0;
  bool after_point = false;
  std::size_t i = 0;
  for (; i < pattern.size(); ++i) {
    char16_t c = pattern[i];
    if (c == u'#' || c == u'0') {
      if (after_point) {
        ++layout.decimals;
      } else if (c == u'0') {
        ++zeros;
      }
    } else if (c == u',' && !after_point) {
      layout.grouped = true;
    } else if (c == u'.' && !after_point) {
      after_point = true;
    } else {
      break;
    }
  }
  layout.min_int_digits = zeros > 1 ? zeros : 1;
  layout.suffix = pattern.substr(i);
  return layout;
}

bool IsKnownPattern(std::u16string_view pattern) {
  for (std::u16string_view known :
       {kPatternKB, kPatternKbPerSecond, kPatternGrouped2, kPatternBytes, kPatternKBytes}) {
    if (pattern == known) return true;
  }
  return false;
}

// Rounds to `decimals` places, a tie going away from zero. The tie is
// judged on the exact value of the double, not on its shortest text: 1.005
// is stored as 1.00499999999999989..., so it gives 1.00, while 0.125 is
// exact and gives 0.13. Returns all kept digits, the last `decimals` of
// them being the fraction.
std::string RoundAwayFromZero(const ExactDecimal& d, int decimals) {
  std::string digits = d.int_digits;
  std::string frac = d.frac_digits;
  frac.resize(static_cast<std::size_t>(decimals) + 1, '0');
  digits.append(frac, 0, static_cast<std::size_t>(decimals));
  if (frac[static_cast<std::size_t>(decimals)] >= '5') {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') {
      digits[--i] = '0';
    }
    if (i == 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[i - 1];
    }
  }
  return digits;
}

}  // namespace

std::u16string Format(double value, std::u16string_view pattern, const NumberLocale& locale) {
  if (!IsKnownPattern(pattern)) {
    throw Error(ErrorCode::InvalidCall, "unsupported number pattern");
  }
  if (!std::isfinite(value)) {
    throw Error(ErrorCode::InvalidCall, "number is not finite");
  }
  const Layout layout = ReadPattern(pattern);

  std::string digits = RoundAwayFromZero(ExactDigits(std::fabs(value)), layout.decimals);
  std::size_t int_len = digits.size() - static_cast<std::size_t>(layout.decimals);
  std::string_view int_part(digits.data(), int_len);
  std::string_view frac_part(digits.data() + int_len, static_cast<std::size_t>(layout.decimals));

  // Leading zeros go, down to the digits the pattern insists on.
  while (int_part.size() > static_cast<std::size_t>(layout.min_int_digits) &&
         int_part.front() == '0') {
    int_part.remove_prefix(1);
  }
  // A value that rounds to zero prints without a minus: never "-0.00".
  bool all_zero = digits.find_first_not_of('0') == std::string::npos;

  std::u16string out;
  out.reserve(int_part.size() * 4 / 3 + frac_part.size() + layout.suffix.size() + 8);
  if (std::signbit(value) && !all_zero) out += u'-';
  for (std::size_t i = 0; i < int_part.size(); ++i) {
    if (layout.grouped && i > 0 && (int_part.size() - i) % 3 == 0) out += locale.group;
    out += static_cast<char16_t>(int_part[i]);
  }
  if (layout.decimals > 0) {
    // Both places always print, so a whole value reads "3.00".
    out += locale.decimal;
    for (char c : frac_part) out += static_cast<char16_t>(c);
  }
  for (char16_t c : layout.suffix) {
    if (c == u'/') {
      out += locale.date;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace orv
