#include "platform/convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/exact_decimal.h"
#include "test_locales.h"

namespace orv {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

template <class F>
void ExpectError(ErrorCode code, F&& f) {
  try {
    f();
    ADD_FAILURE() << "no error thrown";
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), code) << e.what();
  }
}

struct IntCase {
  double in;
  std::optional<std::int32_t> out;  // nullopt: Overflow
};

TEST(ToInt16, NearestWithHalvesToEvenAndRangeLimits) {
  const IntCase cases[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {3.5, 4},
      {-0.5, 0},
      {-1.5, -2},
      {-2.5, -2},
      {0.49999999999999994, 0},
      {0.5000000000000001, 1},
      {2.4, 2},
      {2.6, 3},
      {-2.6, -3},
      {32767.0, 32767},
      {32767.49, 32767},
      {32767.5, std::nullopt},
      {32768.0, std::nullopt},
      {-32768.0, -32768},
      {-32768.5, -32768},
      {-32768.51, std::nullopt},
      {-32769.0, std::nullopt},
      {1e300, std::nullopt},
      {kInf, std::nullopt},
      {-kInf, std::nullopt},
      {kNaN, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.in);
    if (c.out) {
      EXPECT_EQ(ToInt16(c.in), *c.out);
    } else {
      ExpectError(ErrorCode::Overflow, [&] { ToInt16(c.in); });
    }
  }
}

TEST(ToInt32, NearestWithHalvesToEvenAndRangeLimits) {
  const IntCase cases[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {-0.5, 0},
      {-1.5, -2},
      {2147483647.0, 2147483647},
      {2147483647.4, 2147483647},
      {2147483647.5, std::nullopt},
      {2147483648.0, std::nullopt},
      {-2147483648.0, std::numeric_limits<std::int32_t>::min()},
      {-2147483648.5, std::numeric_limits<std::int32_t>::min()},
      {-2147483649.5, std::nullopt},
      {4294967295.0, std::nullopt},
      {kInf, std::nullopt},
      {kNaN, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.in);
    if (c.out) {
      EXPECT_EQ(ToInt32(c.in), *c.out);
    } else {
      ExpectError(ErrorCode::Overflow, [&] { ToInt32(c.in); });
    }
  }
}

// The message names the rounded value as std::to_string prints a double;
// it is built without printf, so each digit of it is checked here.
TEST(ToInt32, OverflowNamesTheRoundedValue) {
  const double cases[] = {2147483647.5, -2147483649.5, 4294967295.0, 1e300,
                          -1.7976931348623157e308};
  for (double in : cases) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << in);
    try {
      ToInt32(in);
      ADD_FAILURE() << "no error thrown";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()),
                "value out of integer range: " + std::to_string(std::nearbyint(in)));
    }
  }
}

TEST(Int, RoundsDownTowardsMinusInfinity) {
  const struct {
    double in, out;
  } cases[] = {{0, 0},   {2.99, 2},   {-0.5, -1},   {-2, -2},
               {1.0, 1}, {0.9999, 0}, {1e17, 1e17}, {-1e-300, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Int(c.in), c.out) << c.in;
  }
}

TEST(Val, ReadsTheNumberAtTheStartOfTheText) {
  const struct {
    std::u16string in;
    double out;
  } cases[] = {
      {u"", 0},
      {u" 12abc", 12},
      {u"\t\r\n 7", 7},
      {u"-1.5e2x", -150},
      {u"+2.5", 2.5},
      {u"1e", 1},
      {u"1e+", 1},
      {u"1E-", 1},
      {u"2d3", 2000},
      {u"2D-1", 0.2},
      {u"3e+2", 300},
      {u".5", 0.5},
      {u"-.5", -0.5},
      {u"5.", 5},
      {u"1.2.3", 1.2},
      {u"abc", 0},
      {u"+", 0},
      {u"-", 0},
      {u".", 0},
      {u".e5", 0},
      {u"e5", 0},
      {u"- 5", 0},
      {u"1 2", 1},
      {u"12,345", 12},
      {u"0x1A", 0},
      {u"1e-400", 0},
      {u"-0", 0},
      {u"007", 7},
      {u"1.7976931348623157e308", 1.7976931348623157e308},
      {u"\u0661\u0662", 0},  // non-ASCII digits are not digits here
      {u"\uFF11", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.in.begin(), c.in.end()));
    EXPECT_EQ(Val(c.in), c.out);
  }
  EXPECT_FALSE(std::signbit(Val(u"-0")));
}

TEST(Val, ExponentBeyondTheDoubleRangeOverflows) {
  for (std::u16string in :
       {u"1e309", u"-1e309", u"1e99999999999999999999", u"1.8e308", u"0.1e310"}) {
    SCOPED_TRACE(std::string(in.begin(), in.end()));
    ExpectError(ErrorCode::Overflow, [&] { Val(in); });
  }
  EXPECT_EQ(Val(u"0e999999"), 0);
  EXPECT_EQ(Val(u"1e-99999999999999999999"), 0);
}

TEST(Val, MegabyteLongDigitStrings) {
  constexpr std::size_t kLen = 1 << 20;
  // A million nines is far beyond the double range.
  std::u16string nines(kLen, u'9');
  ExpectError(ErrorCode::Overflow, [&] { Val(nines); });
  // Leading zeros do not count towards the magnitude.
  std::u16string zeros(kLen, u'0');
  EXPECT_EQ(Val(zeros + u"1.5x"), 1.5);
  EXPECT_EQ(Val(u"0." + zeros + u"1"), 0);
  // The exponent brings the long mantissa back into range.
  EXPECT_DOUBLE_EQ(Val(u"1" + zeros + u"e-1048570"), 1e6);
}

// The exact decimal text of (a + b) / 2: both at one scale, summed, halved.
// One place more than either has keeps the halving exact.
std::string MidpointText(double a, double b) {
  const ExactDecimal x = ExactDigits(a);
  const ExactDecimal y = ExactDigits(b);
  const std::size_t places = std::max(x.frac_digits.size(), y.frac_digits.size()) + 1;
  auto scaled = [places](const ExactDecimal& d) {
    return d.int_digits + d.frac_digits + std::string(places - d.frac_digits.size(), '0');
  };
  std::string p = scaled(x);
  std::string q = scaled(y);
  const std::size_t n = std::max(p.size(), q.size()) + 1;
  p.insert(0, n - p.size(), '0');
  q.insert(0, n - q.size(), '0');
  std::string sum(n, '0');
  int carry = 0;
  for (std::size_t i = n; i-- > 0;) {
    const int v = (p[i] - '0') + (q[i] - '0') + carry;
    sum[i] = static_cast<char>('0' + v % 10);
    carry = v / 10;
  }
  std::string half(n, '0');
  int rest = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int v = rest * 10 + (sum[i] - '0');
    half[i] = static_cast<char>('0' + v / 2);
    rest = v % 2;
  }
  return half + "e-" + std::to_string(places);
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Every digit counts where a number lies on the boundary between two
// doubles: the exact midpoint goes to the even one, a trace above or below
// it to the nearer one, also beyond the 800th digit.
TEST(Val, RoundsBoundariesBetweenDoublesCorrectly) {
  std::mt19937_64 random(18);
  std::vector<std::uint64_t> patterns = {0, 1, 0x000FFFFFFFFFFFFF, 0x0010000000000000};
  for (int i = 0; i < 200; ++i) patterns.push_back(random() % 0x7FEFFFFFFFFFFFFF);
  for (std::uint64_t bits : patterns) {
    const double low = std::bit_cast<double>(bits);
    const double high = std::bit_cast<double>(bits + 1);
    const double even = bits % 2 == 0 ? low : high;
    const std::string mid = MidpointText(low, high);
    const std::size_t e = mid.find('e');
    const std::string digits = mid.substr(0, e);
    const long long places = std::stoll(mid.substr(e + 2));
    // The midpoint less a trace: its last nonzero digit one less, then nines.
    const std::size_t last = digits.find_last_not_of('0');
    const std::string below =
        digits.substr(0, last) + static_cast<char>(digits[last] - 1) + std::string(900, '9');
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << low);
    EXPECT_EQ(Val(Wide(mid)), even);
    EXPECT_EQ(Val(Wide(digits + std::string(900, '0') + "e-" + std::to_string(places + 900))),
              even);
    EXPECT_EQ(Val(Wide(digits + "1e-" + std::to_string(places + 1))), high);
    EXPECT_EQ(Val(Wide(digits + std::string(900, '0') + "1e-" + std::to_string(places + 901))),
              high);
    const long long below_places =
        places + static_cast<long long>(below.size()) - static_cast<long long>(digits.size());
    EXPECT_EQ(Val(Wide(below + "e-" + std::to_string(below_places))), low);
  }
}

TEST(ParseNumber, AcceptsGroupedNumbersOfEitherLocale) {
  const struct {
    const NumberLocale& locale;
    std::u16string in;
    double out;
  } cases[] = {
      {testing_locales::kEnglish, u"1,205,632.75", 1205632.75},
      {testing_locales::kEnglish, u"  -12.35\t", -12.35},
      {testing_locales::kEnglish, u"+0.00", 0},
      {testing_locales::kEnglish, u"1234", 1234},
      {testing_locales::kEnglish, u"1,234", 1234},
      {testing_locales::kEnglish, u"999,999,999,999,999", 999999999999999},
      {testing_locales::kEnglish, u".5", 0.5},
      {testing_locales::kEnglish, u"5.", 5},
      {testing_locales::kEnglish, u"1.5e3", 1500},
      {testing_locales::kEnglish, u"1.5E-1", 0.15},
      {testing_locales::kGerman, u"1.205.632,75", 1205632.75},
      {testing_locales::kGerman, u"0,99", 0.99},
      {testing_locales::kGerman, u"-4.096,00", -4096},
      {testing_locales::kSpaces, u"1\u00A0234\u00A0567,5", 1234567.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.in.begin(), c.in.end()));
    EXPECT_DOUBLE_EQ(ParseNumber(c.in, c.locale), c.out);
  }
}

TEST(ParseNumber, RejectsTextThatIsNotAWholeNumber) {
  const struct {
    const NumberLocale& locale;
    std::u16string in;
  } cases[] = {
      {testing_locales::kEnglish, u""},
      {testing_locales::kEnglish, u"   "},
      {testing_locales::kEnglish, u"-"},
      {testing_locales::kEnglish, u"."},
      {testing_locales::kEnglish, u"12abc"},
      {testing_locales::kEnglish, u"abc"},
      {testing_locales::kEnglish, u"1.2.3"},
      {testing_locales::kEnglish, u",123"},
      {testing_locales::kEnglish, u"123,"},
      {testing_locales::kEnglish, u"1,,234"},
      {testing_locales::kEnglish, u"1.234,5"},
      {testing_locales::kEnglish, u"1 234"},
      {testing_locales::kEnglish, u"1e"},
      {testing_locales::kEnglish, u"1e+"},
      {testing_locales::kEnglish, u"--1"},
      {testing_locales::kEnglish, u"12.35 Kb/S"},
      {testing_locales::kGerman, u"1,205,632.75"},
      {testing_locales::kGerman, u"12.35"},  // a misplaced group, not 1235
      {testing_locales::kEnglish, u"1,2,3"},
      {testing_locales::kEnglish, u"1234,567"},
      {testing_locales::kEnglish, u"1,234,56"},
      {testing_locales::kEnglish, u"1,2345"},
      {testing_locales::kEnglish, u"1,234e5,000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.in.begin(), c.in.end()));
    ExpectError(ErrorCode::TypeMismatch, [&] { ParseNumber(c.in, c.locale); });
  }
}

TEST(ParseNumber, OutOfRangeOverflows) {
  ExpectError(ErrorCode::Overflow, [] { ParseNumber(u"1e309", testing_locales::kEnglish); });
  ExpectError(ErrorCode::Overflow,
              [] { ParseNumber(u"-" + std::u16string(400, u'9'), testing_locales::kEnglish); });
  EXPECT_EQ(ParseNumber(u"1e-400", testing_locales::kEnglish), 0);
}

}  // namespace
}  // namespace orv
