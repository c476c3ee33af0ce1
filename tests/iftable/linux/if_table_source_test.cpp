#include "iftable/linux/if_table_source.h"

#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_arp.h>

#include <map>

#include "iftable/le_fields.h"
#include "iftable/linux/if_row_writer.h"
#include "tests/iftable/linux/fake_kernel.h"

namespace orv::linux_if {
namespace {

using Clock = std::chrono::steady_clock;

LinkInfo MakeLink(std::uint32_t index, std::string name, std::uint64_t rx = 0) {
  LinkInfo l;
  l.index = index;
  l.name = std::move(name);
  l.arphrdType = ARPHRD_ETHER;
  l.flags = IFF_UP | IFF_LOWER_UP;
  l.mtu = 1500;
  LinkStats s;
  s.rxBytes = rx;
  l.stats = s;
  return l;
}

struct Loaded {
  std::uint32_t status;
  std::vector<std::uint8_t> buf;
};

Loaded Load(IfTableSource& source) {
  std::uint32_t size = 0;
  const auto first = source.GetIfTable(nullptr, &size, 0);
  if (first != kStatusInsufficientBuffer) return {first, {}};
  std::vector<std::uint8_t> buf(size);
  return {source.GetIfTable(buf.data(), &size, 0), buf};
}

std::uint32_t Rows(const std::vector<std::uint8_t>& buf) { return le::U32(buf, 0); }
std::uint32_t Field(const std::vector<std::uint8_t>& buf, std::size_t row, std::size_t at) {
  return le::U32(buf, kIfTableHeaderSize + row * kIfRowSize + at);
}

TEST(IfTableSource, SizeQueryStoresTheNeedAndOnlyCounts) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0"), MakeLink(3, "eth1")};
  IfTableSource source(k.Plain());
  for (std::uint32_t given : {0u, 100u, 4u + 3 * 860 - 1}) {
    std::uint32_t size = given;
    EXPECT_EQ(source.GetIfTable(nullptr, &size, 0), kStatusInsufficientBuffer);
    EXPECT_EQ(size, 4u + 3 * 860) << given;
  }
  std::vector<std::uint8_t> small(4 + 3 * 860 - 1);
  std::uint32_t size = static_cast<std::uint32_t>(small.size());
  EXPECT_EQ(source.GetIfTable(small.data(), &size, 0), kStatusInsufficientBuffer);
  EXPECT_EQ(size, 4u + 3 * 860);
  EXPECT_EQ(k.extrasReads, 0);  // no per-interface file was touched
}

TEST(IfTableSource, FilledTableIsInIfindexOrderWithOneRowPerIndex) {
  FakeKernel k;
  k.links = {MakeLink(7, "c", 70), MakeLink(1, "lo", 10), MakeLink(3, "b-old", 1),
             MakeLink(3, "b", 30)};
  IfTableSource source(k.Plain());
  const Loaded t = Load(source);
  ASSERT_EQ(t.status, kStatusSuccess);
  ASSERT_EQ(t.buf.size(), 4u + 3 * 860);
  ASSERT_EQ(Rows(t.buf), 3u);
  const std::uint32_t indexes[] = {1, 3, 7};
  const std::uint32_t octets[] = {10, 30, 70};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Field(t.buf, i, row_offset::kIndex), indexes[i]);
    EXPECT_EQ(Field(t.buf, i, row_offset::kInOctets), octets[i]);
  }
  EXPECT_EQ(t.buf[kIfTableHeaderSize + kIfRowSize + 0], 'b');
  EXPECT_EQ(t.buf[kIfTableHeaderSize + kIfRowSize + 2], 0);
}

TEST(IfTableSource, LargerBufferIsFineAndSizeIsLeftAlone) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo")};
  IfTableSource source(k.Plain());
  std::vector<std::uint8_t> buf(5000, 0xEE);
  std::uint32_t size = 5000;
  ASSERT_EQ(source.GetIfTable(buf.data(), &size, 1), kStatusSuccess);
  EXPECT_EQ(size, 5000u);
  EXPECT_EQ(Rows(buf), 1u);
  EXPECT_EQ(buf[864], 0xEE);  // nothing written past the table
}

TEST(IfTableSource, NoLinksIsAnEmptyTable) {
  FakeKernel k;
  IfTableSource source(k.Plain());
  const Loaded t = Load(source);
  ASSERT_EQ(t.status, kStatusSuccess);
  ASSERT_EQ(t.buf.size(), 4u);
  EXPECT_EQ(Rows(t.buf), 0u);
}

TEST(IfTableSource, TableThatGrewBetweenTheCallsAsksForMore) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo")};
  IfTableSource source(k.Plain());
  std::uint32_t size = 0;
  ASSERT_EQ(source.GetIfTable(nullptr, &size, 0), kStatusInsufficientBuffer);
  k.links.push_back(MakeLink(2, "eth0"));
  std::vector<std::uint8_t> buf(size);
  EXPECT_EQ(source.GetIfTable(buf.data(), &size, 0), kStatusInsufficientBuffer);
  EXPECT_EQ(size, 4u + 2 * 860);
}

TEST(IfTableSource, StatusesOfFailingSources) {
  struct Case {
    const char* what;
    DumpStatus dump;
    std::optional<std::string> proc;
    std::uint32_t status;
  };
  const std::string header = "Inter-| a | b\n face |c|d\n";
  const Case cases[] = {
      {"malformed reply", DumpStatus::Malformed, std::nullopt, kStatusInvalidData},
      {"broken reply", DumpStatus::Failed, std::nullopt, kStatusGenFailure},
      {"neither source", DumpStatus::Unavailable, std::nullopt, kStatusNotSupported},
      {"fallback unreadable text", DumpStatus::Unavailable, std::string("junk\n"),
       kStatusInvalidData},
      {"fallback works", DumpStatus::Unavailable, header, kStatusInsufficientBuffer},
  };
  for (const auto& c : cases) {
    FakeKernel k;
    k.linkDump = c.dump;
    k.procText = c.proc;
    IfTableSource source(k.Plain());
    std::uint32_t size = 0;
    EXPECT_EQ(source.GetIfTable(nullptr, &size, 0), c.status) << c.what;
    if (c.status != kStatusInsufficientBuffer) {
      EXPECT_EQ(size, 0u) << c.what;
    }
  }
  FakeKernel k;
  IfTableSource source(k.Plain());
  EXPECT_EQ(source.GetIfTable(nullptr, nullptr, 0), kStatusInvalidParameter);
}

TEST(IfTableSource, FallbackNamesAndCountersWithRealIndexesWhenAllResolve) {
  const std::string text =
      "Inter-| a | b\n face |c|d\n"
      "  eth0: 100 2 3 4 0 0 0 1 200 5 6 7 0 0 0 0\n"
      "    lo: 10 1 0 0 0 0 0 0 10 1 0 0 0 0 0 0\n";
  struct Case {
    const char* what;
    std::map<std::string, std::uint32_t> indexes;
    std::uint32_t first;  // index of the first row
    std::string firstName;
  };
  const Case cases[] = {
      {"all resolve", {{"eth0", 2}, {"lo", 1}}, 1, "lo"},
      {"one unknown", {{"eth0", 2}}, 1, "eth0"},
      {"two the same", {{"eth0", 5}, {"lo", 5}}, 1, "eth0"},
  };
  for (const auto& c : cases) {
    FakeKernel k;
    k.linkDump = DumpStatus::Unavailable;
    k.procText = text;
    k.indexes = c.indexes;
    IfTableSource source(k.Plain());
    const Loaded t = Load(source);
    ASSERT_EQ(t.status, kStatusSuccess) << c.what;
    ASSERT_EQ(Rows(t.buf), 2u) << c.what;
    EXPECT_EQ(Field(t.buf, 0, row_offset::kIndex), c.first) << c.what;
    EXPECT_EQ(Field(t.buf, 1, row_offset::kIndex), c.first + 1) << c.what;
    EXPECT_EQ(t.buf[4], static_cast<std::uint8_t>(c.firstName[0])) << c.what;
    const std::size_t eth = c.firstName == "eth0" ? 0 : 1;
    EXPECT_EQ(Field(t.buf, eth, row_offset::kInOctets), 100u) << c.what;
    EXPECT_EQ(Field(t.buf, eth, row_offset::kOutOctets), 200u) << c.what;
    EXPECT_EQ(Field(t.buf, eth, row_offset::kInNUcastPkts), 1u) << c.what;
    EXPECT_EQ(Field(t.buf, eth, row_offset::kType), 1u) << c.what;
    EXPECT_EQ(Field(t.buf, eth, row_offset::kDescrLen), 4u) << c.what;
    EXPECT_EQ(k.extrasReads, 0) << c.what;
  }
}

// Only rows from /proc/net/dev go without per-interface facts; a kernel
// link of any hardware type, the void type included, gets its speed.
TEST(IfTableSource, EveryKernelLinkGetsItsSpeedWhateverItsHardwareType) {
  for (const std::uint16_t type :
       {std::uint16_t{ARPHRD_ETHER}, std::uint16_t{ARPHRD_VOID}, std::uint16_t{ARPHRD_NONE}}) {
    FakeKernel k;
    k.links = {MakeLink(3, "v0")};
    k.links[0].arphrdType = type;
    k.speeds["v0"] = 10000000;
    IfTableSource source(k.Plain());
    const Loaded t = Load(source);
    ASSERT_EQ(t.status, kStatusSuccess) << type;
    EXPECT_EQ(Field(t.buf, 0, row_offset::kSpeed), 10000000u) << type;
    EXPECT_EQ(k.extrasReads, 1) << type;
  }
}

TEST(IfTableSource, SpeedIsCachedPerIndexForAtMostOneSecond) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0")};
  k.speeds["eth0"] = 1000000000;
  IfTableSource source(k.Plain());
  const auto speedOfEth0 = [&] {
    const Loaded t = Load(source);
    EXPECT_EQ(t.status, kStatusSuccess);
    return Field(t.buf, 1, row_offset::kSpeed);
  };
  EXPECT_EQ(speedOfEth0(), 1000000000u);
  EXPECT_EQ(k.extrasReads, 2);

  k.speeds["eth0"] = 100000000;
  k.now += std::chrono::milliseconds(999);
  EXPECT_EQ(speedOfEth0(), 1000000000u);  // still the cached value
  EXPECT_EQ(k.extrasReads, 2);

  k.now += std::chrono::milliseconds(1);
  EXPECT_EQ(speedOfEth0(), 100000000u);
  EXPECT_EQ(k.extrasReads, 4);

  // Same index, new name: a different interface, read at once.
  k.links[1].name = "eth9";
  k.speeds["eth9"] = 10000000;
  EXPECT_EQ(speedOfEth0(), 10000000u);
  EXPECT_EQ(k.extrasReads, 5);

  // A clock that goes backwards does not make an entry fresh for ever.
  k.now -= std::chrono::seconds(10);
  k.speeds["eth9"] = 20000000;
  EXPECT_EQ(speedOfEth0(), 20000000u);
}

TEST(IfTableSource, CacheForgetsInterfacesThatAreGone) {
  FakeKernel k;
  k.links = {MakeLink(1, "lo"), MakeLink(2, "eth0")};
  IfTableSource source(k.Plain());
  ASSERT_EQ(Load(source).status, kStatusSuccess);
  k.links.pop_back();
  ASSERT_EQ(Load(source).status, kStatusSuccess);
  k.links.push_back(MakeLink(2, "eth0"));
  k.speeds["eth0"] = 5000000;
  const Loaded t = Load(source);
  ASSERT_EQ(t.status, kStatusSuccess);
  EXPECT_EQ(Field(t.buf, 1, row_offset::kSpeed), 5000000u);
  EXPECT_EQ(k.extrasReads, 3);
}

}  // namespace
}  // namespace orv::linux_if
