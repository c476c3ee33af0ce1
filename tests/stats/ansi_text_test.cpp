#include "stats/ansi_text.h"

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

class DecodeAnsiTextTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeAnsiTextTest, DecodesUtf8ReplacingEachBrokenPartOnce) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(DecodeAnsiText(c.bytes), c.expected);
}

constexpr char16_t R = u'\uFFFD';

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeAnsiTextTest,
    testing::Values(
        DecodeCase{"Empty", {}, u""},
        DecodeCase{"Ascii", {'e', 't', 'h', '0'}, u"eth0"},
        DecodeCase{"ZeroBytesAreCharacters", {0, 'a', 0}, std::u16string(u"\0a\0", 3)},
        DecodeCase{"TwoByte", {0xC3, 0xA9}, u"\u00E9"},
        DecodeCase{"ThreeByte", {0xE2, 0x82, 0xAC}, u"\u20AC"},
        DecodeCase{"FourByteIsASurrogatePair", {0xF0, 0x9F, 0x98, 0x80}, u"\U0001F600"},
        DecodeCase{"HighestCodePoint", {0xF4, 0x8F, 0xBF, 0xBF}, u"\U0010FFFF"},
        DecodeCase{"LoneContinuation", {'a', 0x80, 'b'}, {u'a', R, u'b'}},
        DecodeCase{"OverlongTwoByte", {0xC0, 0x80}, {R, R}},
        DecodeCase{"OverlongThreeByte", {0xE0, 0x80, 0x80}, {R, R, R}},
        DecodeCase{"Surrogate", {0xED, 0xA0, 0x80}, {R, R, R}},
        DecodeCase{"AboveMaximum", {0xF4, 0x90, 0x80, 0x80}, {R, R, R, R}},
        DecodeCase{"InvalidLeadBytes", {0xF5, 0xFE, 0xFF}, {R, R, R}},
        DecodeCase{"CutAtTheEnd", {'a', 0xE2, 0x82}, {u'a', R}},
        DecodeCase{"CutBeforeAscii", {0xF0, 0x9F, 0x98, 'x'}, {R, u'x'}},
        DecodeCase{"CutBeforeNewSequence", {0xE2, 0xC3, 0xA9}, {R, u'\u00E9'}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace orv
