// The cached table source against a kernel the test plays: notifications
// and statistics replies go in as netlink bytes, through the real parsers.
// Every table it fills is compared with what the plain source fills for the
// same kernel state.
#include "iftable/linux/if_table_cached.h"

#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_arp.h>

#include <algorithm>
#include <map>
#include <set>

#include "iftable/le_fields.h"
#include "iftable/linux/if_row_writer.h"
#include "tests/iftable/linux/fake_kernel.h"
#include "tests/iftable/linux/netlink_msg.h"

namespace orv::linux_if {
namespace {

using Clock = std::chrono::steady_clock;
using test::Msg;

LinkInfo MakeLink(std::uint32_t index, std::string name, std::uint64_t rx = 0) {
  LinkInfo l;
  l.index = index;
  l.name = std::move(name);
  l.arphrdType = ARPHRD_ETHER;
  l.flags = IFF_UP | IFF_LOWER_UP;
  l.mtu = 1500;
  l.operState = kOperUp;
  l.txQueueLen = 1000;
  l.addrLen = 6;
  l.addr = {2, 0, 0, 0, 0, static_cast<std::uint8_t>(index)};
  LinkStats s;
  s.rxBytes = rx;
  s.txBytes = rx * 2 + 1;
  s.rxPackets = rx / 100 + 3;
  s.multicast = 1;
  l.stats = s;
  return l;
}

struct Loaded {
  std::uint32_t sizeStatus = 0;
  std::uint32_t status = 0;
  std::vector<std::uint8_t> buf;
};

template <class Source>
Loaded Load(Source& source) {
  Loaded t;
  std::uint32_t size = 0;
  t.sizeStatus = source.GetIfTable(nullptr, &size, 0);
  if (t.sizeStatus != kStatusInsufficientBuffer) return t;
  t.buf.assign(size, 0);
  t.status = source.GetIfTable(t.buf.data(), &size, 0);
  if (t.status == kStatusSuccess) {
    // A table that shrank between the calls fills less than was asked
    // for; what lies past it must be untouched.
    const std::size_t used = IfTableSize(le::U32(t.buf, 0));
    EXPECT_LE(used, t.buf.size());
    EXPECT_TRUE(std::all_of(t.buf.begin() + std::min(used, t.buf.size()), t.buf.end(),
                            [](std::uint8_t b) { return b == 0; }));
    t.buf.resize(std::min(used, t.buf.size()));
  }
  return t;
}

std::uint32_t Field(const std::vector<std::uint8_t>& buf, std::size_t row, std::size_t at) {
  return le::U32(buf, kIfTableHeaderSize + row * kIfRowSize + at);
}

// The plain source on the same kernel, with a clock that always makes it
// read the per-interface files afresh: the table as it truly is now.
Loaded Truth(FakeKernel& k) {
  IfTableDeps deps = k.Plain();
  const int dumps = k.dumps;
  const int reads = k.extrasReads;
  IfTableSource plain(deps);
  const Loaded t = Load(plain);
  k.dumps = dumps;  // the truth is not the cached source's cost
  k.extrasReads = reads;
  return t;
}

void ExpectSameTable(const Loaded& got, const Loaded& want, const std::string& where) {
  EXPECT_EQ(got.sizeStatus, want.sizeStatus) << where;
  EXPECT_EQ(got.status, want.status) << where;
  ASSERT_EQ(got.buf.size(), want.buf.size()) << where;
  for (std::size_t at = 0; at < got.buf.size(); ++at) {
    if (got.buf[at] != want.buf[at]) {
      const std::size_t row = at < 4 ? 0 : (at - 4) / kIfRowSize;
      FAIL() << where << ": first difference at byte " << at << " (row " << row << ", offset "
             << (at < 4 ? at : (at - 4) % kIfRowSize) << ")";
    }
  }
}

TEST(IfTableCached, RowsEqualThePlainSourceForEveryKindOfLink) {
  struct Case {
    const char* what;
    std::function<void(LinkInfo&)> change;
  };
  const Case cases[] = {
      {"plain", [](LinkInfo&) {}},
      {"counters past 32 bits",
       [](LinkInfo& l) {
         l.stats->rxBytes = 0x1234567890ull;
         l.stats->txBytes = ~0ull;
         l.stats->rxDropped = 1ull << 32;
       }},
      {"more multicast than packets", [](LinkInfo& l) { l.stats->multicast = 50; }},
      {"no counters at all", [](LinkInfo& l) { l.stats.reset(); }},
      {"every counter", [](LinkInfo& l) { l.stats = LinkStats{1, 2, 3, 4, 5, 6, 7, 8, 0, 10}; }},
      {"alias and a non-ASCII name",
       [](LinkInfo& l) {
         l.name = "v\xc3\xa9th";
         l.alias = "uplink \xe2\x86\x91";
       }},
      {"long address", [](LinkInfo& l) { l.addrLen = 20; }},
      {"down without carrier",
       [](LinkInfo& l) {
         l.flags = 0;
         l.operState = kOperDown;
         l.carrier = false;
       }},
      {"void hardware type", [](LinkInfo& l) { l.arphrdType = ARPHRD_VOID; }},
      {"loopback", [](LinkInfo& l) { l.arphrdType = ARPHRD_LOOPBACK; }},
  };
  for (const auto& c : cases) {
    FakeKernel k;
    k.links = {MakeLink(1, "lo", 10), MakeLink(4, "eth0", 5000), MakeLink(9, "eth1", 7)};
    c.change(k.links[1]);
    k.speeds = {{"eth0", 1000000000}, {k.links[1].name, 100000000}};
    CachedIfTableSource source(k.Cached());
    ExpectSameTable(Load(source), Truth(k), std::string(c.what) + ", first load");
    ExpectSameTable(Load(source), Truth(k), std::string(c.what) + ", from the cache");
    EXPECT_EQ(source.counts().refreshes, 1u) << c.what;
  }
}

TEST(IfTableCached, DumpsOutOfOrderAndTwiceAreTakenAsThePlainSourceTakesThem) {
  FakeKernel k;
  k.links = {MakeLink(7, "c", 70), MakeLink(1, "lo", 10), MakeLink(3, "b-old", 1),
             MakeLink(3, "b", 30)};
  CachedIfTableSource source(k.Cached());
  ExpectSameTable(Load(source), Truth(k), "first");
  // The statistics reply repeats and reorders in the same way.
  ExpectSameTable(Load(source), Truth(k), "second");
  EXPECT_EQ(source.counts().refreshes, 1u);
}

TEST(IfTableCached, SizeQueryIsAnsweredFromTheCacheAlone) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0"), MakeLink(3, "eth1")};
  CachedIfTableSource source(k.Cached());
  ASSERT_EQ(Load(source).status, kStatusSuccess);
  ASSERT_EQ(k.dumps, 1);
  ASSERT_EQ(k.statsDumps, 1);
  for (int i = 0; i < 5; ++i) {
    std::uint32_t size = 0;
    EXPECT_EQ(source.GetIfTable(nullptr, &size, 0), kStatusInsufficientBuffer);
    EXPECT_EQ(size, 4u + 3 * 860);
  }
  std::vector<std::uint8_t> small(100);
  std::uint32_t size = 100;
  EXPECT_EQ(source.GetIfTable(small.data(), &size, 0), kStatusInsufficientBuffer);
  EXPECT_EQ(size, 4u + 3 * 860);
  EXPECT_EQ(k.dumps, 1);
  EXPECT_EQ(k.statsDumps, 1);  // a short buffer needs no counters either
  // Counters move without a notification: the data call still sees them.
  k.links[2].stats->rxBytes = 999;
  const Loaded t = Load(source);
  EXPECT_EQ(Field(t.buf, 2, row_offset::kInOctets), 999u);
  EXPECT_EQ(k.dumps, 1);
  EXPECT_EQ(k.statsDumps, 2);
}

TEST(IfTableCached, NotificationsKeepTheCacheCurrentWithoutAFullDump) {
  struct Step {
    const char* what;
    std::function<void(FakeKernel&)> change;  // changes the kernel and notifies
    bool extrasReadAgain;                     // per-interface files read again at once
  };
  const Step steps[] = {
      {"link added",
       [](FakeKernel& k) {
         k.links.push_back(MakeLink(5, "v5", 55));
         k.Notify(k.links.back());
       },
       true},
      {"mtu",
       [](FakeKernel& k) {
         k.Link(5).mtu = 9000;
         k.Notify(k.Link(5));
       },
       false},
      {"alias",
       [](FakeKernel& k) {
         k.Link(2).alias = "uplink";
         k.Notify(k.Link(2));
       },
       false},
      {"txqlen and address",
       [](FakeKernel& k) {
         k.Link(2).txQueueLen = 5;
         k.Link(2).addr[0] = 0x0a;
         k.Notify(k.Link(2));
       },
       false},
      {"renamed",
       [](FakeKernel& k) {
         k.Link(5).name = "w5";
         k.speeds["w5"] = 40000000;
         k.Notify(k.Link(5));
       },
       true},
      {"down",
       [](FakeKernel& k) {
         k.Link(2).flags = 0;
         k.Link(2).operState = kOperDown;
         k.speeds["eth0"] = 0;
         k.Notify(k.Link(2));
       },
       true},
      {"removed",
       [](FakeKernel& k) {
         std::erase_if(k.links, [](const LinkInfo& l) { return l.index == 5; });
         k.queued.push_back(DelLinkBytes(5));
       },
       false},
      {"two changes in one datagram, then a bridge port report",
       [](FakeKernel& k) {
         k.links.push_back(MakeLink(6, "v6"));
         k.Link(1).mtu = 65536;
         auto a = NewLinkBytes(k.links.back());
         const auto b = NewLinkBytes(k.Link(1));
         a.insert(a.end(), b.begin(), b.end());
         k.queued.push_back(a);
         Msg port(RTM_DELLINK, 0);
         port.Info(6, ARPHRD_ETHER, 0, AF_BRIDGE).Str(IFLA_IFNAME, "v6");
         k.queued.push_back(port.Bytes());
       },
       true},
  };
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0", 20)};
  k.speeds = {{"eth0", 1000000000}, {"v5", 10000000}};
  CachedIfTableSource source(k.Cached());
  ExpectSameTable(Load(source), Truth(k), "start");
  for (const auto& s : steps) {
    s.change(k);
    const int reads = k.extrasReads;
    ExpectSameTable(Load(source), Truth(k), s.what);
    EXPECT_EQ(k.extrasReads > reads, s.extrasReadAgain) << s.what;
    EXPECT_EQ(k.dumps, 1) << s.what << ": needed a full dump";
  }
  EXPECT_EQ(source.counts().refreshes, 1u);
  EXPECT_GE(source.counts().events, 9u);
}

TEST(IfTableCached, WhatTheCacheCannotTrustTriggersOneFullDump) {
  struct Case {
    const char* what;
    std::function<void(FakeKernel&)> fault;
  };
  const Case cases[] = {
      {"notifications lost (ENOBUFS)",
       [](FakeKernel& k) {
         k.links.push_back(MakeLink(8, "unheard"));
         k.eventsLostOnce = true;
       }},
      {"damaged notification",
       [](FakeKernel& k) {
         k.Link(2).mtu = 1280;
         auto bytes = NewLinkBytes(k.Link(2));
         bytes[0] = 200;  // a message length past the datagram
         k.queued.push_back(bytes);
       }},
      {"statistics name a link the cache does not know",
       [](FakeKernel& k) { k.links.push_back(MakeLink(8, "unheard", 80)); }},
      {"statistics no longer name a cached link",
       [](FakeKernel& k) { std::erase_if(k.links, [](auto& l) { return l.index == 2; }); }},
      {"statistics replace one link by another",
       [](FakeKernel& k) {
         std::erase_if(k.links, [](auto& l) { return l.index == 2; });
         k.links.push_back(MakeLink(8, "unheard", 80));
       }},
  };
  for (const auto& c : cases) {
    FakeKernel k;
    k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0", 20), MakeLink(3, "eth1", 30)};
    CachedIfTableSource source(k.Cached());
    ASSERT_EQ(Load(source).status, kStatusSuccess) << c.what;
    c.fault(k);
    // The size call may already be wrong when only the counters tell; the
    // data call must then ask for the new size, and the retry must match.
    Loaded t = Load(source);
    if (t.status == kStatusInsufficientBuffer) t = Load(source);
    ExpectSameTable(t, Truth(k), c.what);
    EXPECT_EQ(k.dumps, 2) << c.what;
    // And the cache is good again afterwards.
    ExpectSameTable(Load(source), Truth(k), std::string(c.what) + ", after");
    EXPECT_EQ(k.dumps, 2) << c.what;
  }
}

TEST(IfTableCached, TableThatGrewBetweenTheCallsAsksForMore) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo")};
  CachedIfTableSource source(k.Cached());
  std::uint32_t size = 0;
  ASSERT_EQ(source.GetIfTable(nullptr, &size, 0), kStatusInsufficientBuffer);
  k.links.push_back(MakeLink(2, "eth0"));
  k.Notify(k.links.back());
  std::vector<std::uint8_t> buf(size);
  EXPECT_EQ(source.GetIfTable(buf.data(), &size, 0), kStatusInsufficientBuffer);
  EXPECT_EQ(size, 4u + 2 * 860);
  EXPECT_EQ(k.statsDumps, 0);
}

TEST(IfTableCached, StatusesMatchThePlainSource) {
  const std::string header = "Inter-| a | b\n face |c|d\n";
  const std::string proc = header + "  eth0: 100 2 3 4 0 0 0 1 200 5 6 7 0 0 0 0\n";
  struct Case {
    const char* what;
    std::function<void(FakeKernel&)> setUp;
    std::uint32_t sizeStatus;
    bool plainAnswers;  // the call went to the plain source
  };
  const Case cases[] = {
      {"malformed link dump", [](FakeKernel& k) { k.linkDump = DumpStatus::Malformed; },
       kStatusInvalidData, false},
      {"broken link dump", [](FakeKernel& k) { k.linkDump = DumpStatus::Failed; },
       kStatusGenFailure, false},
      {"no netlink, no /proc/net/dev",
       [](FakeKernel& k) {
         k.linkDump = DumpStatus::Unavailable;
         k.eventsStatus = EventsStatus::Unavailable;
       },
       kStatusNotSupported, true},
      {"no notification socket, /proc/net/dev",
       [&](FakeKernel& k) {
         k.linkDump = DumpStatus::Unavailable;
         k.eventsStatus = EventsStatus::Unavailable;
         k.procText = proc;
       },
       kStatusInsufficientBuffer, true},
      {"notifications but no link dump, /proc/net/dev",
       [&](FakeKernel& k) {
         k.linkDump = DumpStatus::Unavailable;
         k.procText = proc;
       },
       kStatusInsufficientBuffer, true},
      {"no notification socket, netlink dumps work",
       [](FakeKernel& k) { k.eventsStatus = EventsStatus::Unavailable; }, kStatusInsufficientBuffer,
       true},
  };
  for (const auto& c : cases) {
    FakeKernel k;
    k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0", 20)};
    c.setUp(k);
    CachedIfTableSource source(k.Cached());
    const Loaded got = Load(source);
    EXPECT_EQ(got.sizeStatus, c.sizeStatus) << c.what;
    ExpectSameTable(got, Truth(k), c.what);
    EXPECT_EQ(source.counts().plainCalls > 0, c.plainAnswers) << c.what;
  }
  FakeKernel k;
  CachedIfTableSource source(k.Cached());
  EXPECT_EQ(source.GetIfTable(nullptr, nullptr, 0), kStatusInvalidParameter);
}

TEST(IfTableCached, FailingStatisticsDumps) {
  struct Case {
    const char* what;
    DumpStatus stats;
    std::uint32_t status;
  };
  const Case cases[] = {
      {"malformed", DumpStatus::Malformed, kStatusInvalidData},
      {"broken", DumpStatus::Failed, kStatusGenFailure},
      {"refused by the kernel", DumpStatus::Unavailable, kStatusSuccess},
  };
  for (const auto& c : cases) {
    FakeKernel k;
    k.links = {MakeLink(1, "lo", 1), MakeLink(2, "eth0", 20)};
    CachedIfTableSource source(k.Cached());
    ASSERT_EQ(Load(source).status, kStatusSuccess) << c.what;
    k.statsStatus = c.stats;
    k.links[1].stats->rxBytes = 21;
    const Loaded t = Load(source);
    EXPECT_EQ(t.status, c.status) << c.what;
    if (c.status == kStatusSuccess) {
      // Answered by full dumps from then on, without asking again.
      ExpectSameTable(t, Truth(k), c.what);
      const int asked = k.statsDumps;
      ExpectSameTable(Load(source), Truth(k), c.what);
      EXPECT_EQ(k.statsDumps, asked) << c.what;
    } else {
      // A passing fault: the next call works.
      k.statsStatus = DumpStatus::Ok;
      ExpectSameTable(Load(source), Truth(k), std::string(c.what) + ", next");
    }
  }
}

TEST(IfTableCached, FailedRefreshIsTriedAgainOnTheNextCall) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0", 20)};
  CachedIfTableSource source(k.Cached());
  ASSERT_EQ(Load(source).status, kStatusSuccess);
  k.eventsLostOnce = true;
  k.linkDump = DumpStatus::Failed;
  std::uint32_t size = 0;
  EXPECT_EQ(source.GetIfTable(nullptr, &size, 0), kStatusGenFailure);
  k.linkDump = DumpStatus::Ok;
  k.links.push_back(MakeLink(3, "eth1"));  // missed while the dump failed
  ExpectSameTable(Load(source), Truth(k), "after the failure");
}

TEST(IfTableCached, SpeedStaysAtMostOneSecondOldAndReadsAreSpreadOverCalls) {
  constexpr std::uint32_t kLinks = 1000;
  FakeKernel k;
  for (std::uint32_t i = 1; i <= kLinks; ++i) {
    k.links.push_back(MakeLink(i, "v" + std::to_string(i)));
    k.speeds["v" + std::to_string(i)] = 1000000;
  }
  CachedIfTableSource source(k.Cached());
  ASSERT_EQ(Load(source).status, kStatusSuccess);
  EXPECT_EQ(k.extrasReads, static_cast<int>(kLinks));

  // New speeds from t = 0; a tick every 100 ms with two loads in it.
  for (auto& [name, speed] : k.speeds) speed = 2000000;
  int most = 0;
  std::set<std::uint32_t> stale;
  for (int tick = 1; tick <= 30; ++tick) {
    k.now += std::chrono::milliseconds(100);
    for (int load = 0; load < 2; ++load) {
      const int before = k.extrasReads;
      const Loaded t = Load(source);
      ASSERT_EQ(t.status, kStatusSuccess);
      most = std::max(most, k.extrasReads - before);
      // By 1 s after the change, every row shows it.
      if (tick >= 10) {
        for (std::uint32_t r = 0; r < kLinks; ++r) {
          if (Field(t.buf, r, row_offset::kSpeed) != 2000000u) stale.insert(r + 1);
        }
      }
    }
  }
  EXPECT_TRUE(stale.empty()) << stale.size() << " links still showed the old speed";
  // A tenth of the links per tick, give or take; never all of them at once.
  EXPECT_LE(most, static_cast<int>(kLinks) / 5);
  EXPECT_GE(k.extrasReads, static_cast<int>(kLinks) * 3);  // about 3 s of re-reads
  EXPECT_LE(k.extrasReads, static_cast<int>(kLinks) * 5);
}

TEST(IfTableCached, ExpiredSpeedIsReadAloneAndWirelessIsAskedOncePerName) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "wl0")};
  k.wireless = {"wl0"};
  k.speeds["wl0"] = 54000000;
  CachedIfTableSource source(k.Cached());
  const auto row = [&](std::size_t at) { return Field(Load(source).buf, 1, at); };
  EXPECT_EQ(row(row_offset::kType), 71u);
  EXPECT_EQ(k.fullReads, 2);
  k.speeds["wl0"] = 11000000;
  k.wireless.clear();  // would show if it were asked again
  k.now += std::chrono::seconds(1);
  EXPECT_EQ(row(row_offset::kSpeed), 11000000u);
  EXPECT_EQ(row(row_offset::kType), 71u);
  EXPECT_EQ(k.fullReads, 2);
  // A new name is a new directory: everything is read again.
  k.links[1].name = "eth7";
  k.Notify(k.links[1]);
  EXPECT_EQ(row(row_offset::kType), 6u);
  EXPECT_EQ(k.fullReads, 3);
}

TEST(IfTableCached, StaggerSpreadsConsecutiveIndexesOverTheWholeSecond) {
  std::set<long> seen;
  for (std::uint32_t i = 1; i <= 1000; ++i) {
    const auto s = CachedIfTableSource::ExtrasStagger(i);
    ASSERT_GE(s.count(), 0);
    ASSERT_LT(s, CachedIfTableSource::kExtrasMaxAge);
    seen.insert(s.count());
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(IfTableCached, ClockThatGoesBackDoesNotKeepASpeedForEver) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0")};
  k.speeds["eth0"] = 1000000;
  CachedIfTableSource source(k.Cached());
  ASSERT_EQ(Load(source).status, kStatusSuccess);
  k.now -= std::chrono::seconds(10);
  k.speeds["eth0"] = 3000000;
  EXPECT_EQ(Field(Load(source).buf, 1, row_offset::kSpeed), 3000000u);
}

}  // namespace
}  // namespace orv::linux_if
