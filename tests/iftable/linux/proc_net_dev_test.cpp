#include "iftable/linux/proc_net_dev.h"

#include <gtest/gtest.h>

#include "tests/iftable/linux/fixture.h"

namespace orv::linux_if {
namespace {

const char kHeader[] =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs "
    "drop fifo colls carrier compressed\n";

TEST(ProcNetDev, RecordedFileGivesItsLinksInOrder) {
  const auto links = ParseProcNetDev(LoadTextFixture("proc_net_dev_basic.txt"));
  ASSERT_TRUE(links.has_value());
  ASSERT_EQ(links->size(), 4u);
  EXPECT_EQ((*links)[0].name, "lo");
  EXPECT_EQ((*links)[3].name, "eth0");
  ASSERT_TRUE((*links)[3].stats.has_value());
  EXPECT_EQ((*links)[0].stats->rxBytes, 3267u);
  EXPECT_EQ((*links)[0].stats->txPackets, 29u);
  for (const auto& l : *links) EXPECT_EQ(l.index, 0u) << l.name;
}

TEST(ProcNetDev, LongNamesWideCountersAndExtraColumns) {
  const auto links = ParseProcNetDev(LoadTextFixture("proc_net_dev_long_names.txt"));
  ASSERT_TRUE(links.has_value());
  ASSERT_EQ(links->size(), 3u);
  const LinkInfo& a = (*links)[0];
  EXPECT_EQ(a.name, "averylongname15");
  EXPECT_EQ(a.stats->rxBytes, 4294967306u);
  EXPECT_EQ(a.stats->rxPackets, 12u);
  EXPECT_EQ(a.stats->rxErrors, 1u);
  EXPECT_EQ(a.stats->rxDropped, 2u);
  EXPECT_EQ(a.stats->multicast, 3u);
  EXPECT_EQ(a.stats->txBytes, 18446744073709551615u);
  EXPECT_EQ(a.stats->txPackets, 20u);
  EXPECT_EQ(a.stats->txErrors, 4u);
  EXPECT_EQ(a.stats->txDropped, 5u);
  const IfRow row = ToIfRow(a, {});
  EXPECT_EQ(row.counters.inOctets, 10u);
  EXPECT_EQ(row.counters.outOctets, 0xFFFFFFFFu);
  EXPECT_EQ(row.counters.inUcastPkts, 9u);
  // A counter that runs straight into the colon.
  EXPECT_EQ((*links)[1].name, "eth0");
  EXPECT_EQ((*links)[1].stats->rxBytes, 123456789u);
  EXPECT_EQ((*links)[2].name, "wlan0");
  EXPECT_EQ((*links)[2].stats->txBytes, 20u);
}

TEST(ProcNetDev, TextsThatAreNotTheFile) {
  struct Case {
    const char* what;
    std::string text;
  };
  const std::string row = "eth0: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n";
  const Case cases[] = {
      {"empty", ""},
      {"one header line", "Inter-|   Receive  |  Transmit\n"},
      {"no header", row + row + row},
      {"missing column", std::string(kHeader) + "eth0: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n"},
      {"no colon", std::string(kHeader) + "eth0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"},
      {"no name", std::string(kHeader) + "   : 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"},
      {"blank in name", std::string(kHeader) + "et h0: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"},
      {"negative", std::string(kHeader) + "eth0: -1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"},
      {"letters", std::string(kHeader) + "eth0: 1 2 3 4 x5 6 7 8 9 10 11 12 13 14 15 16\n"},
      {"number with junk",
       std::string(kHeader) + "eth0: 1 2 3 4 5z 6 7 8 9 10 11 12 13 14 15 16\n"},
      {"beyond 64 bits",
       std::string(kHeader) + "eth0: 18446744073709551616 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"},
      {"garbage line", std::string(kHeader) + row + "\x01\x02garbage\n"},
      {"name too long", std::string(kHeader) + std::string(300, 'n') + row.substr(4)},
  };
  for (const auto& c : cases) EXPECT_FALSE(ParseProcNetDev(c.text).has_value()) << c.what;
}

TEST(ProcNetDev, HeaderOnlyAndBlankLinesAndCarriageReturns) {
  const auto none = ParseProcNetDev(kHeader);
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
  const auto some = ParseProcNetDev(std::string(kHeader) +
                                    "\n  lo: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\r\n\n"
                                    "eth1: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
  ASSERT_TRUE(some.has_value());
  ASSERT_EQ(some->size(), 2u);
  EXPECT_EQ((*some)[1].name, "eth1");
  EXPECT_EQ((*some)[1].stats->txDropped, 12u);
}

}  // namespace
}  // namespace orv::linux_if
