#include "platform/exact_decimal.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace orv {
namespace {

// Expansions printed by an arbitrary-precision decimal library.
TEST(ExactDigits, KnownExpansions) {
  struct Case {
    double value;
    const char* whole;
    const char* fraction;
  };
  const Case cases[] = {
      {0.0, "0", ""},
      {0.125, "0", "125"},
      {1.005, "1", "00499999999999989341858963598497211933135986328125"},
      {0.1, "0", "1000000000000000055511151231257827021181583404541015625"},
      {123456789012.345, "123456789012", "345001220703125"},
      {9007199254740992.0, "9007199254740992", ""},
      {1e20, "100000000000000000000", ""},
  };
  for (const Case& c : cases) {
    const ExactDecimal d = ExactDigits(c.value);
    EXPECT_EQ(d.int_digits, c.whole) << c.value;
    EXPECT_EQ(d.frac_digits, c.fraction) << c.value;
  }
}

// The ends of the range: the largest doubles' 309 integer digits, the
// smallest normal's 1022 places and the smallest subnormal's 1074.
TEST(ExactDigits, TheRangesEnds) {
  struct Case {
    double value;
    std::size_t wholeDigits, places, leadingZeros;
    const char* head;  // of the integer digits, or after the fraction's zeros
    const char* tail;
  };
  const Case cases[] = {
      {1e308, 309, 0, 0, "1000000000000000010979063629440455417404",
       "5291802893207873272974885715430223118336"},
      {std::numeric_limits<double>::max(), 309, 0, 0, "1797693134862315708145274237317043567980",
       "8738177180919299881250404026184124858368"},
      {std::numeric_limits<double>::min(), 1, 1022, 307, "22250738585072013830902327173324040642",
       "8678315290680984617210924625396728515625"},
      {std::numeric_limits<double>::denorm_min(), 1, 1074, 323,
       "49406564584124654417656879286822137236", "4565229087538682506419718265533447265625"},
  };
  for (const Case& c : cases) {
    const ExactDecimal d = ExactDigits(c.value);
    SCOPED_TRACE(c.value);
    EXPECT_EQ(d.int_digits.size(), c.wholeDigits);
    EXPECT_EQ(d.frac_digits.size(), c.places);
    const std::string& tailOf = c.places > 0 ? d.frac_digits : d.int_digits;
    const std::string headOf = c.places > 0 ? d.frac_digits.substr(c.leadingZeros) : d.int_digits;
    EXPECT_EQ(headOf.substr(0, std::strlen(c.head)), c.head);
    EXPECT_EQ(tailOf.substr(tailOf.size() - std::strlen(c.tail)), c.tail);
    if (c.places > 0) {
      EXPECT_EQ(d.frac_digits.find_first_not_of('0'), c.leadingZeros);
    }
  }
}

// Against the standard library's exact fixed conversion, over doubles of
// every exponent.
TEST(ExactDigits, MatchesTheLibrarysFixedConversion) {
  std::mt19937_64 bits(20261209);
  std::array<char, 1500> buffer;
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t pattern = bits() & 0x7FFF'FFFF'FFFF'FFFFull;  // no sign
    double value = 0;
    std::memcpy(&value, &pattern, sizeof value);
    if (!std::isfinite(value)) continue;
    const ExactDecimal d = ExactDigits(value);
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                      static_cast<int>(d.frac_digits.size()));
    ASSERT_EQ(ec, std::errc());
    std::string expected(buffer.data(), end);
    std::string got = d.int_digits;
    if (!d.frac_digits.empty()) got += "." + d.frac_digits;
    ASSERT_EQ(got, expected) << "bits " << std::hex << pattern;
  }
}

}  // namespace
}  // namespace orv
