#include "iftable/linux/link_row.h"

#include <gtest/gtest.h>

#include <linux/if.h>
#include <linux/if_arp.h>
#include <string>

#include "platform/utf8.h"

namespace orv::linux_if {
namespace {

TEST(LinkRow, InterfaceTypeFromHardwareType) {
  struct Case {
    std::uint16_t arphrd;
    bool wireless;
    std::uint32_t type;
  };
  const Case cases[] = {
      {ARPHRD_ETHER, false, 6},
      {ARPHRD_ETHER, true, 71},
      {ARPHRD_LOOPBACK, false, 24},
      {ARPHRD_IEEE80211, false, 71},
      {ARPHRD_IEEE80211_PRISM, false, 71},
      {ARPHRD_IEEE80211_RADIOTAP, false, 71},
      {ARPHRD_PPP, false, 23},
      {ARPHRD_TUNNEL, false, 131},
      {ARPHRD_TUNNEL6, false, 131},
      {ARPHRD_SIT, false, 131},
      {ARPHRD_IPGRE, false, 131},
      {ARPHRD_IP6GRE, false, 131},
      {ARPHRD_NONE, false, 131},
      {ARPHRD_INFINIBAND, false, 1},
      {ARPHRD_CAN, false, 1},
      {ARPHRD_LOOPBACK, true, 24},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapIfType(c.arphrd, c.wireless), c.type) << c.arphrd << " " << c.wireless;
  }
}

TEST(LinkRow, OperationalStatusFromStateAndCarrier) {
  struct Case {
    std::uint8_t state;
    bool adminUp;
    bool carrier;
    std::uint32_t status;
  };
  const Case cases[] = {
      {kOperUp, true, true, 5},
      {kOperDormant, true, true, 3},
      {kOperDown, true, false, 2},
      {kOperLowerLayerDown, true, false, 2},
      {kOperNotPresent, true, false, 0},
      {kOperTesting, true, true, 0},
      {kOperUnknown, true, true, 5},
      {kOperUnknown, true, false, 2},
      {kOperUnknown, false, true, 2},
      {kOperUnknown, false, false, 2},
      {42, true, true, 5},
      {42, true, false, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapOperStatus(c.state, c.adminUp, c.carrier), c.status)
        << int(c.state) << " " << c.adminUp << " " << c.carrier;
  }
}

TEST(LinkRow, CarrierAttributeWinsOverLowerUpFlag) {
  LinkInfo l;
  l.name = "x";
  l.flags = IFF_UP | IFF_LOWER_UP;
  EXPECT_EQ(ToIfRow(l, {}).operStatus, 5u);
  l.carrier = false;
  EXPECT_EQ(ToIfRow(l, {}).operStatus, 2u);
  l.flags = IFF_UP;
  l.carrier = true;
  EXPECT_EQ(ToIfRow(l, {}).operStatus, 5u);
  l.flags = 0;
  EXPECT_EQ(ToIfRow(l, {}).adminStatus, 2u);
}

TEST(LinkRow, CountersAreTheLow32BitsAndUnicastNeverWraps) {
  LinkInfo l;
  l.name = "x";
  LinkStats s;
  s.rxBytes = (1ull << 32) + 17;
  s.txBytes = 0xFFFFFFFFull;
  s.rxPackets = 10;
  s.multicast = 25;  // a driver that counts multicast apart from packets
  s.txPackets = (5ull << 32) + 3;
  s.rxDropped = 4;
  s.txDropped = 5;
  s.rxErrors = 6;
  s.txErrors = 7;
  s.rxNoHandler = 8;
  l.stats = s;
  const IfRow r = ToIfRow(l, {});
  EXPECT_EQ(r.counters.inOctets, 17u);
  EXPECT_EQ(r.counters.outOctets, 0xFFFFFFFFu);
  EXPECT_EQ(r.counters.inUcastPkts, 0u);
  EXPECT_EQ(r.counters.inNUcastPkts, 25u);
  EXPECT_EQ(r.counters.outUcastPkts, 3u);
  EXPECT_EQ(r.counters.outNUcastPkts, 0u);
  EXPECT_EQ(r.counters.inDiscards, 4u);
  EXPECT_EQ(r.counters.outDiscards, 5u);
  EXPECT_EQ(r.counters.inErrors, 6u);
  EXPECT_EQ(r.counters.outErrors, 7u);
  EXPECT_EQ(r.counters.inUnknownProtos, 8u);

  l.stats->rxPackets = 100;
  EXPECT_EQ(ToIfRow(l, {}).counters.inUcastPkts, 75u);
}

TEST(LinkRow, DescriptionIsAliasOrNameCutOnACharacterBoundary) {
  LinkInfo l;
  l.name = "eth0";
  EXPECT_EQ(ToIfRow(l, {}).descr, "eth0");
  l.alias = std::string(255, 'a') + "\xC3\xA9";  // 257 bytes, é split at 256
  EXPECT_EQ(ToIfRow(l, {}).descr, std::string(255, 'a'));
  l.alias = std::string(256, 'b') + "c";
  EXPECT_EQ(ToIfRow(l, {}).descr, std::string(256, 'b'));
}

// The row's name is decoded here and its description by the table's
// reader; a kernel name that is not UTF-8 must read the same in both.
TEST(LinkRow, NameAndDescriptionDecodeAlike) {
  struct Case {
    const char* what;
    std::string in;
    std::u16string out;
  };
  const Case cases[] = {
      {"ascii", "eth0", u"eth0"},
      {"two bytes", "w\xC3\xA9", u"w\u00E9"},
      {"four bytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"stray continuation",
       "a\x80"
       "b",
       u"a\uFFFD"
       "b"},
      {"cut then ascii", "\xE2\x82z", u"\uFFFDz"},
      {"overlong", "\xE0\x80\x80x", u"\uFFFD\uFFFD\uFFFDx"},
      {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"beyond unicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead",
       "\xFF"
       "x",
       u"\uFFFDx"},
  };
  for (const auto& c : cases) {
    LinkInfo l;
    l.name = c.in;
    const IfRow row = ToIfRow(l, {});
    EXPECT_EQ(row.name, c.out) << c.what;
    EXPECT_EQ(DecodeUtf8(row.descr), row.name) << c.what;
  }
}

TEST(LinkRow, SpeedFromSysfsText) {
  struct Case {
    const char* text;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {"1000\n", 1000000000u},
      {"10\n", 10000000u},
      {"4294\n", 4294000000u},
      {"4295\n", 4294967295u},
      {"100000\n", 4294967295u},
      {"-1\n", 0},
      {"", 0},
      {"abc\n", 0},
      {"12x\n", 0},
      {"99999999999999999999999\n", 4294967295u},
      {"0\n", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSpeedMbps(c.text), c.bits) << c.text;
}

TEST(LinkRow, DriverSpeedGivesWhatSysfsWouldPrint) {
  // The driver's u32, and the text sysfs makes of it with %d.
  const std::uint32_t cases[] = {0,      10,         1000,       4294,      4295,
                                 100000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF /* SPEED_UNKNOWN */};
  for (const std::uint32_t mbps : cases) {
    const std::string printed = std::to_string(static_cast<std::int32_t>(mbps)) + "\n";
    EXPECT_EQ(SpeedFromMbps(mbps), ParseSpeedMbps(printed)) << mbps;
  }
}

}  // namespace
}  // namespace orv::linux_if
