#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/harnesses.h"
#include "platform/convert.h"
#include "platform/error.h"
#include "platform/format.h"
#include "platform/number_locale.h"

namespace orv::fuzz {
namespace {

// The two ways the window's locale writes numbers.
const NumberLocale kPointLocale{u".", u",", u"/"};
const NumberLocale kCommaLocale{u",", u".", u"."};

struct PatternCase {
  std::u16string_view pattern;
  std::u16string_view suffix;  // literal text after the number, '/' as written
  int decimals;
};

constexpr PatternCase kPatterns[] = {
    {kPatternKB, u" KB", 0},     {kPatternKbPerSecond, u" Kb/S", 2}, {kPatternGrouped2, u"", 2},
    {kPatternBytes, u" BS ", 0}, {kPatternKBytes, u" KBS ", 2},
};

std::u16string Suffix(std::u16string_view suffix, const NumberLocale& locale) {
  std::u16string out;
  for (char16_t c : suffix) {
    if (c == u'/') {
      out += locale.date;
    } else {
      out += c;
    }
  }
  return out;
}

// Only orv::Error may leave a conversion; anything else escapes the catch
// and ends the run as a crash.
template <class Step>
bool Refused(Step&& step, std::initializer_list<ErrorCode> allowed) {
  try {
    step();
    return false;
  } catch (const Error& e) {
    bool known = false;
    for (ErrorCode code : allowed) known = known || e.code() == code;
    ORV_FUZZ_CHECK(known);
    return true;
  }
}

void FormatEveryPattern(double value, std::u16string_view text) {
  for (const NumberLocale* locale : {&kPointLocale, &kCommaLocale}) {
    for (const PatternCase& c : kPatterns) {
      std::u16string out;
      ORV_FUZZ_CHECK(!Refused([&] { out = Format(value, c.pattern, *locale); }, {}));
      const std::u16string suffix = Suffix(c.suffix, *locale);
      ORV_FUZZ_CHECK(out.size() > suffix.size());
      ORV_FUZZ_CHECK(out.compare(out.size() - suffix.size(), suffix.size(), suffix) == 0);
      const std::u16string number = out.substr(0, out.size() - suffix.size());
      // A minus only for a value that stays below zero after rounding.
      if (number.front() == u'-') ORV_FUZZ_CHECK(value < 0);

      // What Format writes, ParseNumber reads back: the value rounded to
      // the pattern's places, give or take the double nearest that text.
      double back = 0;
      ORV_FUZZ_CHECK(!Refused([&] { back = ParseNumber(number, *locale); }, {}));
      const double places = c.decimals == 0 ? 0.5 : 0.005;
      const double slack = places * (1 + 1e-9) + std::fabs(value) * 0x1p-51;
      ORV_FUZZ_CHECK(std::fabs(back - value) <= slack);
      if (c.decimals == 0) ORV_FUZZ_CHECK(back == std::round(value));
    }
  }
  // Any other pattern is refused, never guessed at.
  bool known = false;
  for (const PatternCase& c : kPatterns) known = known || text == c.pattern;
  if (!known) {
    ORV_FUZZ_CHECK(
        Refused([&] { (void)Format(value, text, kPointLocale); }, {ErrorCode::InvalidCall}));
  }
}

}  // namespace

NumbersOutcome RunNumbers(Bytes input) {
  const std::u16string text = TextFrom(input);
  NumbersOutcome outcome;
  std::vector<double> finite;

  double val = 0;
  if (!Refused([&] { val = Val(text); }, {ErrorCode::Overflow})) {
    ORV_FUZZ_CHECK(std::isfinite(val));
    outcome.valRead = true;
    finite.push_back(val);
  }

  for (const NumberLocale* locale : {&kPointLocale, &kCommaLocale}) {
    double parsed = 0;
    if (Refused([&] { parsed = ParseNumber(text, *locale); },
                {ErrorCode::TypeMismatch, ErrorCode::Overflow})) {
      continue;
    }
    ORV_FUZZ_CHECK(std::isfinite(parsed));
    ++outcome.parsedLocales;
    finite.push_back(parsed);
    // Without group separators a whole-text read in the point locale is
    // exactly what Val makes of the same text.
    if (locale == &kPointLocale && text.find(u',') == std::u16string::npos) {
      ORV_FUZZ_CHECK(outcome.valRead && parsed == val);
    }
  }

  if (input.size() >= sizeof(double)) {
    double raw = 0;
    std::memcpy(&raw, input.data(), sizeof raw);
    if (std::isfinite(raw)) finite.push_back(raw);
  }
  for (double value : finite) FormatEveryPattern(value, text);
  outcome.formattedValues = static_cast<int>(finite.size());
  return outcome;
}

}  // namespace orv::fuzz
