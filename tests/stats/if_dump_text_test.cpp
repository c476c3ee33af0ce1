#include "tools/if_dump_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace orv::ifdump {
namespace {

struct Utf8Case {
  const char* what;
  std::u16string text;
  std::string utf8;
  std::string printable;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.what; }

class IfDumpText : public testing::TestWithParam<Utf8Case> {};

TEST_P(IfDumpText, ConvertsUtf16ToUtf8) {
  const Utf8Case& c = GetParam();
  EXPECT_EQ(ToUtf8(c.text), c.utf8);
  EXPECT_EQ(Printable(c.text), c.printable);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IfDumpText,
    testing::Values(
        Utf8Case{"Empty", u"", "", ""}, Utf8Case{"Ascii", u"eth0", "eth0", "eth0"},
        Utf8Case{"TwoByte", u"\u00E9", "\xC3\xA9", "\xC3\xA9"},
        Utf8Case{"ThreeByte", u"\u7F51", "\xE7\xBD\x91", "\xE7\xBD\x91"},
        Utf8Case{"SurrogatePair", u"\U0001F600", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        Utf8Case{"LoneHighSurrogate",
                 {char16_t(0xD83D), u'a'},
                 "\xEF\xBF\xBD"
                 "a",
                 "\xEF\xBF\xBD"
                 "a"},
        Utf8Case{"LoneLowSurrogate", {char16_t(0xDE00)}, "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
        Utf8Case{"HighSurrogateAtEnd", {u'a', char16_t(0xD83D)}, "a\xEF\xBF\xBD", "a\xEF\xBF\xBD"},
        Utf8Case{"ZeroAndControls",
                 {u'a', 0, u'\n', u'\\'},
                 std::string("a\0\n\\", 4),
                 "a\\x00\\x0A\\\\"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(IfDumpText, RecordLineShowsCountersUnsigned) {
  CInterface r;
  r.InterfaceIndex(3);
  r.InterfaceType(6);
  r.OperationalStatus(5);
  r.AdminStatus(1);
  r.MaximumTransmissionUnit(1500);
  r.Speed(-1);
  r.AdapterAddress(u"00-0C-29-3A-4B-05");
  r.OctetsReceived(INT32_MIN);
  r.OctetsSent(-1);
  r.InterfaceName(u"eth0");
  r.InterfaceDescription(std::u16string(u"NIC\0", 4));
  EXPECT_EQ(FormatRecord(2, r),
            "#2 index 3 type 6 oper 5 admin 1 mtu 1500 speed 4294967295 address 00-0C-29-3A-4B-05 "
            "in 2147483648 out 4294967295 name \"eth0\" description \"NIC\\x00\"");
}

TEST(IfDumpText, EmptyAddressIsADash) {
  CInterface r;
  EXPECT_NE(FormatRecord(1, r).find(" address - "), std::string::npos) << FormatRecord(1, r);
}

TEST(IfDumpText, TotalsShowSignedAndUnsigned) {
  EXPECT_EQ(FormatTotals(-2147483648.0, 12.0),
            "total received -2147483648 (2147483648) sent 12 (12)");
  EXPECT_EQ(FormatTotals(-1.0, 0.0), "total received -1 (4294967295) sent 0 (0)");
}

}  // namespace
}  // namespace orv::ifdump
