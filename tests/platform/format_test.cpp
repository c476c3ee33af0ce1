#include "platform/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <string>
#include <vector>

#include "platform/convert.h"
#include "platform/error.h"
#include "test_locales.h"

namespace orv {
namespace {

using testing_locales::kEnglish;
using testing_locales::kGerman;

std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

struct Case {
  double value;
  std::u16string_view pattern;
  std::u16string english;
  std::u16string german;
};

TEST(Format, PatternsInBothPinnedLocales) {
  const std::vector<Case> cases = {
      // Whole-number patterns round half away from zero.
      {0, kPatternKB, u"0 KB", u"0 KB"},
      {0.5, kPatternKB, u"1 KB", u"1 KB"},
      {2.5, kPatternKB, u"3 KB", u"3 KB"},
      {-2.5, kPatternKB, u"-3 KB", u"-3 KB"},
      {0.49999999999999994, kPatternKB, u"0 KB", u"0 KB"},
      {999.5, kPatternKB, u"1,000 KB", u"1.000 KB"},
      {1023.0 / 1024, kPatternKB, u"1 KB", u"1 KB"},
      {1234567890.0 / 1024, kPatternKB, u"1,205,633 KB", u"1.205.633 KB"},
      {2147483648.0, kPatternKB, u"2,147,483,648 KB", u"2.147.483.648 KB"},
      {-2147483648.0 / 1024, kPatternKB, u"-2,097,152 KB", u"-2.097.152 KB"},
      {123456, kPatternKB, u"123,456 KB", u"123.456 KB"},
      {-0.4, kPatternKB, u"0 KB", u"0 KB"},
      {-0.0, kPatternKB, u"0 KB", u"0 KB"},
      // Two places, both always printed.
      {0, kPatternKbPerSecond, u"0.00 Kb/S", u"0,00 Kb.S"},
      {12650.0 / 1024, kPatternKbPerSecond, u"12.35 Kb/S", u"12,35 Kb.S"},
      {12.5, kPatternKbPerSecond, u"12.50 Kb/S", u"12,50 Kb.S"},
      {1.05, kPatternKbPerSecond, u"1.05 Kb/S", u"1,05 Kb.S"},
      {12.349, kPatternKbPerSecond, u"12.35 Kb/S", u"12,35 Kb.S"},
      {3, kPatternKbPerSecond, u"3.00 Kb/S", u"3,00 Kb.S"},
      {1234567.891, kPatternKbPerSecond, u"1,234,567.89 Kb/S", u"1.234.567,89 Kb.S"},
      {-0.004, kPatternKbPerSecond, u"0.00 Kb/S", u"0,00 Kb.S"},
      {-0.005, kPatternKbPerSecond, u"-0.01 Kb/S", u"-0,01 Kb.S"},
      // Ties are judged on the double's exact value: 0.005 and 1.005 are
      // stored a little below the tie, 0.125 and 2.675... exactly or above.
      {0.005, kPatternGrouped2, u"0.01", u"0,01"},
      {1.005, kPatternGrouped2, u"1.00", u"1,00"},
      {0.125, kPatternGrouped2, u"0.13", u"0,13"},
      {-0.125, kPatternGrouped2, u"-0.13", u"-0,13"},
      {0.375, kPatternGrouped2, u"0.38", u"0,38"},
      {2.675, kPatternGrouped2, u"2.67", u"2,67"},
      {0.9999, kPatternGrouped2, u"1.00", u"1,00"},
      {999.995, kPatternGrouped2, u"1,000.00", u"1.000,00"},
      {999999.999, kPatternGrouped2, u"1,000,000.00", u"1.000.000,00"},
      {1e-300, kPatternGrouped2, u"0.00", u"0,00"},
      {1234567890.0 / 1024, kPatternGrouped2, u"1,205,632.71", u"1.205.632,71"},
      // Ungrouped patterns.
      {512, kPatternBytes, u"512 BS ", u"512 BS "},
      {1023, kPatternBytes, u"1023 BS ", u"1023 BS "},
      {-4096, kPatternBytes, u"-4096 BS ", u"-4096 BS "},
      {0, kPatternBytes, u"0 BS ", u"0 BS "},
      {1234567, kPatternBytes, u"1234567 BS ", u"1234567 BS "},
      {1024.0 / 1024, kPatternKBytes, u"1.00 KBS ", u"1,00 KBS "},
      {1700.0 / 1024, kPatternKBytes, u"1.66 KBS ", u"1,66 KBS "},
      {2147483647.0 / 1024, kPatternKBytes, u"2097152.00 KBS ", u"2097152,00 KBS "},
      {-4096.0 / 1024, kPatternKBytes, u"-4.00 KBS ", u"-4,00 KBS "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.value << " with \""
                                    << Narrow(std::u16string(c.pattern)) << "\"");
    EXPECT_EQ(Narrow(Format(c.value, c.pattern, kEnglish)), Narrow(c.english));
    EXPECT_EQ(Narrow(Format(c.value, c.pattern, kGerman)), Narrow(c.german));
  }
}

// Placeholders never limit the digits, however large the value.
TEST(Format, LargeValuesPrintEveryIntegerDigit) {
  EXPECT_EQ(Format(9007199254740992.0, kPatternKB, kEnglish), u"9,007,199,254,740,992 KB");
  EXPECT_EQ(Format(9007199254740993.0 * 4, kPatternBytes, kEnglish), u"36028797018963968 BS ");
  EXPECT_EQ(Format(1e20, kPatternGrouped2, kEnglish), u"100,000,000,000,000,000,000.00");
  std::u16string max = Format(std::numeric_limits<double>::max(), kPatternBytes, kEnglish);
  EXPECT_EQ(max.size(), 309u + 4u);
  EXPECT_EQ(max.substr(0, 6), u"179769");
  std::u16string grouped = Format(-std::numeric_limits<double>::max(), kPatternKB, kEnglish);
  EXPECT_EQ(grouped.size(), 1u + 309u + 102u + 3u);
  EXPECT_EQ(grouped.substr(0, 9), u"-179,769,");
}

TEST(Format, MultiCharacterSeparatorsAreCopiedWhole) {
  const NumberLocale odd{u"<dec>", u"\u00A0", u"\u2215"};
  EXPECT_EQ(Format(1234567.5, kPatternKbPerSecond, odd), u"1\u00A0234\u00A0567<dec>50 Kb\u2215S");
}

TEST(Format, RefusesOtherPatternsAndNonFiniteValues) {
  const std::u16string_view bad_patterns[] = {
      u"", u"0", u"#,##0", u"0.00", u"0 KB", u"0.#0 KBS", u"###,###,###,###,##0 KB "};
  for (auto p : bad_patterns) {
    SCOPED_TRACE(Narrow(std::u16string(p)));
    try {
      Format(1, p, kEnglish);
      ADD_FAILURE() << "pattern accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), ErrorCode::InvalidCall);
    }
  }
  for (double v :
       {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    try {
      Format(v, kPatternKB, kEnglish);
      ADD_FAILURE() << "non-finite value accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), ErrorCode::InvalidCall);
    }
  }
}

// The tick formats its average, reads the text back and rounds it down:
// every output must read back as the two-place value it shows.
TEST(Format, GroupedTwoPlaceTextReadsBack) {
  const double values[] = {0,
                           0.005,
                           1.005,
                           12.5,
                           12.349,
                           -4096,
                           1023.9 / 1024,
                           2600.0 / 1024,
                           1234567890.0 / 1024,
                           2147483648.0,
                           -0.004,
                           999999.995,
                           123456789012.345,
                           9007199254740992.0,
                           1e20,
                           -1e15 - 0.25};
  for (const NumberLocale* locale : {&kEnglish, &kGerman, &testing_locales::kSpaces}) {
    for (double v : values) {
      std::u16string text = Format(v, kPatternGrouped2, *locale);
      SCOPED_TRACE(testing::Message() << std::setprecision(17) << v << " -> " << Narrow(text));
      double back = ParseNumber(text, *locale);
      // The text has two places, so it is within half a hundredth of the value.
      EXPECT_LE(std::fabs(back - v), 0.005 + std::fabs(v) * 1e-15);
      EXPECT_EQ(Format(back, kPatternGrouped2, *locale), text);
    }
  }
  EXPECT_EQ(Int(ParseNumber(Format(1023.9 / 1024, kPatternGrouped2, kGerman), kGerman)) + 5, 6);
  EXPECT_EQ(Int(ParseNumber(Format(2600.0 / 1024, kPatternGrouped2, kEnglish), kEnglish)) + 5, 7);
}

}  // namespace
}  // namespace orv
