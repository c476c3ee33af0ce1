#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace orv {
namespace {

struct DecodeCase {
  const char* what;
  std::vector<std::uint8_t> bytes;
  std::u16string expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.what; }

class DecodeUtf8Test : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUtf8Test, ReplacesEachMaximalSubpartOnce) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(DecodeUtf8(c.bytes), c.expected);
  const std::string text(c.bytes.begin(), c.bytes.end());
  EXPECT_EQ(DecodeUtf8(std::string_view(text)), c.expected);
}

constexpr char16_t R = u'\uFFFD';

// The ill-formed cases are those of Unicode's chapter 3 ("U+FFFD
// substitution of maximal subparts") and the WHATWG Encoding standard.
INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeUtf8Test,
    testing::Values(
        DecodeCase{"Empty", {}, u""}, DecodeCase{"Ascii", {'e', 't', 'h', '0'}, u"eth0"},
        DecodeCase{"ZeroBytesAreCharacters", {0, 'a', 0}, std::u16string(u"\0a\0", 3)},
        DecodeCase{"TwoByte", {0xC3, 0xA9}, u"\u00E9"},
        DecodeCase{"ThreeByte", {0xE2, 0x82, 0xAC}, u"\u20AC"},
        DecodeCase{"LowestThreeByte", {0xE0, 0xA0, 0x80}, u"\u0800"},
        DecodeCase{"LastBeforeSurrogates", {0xED, 0x9F, 0xBF}, u"\uD7FF"},
        DecodeCase{"FourByteIsASurrogatePair", {0xF0, 0x9F, 0x98, 0x80}, u"\U0001F600"},
        DecodeCase{"HighestCodePoint", {0xF4, 0x8F, 0xBF, 0xBF}, u"\U0010FFFF"},
        DecodeCase{"LoneContinuation", {'a', 0x80, 'b'}, {u'a', R, u'b'}},
        DecodeCase{"TwoContinuations", {0x80, 0xBF}, {R, R}},
        DecodeCase{"OverlongTwoByte", {0xC0, 0x80}, {R, R}},
        DecodeCase{"OverlongSlash", {0xC1, 0xAF}, {R, R}},
        DecodeCase{"OverlongThreeByte", {0xE0, 0x80, 0x80}, {R, R, R}},
        DecodeCase{"OverlongThreeByteThenAscii", {0xE0, 0x80, 0x80, 'x'}, {R, R, R, u'x'}},
        DecodeCase{"OverlongFourByte", {0xF0, 0x80, 0x80, 0xAF}, {R, R, R, R}},
        DecodeCase{"Surrogate", {0xED, 0xA0, 0x80}, {R, R, R}},
        DecodeCase{"LastSurrogate", {0xED, 0xBF, 0xBF}, {R, R, R}},
        DecodeCase{"AboveMaximum", {0xF4, 0x90, 0x80, 0x80}, {R, R, R, R}},
        DecodeCase{"LeadAboveF4", {0xF5, 0x80, 0x80, 0x80}, {R, R, R, R}},
        DecodeCase{"FiveByteForm", {0xF8, 0x88, 0x80, 0x80, 0x80}, {R, R, R, R, R}},
        DecodeCase{"InvalidLeadBytes", {0xF5, 0xFE, 0xFF}, {R, R, R}},
        DecodeCase{"CutTwoByte", {0xC3}, {R}},
        DecodeCase{"CutAtTheEnd", {'a', 0xE2, 0x82}, {u'a', R}},
        DecodeCase{"CutFourByteAfterTwo", {0xF0, 0x9F}, {R}},
        DecodeCase{"CutBeforeAscii", {0xF0, 0x9F, 0x98, 'x'}, {R, u'x'}},
        DecodeCase{"CutBeforeNewSequence", {0xE2, 0xC3, 0xA9}, {R, u'\u00E9'}},
        DecodeCase{"UnicodeTable3_8",
                   {0x61, 0xF1, 0x80, 0x80, 0xE1, 0x80, 0xC2, 0x62, 0x80, 0x63, 0x80, 0xBF, 0x64},
                   {u'a', R, R, R, u'b', R, u'c', R, R, u'd'}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace orv
