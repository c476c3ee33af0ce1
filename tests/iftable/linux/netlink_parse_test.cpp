#include "iftable/linux/netlink_parse.h"

#include <gtest/gtest.h>
#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstring>
#include <map>

#include "tests/iftable/linux/fixture.h"
#include "tests/iftable/linux/netlink_msg.h"

namespace orv::linux_if {
namespace {

using test::kPort;
using test::kSeq;
using test::Msg;

Msg Link(std::int32_t index, const std::string& name) {
  Msg m;
  m.Info(index).Str(IFLA_IFNAME, name);
  return m;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<std::uint8_t> Payload(const Msg& m) {
  auto b = m.Bytes();
  return {b.begin() + sizeof(nlmsghdr), b.end()};
}

std::vector<std::uint8_t> Done() { return Msg(NLMSG_DONE).I32(0).Bytes(); }

std::vector<std::uint64_t> Stats(std::size_t words) {
  std::vector<std::uint64_t> s(words);
  for (std::size_t i = 0; i < words; ++i) s[i] = 1000 + i;
  return s;
}

// ---- recorded replies ------------------------------------------------------

struct Parsed {
  DumpProgress progress = DumpProgress::More;
  std::vector<DumpProgress> steps;
  std::vector<LinkInfo> links;
};

Parsed FeedAll(const NetlinkFixture& f) {
  LinkDumpParser parser(f.seq, f.port);
  Parsed out;
  for (const auto& d : f.datagrams) {
    out.progress = parser.Feed(d);
    out.steps.push_back(out.progress);
  }
  out.links = parser.entries();
  return out;
}

const LinkInfo* ByName(const std::vector<LinkInfo>& links, const std::string& name) {
  for (const auto& l : links) {
    if (l.name == name) return &l;
  }
  return nullptr;
}

TEST(NetlinkFixture, SmallNamespaceGivesEveryLinkWithItsSettings) {
  const Parsed p = FeedAll(LoadNetlinkFixture("links_small.hex"));
  ASSERT_EQ(p.progress, DumpProgress::Done);
  ASSERT_EQ(p.links.size(), 6u);

  const LinkInfo* lo = ByName(p.links, "lo");
  ASSERT_NE(lo, nullptr);
  EXPECT_EQ(lo->index, 1u);
  EXPECT_EQ(lo->arphrdType, ARPHRD_LOOPBACK);
  EXPECT_EQ(lo->mtu, 65536u);
  EXPECT_EQ(ToIfRow(*lo, {}).type, 24u);
  EXPECT_EQ(ToIfRow(*lo, {}).adminStatus, 1u);
  EXPECT_EQ(ToIfRow(*lo, {}).operStatus, 5u);

  const LinkInfo* veth0 = ByName(p.links, "veth0");
  ASSERT_NE(veth0, nullptr);
  EXPECT_EQ(veth0->mtu, 1400u);
  EXPECT_EQ(veth0->alias, "uplink \xC3\xA9");
  ASSERT_EQ(veth0->addrLen, 6u);
  const std::array<std::uint8_t, 8> mac0{2, 0, 0, 0, 0, 1, 0, 0};
  EXPECT_EQ(veth0->addr, mac0);
  EXPECT_TRUE(veth0->stats.has_value());
  const IfRow row0 = ToIfRow(*veth0, {});
  EXPECT_EQ(row0.type, 6u);
  EXPECT_EQ(row0.descr, "uplink \xC3\xA9");
  EXPECT_EQ(row0.name, u"veth0");

  const LinkInfo* veth1 = ByName(p.links, "veth1");
  ASSERT_NE(veth1, nullptr);
  EXPECT_EQ(veth1->addr[5], 2);
  EXPECT_EQ(veth1->alias, "");
  EXPECT_EQ(ToIfRow(*veth1, {}).descr, "veth1");

  const LinkInfo* vx0 = ByName(p.links, "vx0");
  ASSERT_NE(vx0, nullptr);
  EXPECT_EQ(vx0->txQueueLen, 77u);
  EXPECT_EQ(ToIfRow(*vx0, {}).outQLen, 77u);
  EXPECT_EQ(ToIfRow(*vx0, {}).adminStatus, 2u);
  EXPECT_EQ(ToIfRow(*vx0, {}).operStatus, 2u);

  const LinkInfo* tun0 = ByName(p.links, "tun0");
  ASSERT_NE(tun0, nullptr);
  EXPECT_EQ(tun0->arphrdType, ARPHRD_NONE);
  EXPECT_EQ(tun0->addrLen, 0u);
  EXPECT_EQ(ToIfRow(*tun0, {}).type, 131u);
}

TEST(NetlinkFixture, ReplyOverSeveralDatagramsIsDoneOnlyAtTheEnd) {
  const NetlinkFixture f = LoadNetlinkFixture("links_many.hex");
  ASSERT_GE(f.datagrams.size(), 3u);
  const Parsed p = FeedAll(f);
  for (std::size_t i = 0; i + 1 < p.steps.size(); ++i) EXPECT_EQ(p.steps[i], DumpProgress::More);
  ASSERT_EQ(p.progress, DumpProgress::Done);
  ASSERT_EQ(p.links.size(), 25u);
  std::map<std::uint32_t, std::string> byIndex;
  for (const auto& l : p.links) EXPECT_TRUE(byIndex.emplace(l.index, l.name).second) << l.name;
  for (int i = 1; i <= 12; ++i) {
    EXPECT_NE(ByName(p.links, "a" + std::to_string(i)), nullptr) << i;
    EXPECT_NE(ByName(p.links, "b" + std::to_string(i)), nullptr) << i;
  }
}

TEST(NetlinkFixture, AnswersToAnotherRequestArePassedOver) {
  const NetlinkFixture f = LoadNetlinkFixture("links_small.hex");
  for (const auto& [seq, port] : {std::pair{f.seq + 1, f.port}, std::pair{f.seq, f.port + 1}}) {
    LinkDumpParser parser(seq, port);
    for (const auto& d : f.datagrams) EXPECT_EQ(parser.Feed(d), DumpProgress::More);
    EXPECT_TRUE(parser.entries().empty());
  }
}

// Every cut of a recorded datagram inside a message must be refused,
// never read past (this also runs under the address sanitizer).
TEST(NetlinkFixture, EveryTruncationOfARecordedDatagramIsMalformed) {
  const NetlinkFixture f = LoadNetlinkFixture("links_small.hex");
  for (const auto& d : f.datagrams) {
    std::size_t boundary = 0;  // cuts exactly between messages are not damage
    std::vector<std::size_t> boundaries;
    while (boundary < d.size()) {
      boundaries.push_back(boundary);
      nlmsghdr h;
      std::memcpy(&h, d.data() + boundary, sizeof h);
      boundary += NLMSG_ALIGN(h.nlmsg_len);
    }
    for (std::size_t cut = 1; cut < d.size(); ++cut) {
      if (std::find(boundaries.begin(), boundaries.end(), cut) != boundaries.end()) continue;
      std::vector<std::uint8_t> part(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(cut));
      LinkDumpParser parser(f.seq, f.port);
      ASSERT_EQ(parser.Feed(part), DumpProgress::Malformed) << "cut at " << cut;
    }
  }
}

// ---- hand-made messages -----------------------------------------------------

struct DamageCase {
  const char* what;
  std::vector<std::uint8_t> datagram;
  DumpProgress expected;
};

std::vector<DamageCase> DamageCases() {
  const std::uint16_t mtuTwoBytes = 1500;
  const auto stats64 = Stats(8);  // one short of the multicast field
  const auto stats32 = std::vector<std::uint32_t>(4, 1);
  return {
      {"empty datagram", {}, DumpProgress::More},
      {"shorter than a header", {1, 2, 3, 4, 5, 6, 7, 8}, DumpProgress::Malformed},
      {"nlmsg_len below the header", Msg().Info(1).Len(8).Bytes(), DumpProgress::Malformed},
      {"nlmsg_len huge", Msg().Info(1).Len(0xFFFFFFFF).Bytes(), DumpProgress::Malformed},
      {"nlmsg_len past the datagram", Link(1, "x").Len(200).Bytes(), DumpProgress::Malformed},
      {"garbage after a message", Join({Link(1, "x").Bytes(), {9, 9, 9, 9, 9, 9, 9, 9}}),
       DumpProgress::Malformed},
      {"ifinfomsg cut short", Msg().Raw("\0\0\0\0\0\0\0\0", 8).Bytes(), DumpProgress::Malformed},
      {"ifindex zero", Link(0, "x").Bytes(), DumpProgress::Malformed},
      {"rta_len zero", Msg().Info(1).AttrWithLen(IFLA_IFNAME, "", 0, 0).Bytes(),
       DumpProgress::Malformed},
      {"rta_len below its header", Msg().Info(1).AttrWithLen(IFLA_MTU, "", 0, 3).Bytes(),
       DumpProgress::Malformed},
      {"rta_len past the message",
       Msg().Info(1).Str(IFLA_IFNAME, "x").AttrWithLen(IFLA_MTU, "\1\0\0\0", 4, 200).Bytes(),
       DumpProgress::Malformed},
      {"attribute header cut", Msg().Info(1).Str(IFLA_IFNAME, "x").Raw("\x08\0", 2).Bytes(),
       DumpProgress::Malformed},
      {"mtu of two bytes",
       Msg().Info(1).Str(IFLA_IFNAME, "x").Attr(IFLA_MTU, &mtuTwoBytes, 2).Bytes(),
       DumpProgress::Malformed},
      {"empty operstate", Msg().Info(1).Str(IFLA_IFNAME, "x").Attr(IFLA_OPERSTATE, "", 0).Bytes(),
       DumpProgress::Malformed},
      {"empty txqlen", Msg().Info(1).Str(IFLA_IFNAME, "x").Attr(IFLA_TXQLEN, "", 0).Bytes(),
       DumpProgress::Malformed},
      {"stats64 too short",
       Msg().Info(1).Str(IFLA_IFNAME, "x").Attr(IFLA_STATS64, stats64.data(), 64).Bytes(),
       DumpProgress::Malformed},
      {"stats too short",
       Msg().Info(1).Str(IFLA_IFNAME, "x").Attr(IFLA_STATS, stats32.data(), 16).Bytes(),
       DumpProgress::Malformed},
      {"no name", Msg().Info(1).U32(IFLA_MTU, 1500).Bytes(), DumpProgress::Malformed},
      {"empty name", Msg().Info(1).Attr(IFLA_IFNAME, "", 0).Bytes(), DumpProgress::Malformed},
      {"name too long for a row", Link(1, std::string(256, 'n')).Bytes(), DumpProgress::Malformed},
      {"error without its code", Msg(NLMSG_ERROR).Raw("\0\0", 2).Bytes(), DumpProgress::Malformed},
      {"error from the kernel", Msg(NLMSG_ERROR).I32(-EPERM).Bytes(), DumpProgress::KernelError},
      {"acknowledgement", Msg(NLMSG_ERROR).I32(0).Bytes(), DumpProgress::More},
      {"overrun", Msg(NLMSG_OVERRUN).Bytes(), DumpProgress::KernelError},
      {"failed dump end", Msg(NLMSG_DONE).I32(-EMSGSIZE).Bytes(), DumpProgress::KernelError},
      {"dump end without payload", Msg(NLMSG_DONE).Bytes(), DumpProgress::Done},
      {"unknown message type", Msg(0x99).Raw("abcd", 4).Bytes(), DumpProgress::More},
      {"noop", Msg(NLMSG_NOOP).Bytes(), DumpProgress::More},
      {"damage in another request's message", Join({Link(0, "x").Seq(kSeq + 1).Bytes(), Done()}),
       DumpProgress::Done},
  };
}

TEST(NetlinkParse, DamagedRepliesAreRefusedNeverReadPast) {
  for (const auto& c : DamageCases()) {
    // A copy in a buffer of its own size lets the sanitizer see any read
    // beyond the datagram.
    auto exact = std::make_unique<std::uint8_t[]>(c.datagram.size() + 1);
    if (!c.datagram.empty()) std::memcpy(exact.get(), c.datagram.data(), c.datagram.size());
    LinkDumpParser parser(kSeq, kPort);
    EXPECT_EQ(parser.Feed({exact.get(), c.datagram.size()}), c.expected) << c.what;
  }
}

TEST(NetlinkParse, KernelErrorKeepsItsErrno) {
  // Both the error message and a failed dump end carry a negated errno;
  // INT_MIN has no positive counterpart and must not be negated.
  const struct {
    const char* what;
    std::uint16_t type;
    std::int32_t value;
    int err;
  } cases[] = {
      {"error", NLMSG_ERROR, -EPERM, EPERM},
      {"error of INT_MIN", NLMSG_ERROR, INT32_MIN, EINVAL},
      {"failed dump end", NLMSG_DONE, -EMSGSIZE, EMSGSIZE},
      {"dump end of INT_MIN", NLMSG_DONE, INT32_MIN, EINVAL},
  };
  for (const auto& c : cases) {
    LinkDumpParser parser(kSeq, kPort);
    ASSERT_EQ(parser.Feed(Msg(c.type).I32(c.value).Bytes()), DumpProgress::KernelError) << c.what;
    EXPECT_EQ(parser.kernelError(), c.err) << c.what;
  }
}

TEST(NetlinkParse, FinishedParserTakesNothingMore) {
  LinkDumpParser parser(kSeq, kPort);
  ASSERT_EQ(parser.Feed(Join({Link(1, "a").Bytes(), Done()})), DumpProgress::Done);
  EXPECT_EQ(parser.Feed(Link(2, "b").Bytes()), DumpProgress::Done);
  EXPECT_EQ(parser.entries().size(), 1u);

  LinkDumpParser broken(kSeq, kPort);
  ASSERT_EQ(broken.Feed(Link(0, "a").Bytes()), DumpProgress::Malformed);
  EXPECT_EQ(broken.Feed(Join({Link(2, "b").Bytes(), Done()})), DumpProgress::Malformed);
}

TEST(NetlinkParse, InterruptedDumpIsFlagged) {
  LinkDumpParser parser(kSeq, kPort);
  Msg m(RTM_NEWLINK, NLM_F_MULTI | NLM_F_DUMP_INTR);
  m.Info(1).Str(IFLA_IFNAME, "a");
  ASSERT_EQ(parser.Feed(Join({m.Bytes(), Done()})), DumpProgress::Done);
  EXPECT_TRUE(parser.interrupted());
}

TEST(NetlinkParse, FieldsOfAHandMadeLink) {
  const auto stats = Stats(24);
  const std::uint8_t longAddr[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const auto bytes = Join({Msg()
                               .Info(9, ARPHRD_ETHER, 0x1 | 0x10000)
                               .Str(IFLA_IFNAME | NLA_F_NET_BYTEORDER, "eth9")
                               .U32(IFLA_MTU, 9000)
                               .U32(IFLA_TXQLEN, 500)
                               .U8(IFLA_OPERSTATE, kOperDormant)
                               .U8(IFLA_CARRIER, 0)
                               .Attr(IFLA_ADDRESS, longAddr, sizeof longAddr)
                               .Str(IFLA_IFALIAS, "wan")
                               .Attr(IFLA_STATS64, stats.data(), stats.size() * 8)
                               .U32(0x7FF, 1)  // an attribute from a later kernel
                               .Bytes(),
                           Done()});
  // Fed at an odd address: nothing may rely on alignment.
  std::vector<std::uint8_t> shifted(bytes.size() + 1);
  std::memcpy(shifted.data() + 1, bytes.data(), bytes.size());
  LinkDumpParser parser(kSeq, kPort);
  ASSERT_EQ(parser.Feed({shifted.data() + 1, bytes.size()}), DumpProgress::Done);
  ASSERT_EQ(parser.entries().size(), 1u);
  const LinkInfo& l = parser.entries()[0];
  EXPECT_EQ(l.index, 9u);
  EXPECT_EQ(l.name, "eth9");
  EXPECT_EQ(l.mtu, 9000u);
  EXPECT_EQ(l.txQueueLen, 500u);
  EXPECT_EQ(l.operState, kOperDormant);
  EXPECT_EQ(l.carrier, std::optional<bool>(false));
  EXPECT_EQ(l.addrLen, 20u);
  EXPECT_EQ(l.addr[7], 8);
  EXPECT_EQ(l.alias, "wan");
  ASSERT_TRUE(l.stats.has_value());
  EXPECT_EQ(l.stats->rxPackets, 1000u);
  EXPECT_EQ(l.stats->txPackets, 1001u);
  EXPECT_EQ(l.stats->rxBytes, 1002u);
  EXPECT_EQ(l.stats->txBytes, 1003u);
  EXPECT_EQ(l.stats->rxErrors, 1004u);
  EXPECT_EQ(l.stats->txErrors, 1005u);
  EXPECT_EQ(l.stats->rxDropped, 1006u);
  EXPECT_EQ(l.stats->txDropped, 1007u);
  EXPECT_EQ(l.stats->multicast, 1008u);
  EXPECT_EQ(l.stats->rxNoHandler, 1022u);

  const IfRow row = ToIfRow(l, {});
  EXPECT_EQ(row.physAddrLen, 8u);
  EXPECT_EQ(row.operStatus, 3u);
  EXPECT_EQ(row.descr, "wan");
}

TEST(NetlinkParse, SixtyFourBitStatsWinOverThirtyTwoInEitherOrder) {
  const auto s64 = Stats(9);
  std::vector<std::uint32_t> s32(9, 5);
  for (bool s64First : {true, false}) {
    Msg m;
    m.Info(1).Str(IFLA_IFNAME, "x");
    if (s64First) m.Attr(IFLA_STATS64, s64.data(), 72);
    m.Attr(IFLA_STATS, s32.data(), 36);
    if (!s64First) m.Attr(IFLA_STATS64, s64.data(), 72);
    LinkInfo l;
    ASSERT_TRUE(ParseNewLink(Payload(m), l));
    ASSERT_TRUE(l.stats.has_value());
    EXPECT_EQ(l.stats->rxBytes, 1002u) << s64First;
    EXPECT_EQ(l.stats->rxNoHandler, 0u);
  }
  Msg only32;
  only32.Info(1).Str(IFLA_IFNAME, "x").Attr(IFLA_STATS, s32.data(), 36);
  LinkInfo l;
  ASSERT_TRUE(ParseNewLink(Payload(only32), l));
  EXPECT_EQ(l.stats->rxBytes, 5u);
}

TEST(NetlinkParse, ZeroLengthAddressMeansNone) {
  Msg m;
  m.Info(1).Str(IFLA_IFNAME, "x").Attr(IFLA_ADDRESS, "", 0);
  LinkInfo l;
  ASSERT_TRUE(ParseNewLink(Payload(m), l));
  EXPECT_EQ(l.addrLen, 0u);
  EXPECT_EQ(ToIfRow(l, {}).physAddrLen, 0u);
}

}  // namespace
}  // namespace orv::linux_if
