// The statistics dump and the link notifications, byte by byte.
#include <gtest/gtest.h>
#include <linux/if.h>

#include <cerrno>
#include <climits>

#include "iftable/linux/netlink_parse.h"
#include "tests/iftable/linux/netlink_msg.h"

namespace orv::linux_if {
namespace {

using test::kPort;
using test::kSeq;
using test::Msg;

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<std::uint64_t> Words(std::size_t n, std::uint64_t base) {
  std::vector<std::uint64_t> w(n);
  for (std::size_t i = 0; i < n; ++i) w[i] = base + i;
  return w;
}

Msg Stats(std::uint32_t index, std::size_t words, std::uint64_t base) {
  Msg m(RTM_NEWSTATS);
  const auto w = Words(words, base);
  m.StatsHead(index).Attr(IFLA_STATS_LINK_64, w.data(), w.size() * 8);
  return m;
}

std::vector<std::uint8_t> Done() { return Msg(NLMSG_DONE).I32(0).Bytes(); }

// ---- statistics dump --------------------------------------------------------

TEST(StatsDump, CountersOfEveryLinkInReplyOrder) {
  StatsDumpParser parser(kSeq, kPort);
  // rtnl_link_stats64 has grown over the years: 23 words (with
  // rx_nohandler), 24 on newer kernels; both must read the same way.
  const auto d1 = Join({Stats(5, 24, 100).Bytes(), Stats(1, 23, 200).Bytes()});
  ASSERT_EQ(parser.Feed(d1), DumpProgress::More);
  Msg bare(RTM_NEWSTATS);
  bare.StatsHead(9);  // no counters sent for this one
  ASSERT_EQ(parser.Feed(Join({bare.Bytes(), Done()})), DumpProgress::Done);

  const auto& e = parser.entries();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].index, 5u);
  ASSERT_TRUE(e[0].stats.has_value());
  EXPECT_EQ(e[0].stats->rxPackets, 100u);
  EXPECT_EQ(e[0].stats->rxBytes, 102u);
  EXPECT_EQ(e[0].stats->txBytes, 103u);
  EXPECT_EQ(e[0].stats->multicast, 108u);
  EXPECT_EQ(e[0].stats->rxNoHandler, 122u);
  EXPECT_EQ(e[1].index, 1u);
  EXPECT_EQ(e[1].stats->rxNoHandler, 222u);
  EXPECT_EQ(e[2].index, 9u);
  EXPECT_FALSE(e[2].stats.has_value());
}

TEST(StatsDump, DamagedRepliesAreMalformed) {
  const std::uint64_t eight[8] = {};
  const std::uint64_t nine[9] = {};
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"head shorter than if_stats_msg", Msg(RTM_NEWSTATS).I32(1).Bytes()},
      {"index 0", Msg(RTM_NEWSTATS).StatsHead(0).Bytes()},
      {"index past the int range", Msg(RTM_NEWSTATS).StatsHead(0x80000000u).Bytes()},
      {"counters that stop before multicast",
       Msg(RTM_NEWSTATS).StatsHead(2).Attr(IFLA_STATS_LINK_64, eight, sizeof eight).Bytes()},
      {"attribute longer than the message",
       Msg(RTM_NEWSTATS)
           .StatsHead(2)
           .AttrWithLen(IFLA_STATS_LINK_64, nine, sizeof nine, 200)
           .Bytes()},
      {"attribute length below its header",
       Msg(RTM_NEWSTATS)
           .StatsHead(2)
           .AttrWithLen(IFLA_STATS_LINK_64, nine, sizeof nine, 3)
           .Bytes()},
      {"a stray half attribute", Msg(RTM_NEWSTATS).StatsHead(2).Raw("\x08\x00", 2).Bytes()},
      {"message longer than the datagram", Stats(2, 24, 0).Len(400).Bytes()},
      {"message length below its header", Stats(2, 24, 0).Len(8).Bytes()},
  };
  for (const auto& c : cases) {
    StatsDumpParser parser(kSeq, kPort);
    EXPECT_EQ(parser.Feed(c.bytes), DumpProgress::Malformed) << c.what;
    EXPECT_TRUE(parser.entries().empty()) << c.what;
  }
}

TEST(StatsDump, OtherAttributesAndFlagBitsAreReadRight) {
  const auto w = Words(24, 10);
  const std::uint32_t other = 77;
  StatsDumpParser parser(kSeq, kPort);
  const auto bytes = Msg(RTM_NEWSTATS)
                         .StatsHead(3)
                         .Attr(IFLA_STATS_LINK_XSTATS | NLA_F_NESTED, &other, sizeof other)
                         // The byte-order flag bit set on the type itself must not hide it.
                         .Attr(IFLA_STATS_LINK_64 | NLA_F_NET_BYTEORDER, w.data(), w.size() * 8)
                         .Bytes();
  ASSERT_EQ(parser.Feed(Join({bytes, Done()})), DumpProgress::Done);
  ASSERT_EQ(parser.entries().size(), 1u);
  ASSERT_TRUE(parser.entries()[0].stats.has_value());
  EXPECT_EQ(parser.entries()[0].stats->rxBytes, 12u);
}

TEST(StatsDump, ForeignAnswersKernelErrorsAndInterruptions) {
  {
    StatsDumpParser parser(kSeq, kPort);
    const auto d = Join({Stats(1, 24, 0).Seq(kSeq + 1).Bytes(), Stats(2, 24, 0).Port(1).Bytes(),
                         Msg(NLMSG_DONE).I32(0).Seq(99).Bytes(), Stats(3, 24, 0).Bytes(), Done()});
    ASSERT_EQ(parser.Feed(d), DumpProgress::Done);
    ASSERT_EQ(parser.entries().size(), 1u);
    EXPECT_EQ(parser.entries()[0].index, 3u);
  }
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int err;
  };
  const Case errors[] = {
      {"done with an error", Msg(NLMSG_DONE).I32(-EOPNOTSUPP).Bytes(), EOPNOTSUPP},
      {"error message", Msg(NLMSG_ERROR).I32(-EPERM).Bytes(), EPERM},
      {"error of INT_MIN", Msg(NLMSG_ERROR).I32(INT_MIN).Bytes(), EINVAL},
      {"overrun", Msg(NLMSG_OVERRUN).I32(0).Bytes(), ENOBUFS},
  };
  for (const auto& c : errors) {
    StatsDumpParser parser(kSeq, kPort);
    EXPECT_EQ(parser.Feed(c.bytes), DumpProgress::KernelError) << c.what;
    EXPECT_EQ(parser.kernelError(), c.err) << c.what;
    EXPECT_EQ(parser.Feed(Done()), DumpProgress::KernelError) << c.what;
  }
  StatsDumpParser parser(kSeq, kPort);
  Msg intr(RTM_NEWSTATS, NLM_F_MULTI | NLM_F_DUMP_INTR);
  const auto w = Words(24, 0);
  intr.StatsHead(4).Attr(IFLA_STATS_LINK_64, w.data(), w.size() * 8);
  ASSERT_EQ(parser.Feed(Join({intr.Bytes(), Done()})), DumpProgress::Done);
  EXPECT_TRUE(parser.interrupted());
}

// ---- link notifications -----------------------------------------------------

Msg NewLink(std::int32_t index, const std::string& name, std::uint8_t family = AF_UNSPEC) {
  Msg m(RTM_NEWLINK, 0);
  m.Info(index, ARPHRD_ETHER, IFF_UP, family).Str(IFLA_IFNAME, name).U32(IFLA_MTU, 1400);
  // Whoever made the change: the kernel copies the requester's numbers.
  m.Seq(1234).Port(5678);
  return m;
}

TEST(LinkEvents, NewAndDeletedLinksInOneDatagram) {
  Msg del(RTM_DELLINK, 0);
  del.Info(3).Str(IFLA_IFNAME, "gone");
  Msg addr(RTM_NEWADDR, 0);
  addr.I32(0).I32(0);
  std::vector<LinkEvent> events;
  ASSERT_TRUE(ParseLinkEvents(
      Join({NewLink(7, "v1").Bytes(), addr.Bytes(), del.Bytes(), NewLink(8, "v2").Bytes()}),
      events));
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, LinkEvent::Kind::New);
  EXPECT_EQ(events[0].link.index, 7u);
  EXPECT_EQ(events[0].link.name, "v1");
  EXPECT_EQ(events[0].link.mtu, 1400u);
  EXPECT_EQ(events[0].link.flags, static_cast<std::uint32_t>(IFF_UP));
  EXPECT_EQ(events[1].kind, LinkEvent::Kind::Deleted);
  EXPECT_EQ(events[1].link.index, 3u);
  EXPECT_EQ(events[2].link.name, "v2");
}

TEST(LinkEvents, BridgePortReportsAreNoLinkChange) {
  // A port joining or leaving a bridge is announced with AF_BRIDGE; a
  // delete of that kind must not take the link out of the table.
  Msg del(RTM_DELLINK, 0);
  del.Info(3, ARPHRD_ETHER, 0, AF_BRIDGE).Str(IFLA_IFNAME, "port");
  std::vector<LinkEvent> events;
  ASSERT_TRUE(ParseLinkEvents(Join({NewLink(3, "port", AF_BRIDGE).Bytes(), del.Bytes()}), events));
  EXPECT_TRUE(events.empty());
}

TEST(LinkEvents, DamagedOrLostStreamsAreRefused) {
  Msg shortInfo(RTM_NEWLINK, 0);
  shortInfo.I32(0);
  Msg delNoIndex(RTM_DELLINK, 0);
  delNoIndex.Info(0);
  Msg noName(RTM_NEWLINK, 0);
  noName.Info(4).U32(IFLA_MTU, 1500);
  Msg badAttr(RTM_NEWLINK, 0);
  badAttr.Info(4).Str(IFLA_IFNAME, "x").AttrWithLen(IFLA_MTU, "\0\0\0\0", 4, 100);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"ifinfomsg cut short", shortInfo.Bytes()},
      {"delete without an index", delNoIndex.Bytes()},
      {"link without a name", noName.Bytes()},
      {"attribute past the message", badAttr.Bytes()},
      {"kernel error in the stream", Msg(NLMSG_ERROR).I32(-ENOBUFS).Bytes()},
      {"overrun", Msg(NLMSG_OVERRUN).I32(0).Bytes()},
      {"message longer than the datagram", NewLink(2, "a").Len(500).Bytes()},
      {"half a header", std::vector<std::uint8_t>(8, 0)},
  };
  for (const auto& c : cases) {
    std::vector<LinkEvent> events;
    // A good event before the damage does not make the datagram good.
    EXPECT_FALSE(ParseLinkEvents(Join({NewLink(1, "ok").Bytes(), c.bytes}), events)) << c.what;
  }
}

}  // namespace
}  // namespace orv::linux_if
