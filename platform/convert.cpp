#include "platform/convert.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

#include "platform/error.h"
#include "platform/exact_decimal.h"

namespace orv {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsExponentLetter(char16_t c) { return c == u'E' || c == u'e' || c == u'D' || c == u'd'; }

// A number gathered from a text as plain ASCII: "-", digits, at most one
// ".", then an exponent kept apart as a saturated integer. Decimal
// separators and the "D" exponent letter of the text are already
// normalised, so the conversion below never sees the C locale.
struct Scanned {
  std::string mantissa;  // optional "-", digits with an optional "."
  long long exponent = 0;
  bool has_digits = false;
};

// Reads the exponent digits starting at `pos`, saturating far beyond any
// double exponent so that a thousand-digit exponent cannot wrap.
long long SaturatedExponent(std::u16string_view text, std::size_t& pos, bool negative) {
  constexpr long long kCap = 1'000'000'000;
  long long value = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    if (value < kCap) value = value * 10 + (text[pos] - u'0');
    ++pos;
  }
  return negative ? -value : value;
}

// Order of magnitude of mantissa·10^exponent, used only to tell overflow
// from underflow when the conversion reports the value out of range.
long long DecimalOrder(const Scanned& s) {
  long long order = 0;
  bool seen_point = false;
  long long int_digits = 0;
  long long leading_fraction_zeros = 0;
  for (char c : s.mantissa) {
    if (c == '-') continue;
    if (c == '.') {
      seen_point = true;
      continue;
    }
    if (!seen_point) {
      if (int_digits > 0 || c != '0') ++int_digits;
    } else if (int_digits == 0) {
      if (c != '0') break;
      ++leading_fraction_zeros;
    }
  }
  order = int_digits > 0 ? int_digits - 1 : -(leading_fraction_zeros + 1);
  return order + s.exponent;
}

double Convert(const Scanned& s) {
  std::string ascii = s.mantissa;
  if (s.exponent != 0) {
    ascii += 'e';
    ascii += std::to_string(s.exponent);
  }
  double value = 0;
  const char* first = ascii.data();
  const char* last = first + ascii.size();
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // A value too small to represent is simply zero; too large is the
    // overflow the callers report.
    if (DecimalOrder(s) < 0) return 0.0;
    throw Error(ErrorCode::Overflow, "number out of range: " + ascii.substr(0, 40));
  }
  if (ec != std::errc() || ptr != last) {
    throw Error(ErrorCode::TypeMismatch, "not a number: " + ascii.substr(0, 40));
  }
  // "-0" and a negative underflow are plain zero to every caller.
  return value == 0 ? 0.0 : value;
}

// What std::to_string prints for a whole double ("%f": every integer digit,
// then six zeros), without the printf family, which would otherwise be
// linked into the Windows program for this message alone.
std::string WholeNumberText(double whole) {
  const ExactDecimal digits = ExactDigits(std::fabs(whole));
  return (std::signbit(whole) ? "-" : "") + digits.int_digits + ".000000";
}

// `value` is a whole number here: it has been rounded.
void CheckRange(double value, double lo, double hi) {
  if (!(value >= lo && value <= hi)) {  // also false for NaN
    throw Error(ErrorCode::Overflow, "value out of integer range: " + WholeNumberText(value));
  }
}

// Round half to even without depending on the floating-point environment's
// rounding mode. value - floor(value) is exact for every finite double.
double RoundHalfEven(double value) {
  double lower = std::floor(value);
  double fraction = value - lower;
  if (fraction > 0.5) return lower + 1;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

template <class Int>
Int ToInteger(double value) {
  if (!std::isfinite(value)) {
    throw Error(ErrorCode::Overflow, "value not finite");
  }
  double rounded = RoundHalfEven(value);
  CheckRange(rounded, static_cast<double>(std::numeric_limits<Int>::min()),
             static_cast<double>(std::numeric_limits<Int>::max()));
  return static_cast<Int>(rounded);
}

// An optional sign; only a minus is kept.
void ReadSign(std::u16string_view text, std::size_t& pos, Scanned& s) {
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    if (text[pos] == u'-') s.mantissa += '-';
    ++pos;
  }
}

[[noreturn]] void NotANumber() { throw Error(ErrorCode::TypeMismatch, "text is not a number"); }

bool SeparatorAt(std::u16string_view text, std::size_t pos, const std::u16string& sep) {
  return !sep.empty() && text.substr(pos, sep.size()) == sep;
}

// The integer part. Group separators stand only where Format puts them: a
// first group of one to three digits, then groups of exactly three. So
// "12.35" in a locale that groups with "." is refused rather than read as
// 1235.
void ReadGroupedInteger(std::u16string_view text, std::size_t& pos, const NumberLocale& locale,
                        Scanned& s) {
  bool grouped = false;
  int group_digits = 0;
  while (pos < text.size()) {
    if (IsDigit(text[pos])) {
      s.mantissa += static_cast<char>(text[pos]);
      s.has_digits = true;
      ++group_digits;
      ++pos;
    } else if (!SeparatorAt(text, pos, locale.decimal) && SeparatorAt(text, pos, locale.group)) {
      bool fits = grouped ? group_digits == 3 : group_digits >= 1 && group_digits <= 3;
      if (!fits) NotANumber();
      grouped = true;
      group_digits = 0;
      pos += locale.group.size();
    } else {
      break;
    }
  }
  if (grouped && group_digits != 3) NotANumber();
}

void ReadFraction(std::u16string_view text, std::size_t& pos, const NumberLocale& locale,
                  Scanned& s) {
  if (!SeparatorAt(text, pos, locale.decimal)) return;
  s.mantissa += '.';
  pos += locale.decimal.size();
  while (pos < text.size() && IsDigit(text[pos])) {
    s.mantissa += static_cast<char>(text[pos]);
    s.has_digits = true;
    ++pos;
  }
}

// An exponent letter must be followed by digits, after an optional sign.
void ReadExponent(std::u16string_view text, std::size_t& pos, Scanned& s) {
  if (pos >= text.size() || !IsExponentLetter(text[pos])) return;
  ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  if (pos >= text.size() || !IsDigit(text[pos])) NotANumber();
  s.exponent = SaturatedExponent(text, pos, negative);
}

}  // namespace

std::int16_t ToInt16(double value) { return ToInteger<std::int16_t>(value); }
std::int32_t ToInt32(double value) { return ToInteger<std::int32_t>(value); }

double Int(double value) { return std::floor(value); }

double Val(std::u16string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;

  Scanned s;
  ReadSign(text, pos, s);
  bool seen_point = false;
  for (; pos < text.size(); ++pos) {
    char16_t c = text[pos];
    if (IsDigit(c)) {
      s.mantissa += static_cast<char>(c);
      s.has_digits = true;
    } else if (c == u'.' && !seen_point) {
      s.mantissa += '.';
      seen_point = true;
    } else {
      break;
    }
  }
  if (!s.has_digits) return 0.0;

  // An exponent letter counts only when digits follow it (after an
  // optional sign); otherwise reading stops before the letter.
  if (pos < text.size() && IsExponentLetter(text[pos])) {
    std::size_t e = pos + 1;
    bool negative = false;
    if (e < text.size() && (text[e] == u'+' || text[e] == u'-')) {
      negative = text[e] == u'-';
      ++e;
    }
    if (e < text.size() && IsDigit(text[e])) {
      s.exponent = SaturatedExponent(text, e, negative);
    }
  }
  return Convert(s);
}

double ParseNumber(std::u16string_view text, const NumberLocale& locale) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  text = text.substr(0, end);

  Scanned s;
  std::size_t pos = begin;
  ReadSign(text, pos, s);
  ReadGroupedInteger(text, pos, locale, s);
  ReadFraction(text, pos, locale, s);
  if (!s.has_digits) NotANumber();
  ReadExponent(text, pos, s);
  if (pos != text.size()) NotANumber();
  return Convert(s);
}

}  // namespace orv
