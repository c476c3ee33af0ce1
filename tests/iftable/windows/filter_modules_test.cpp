// A Windows 10/11 laptop's table through the reader, with fakes of both
// system calls: GetIfTable's rows, filter modules among them, and the
// filter marks GetIfTable2 gives.
#include "iftable/windows/filter_modules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "iftable/le_fields.h"
#include "iftable/windows/one_table_per_read.h"
#include "stats/cip_helper.h"
#include "tests/support/if_table_builder.h"

namespace orv::windows_if {
namespace {

constexpr std::uint32_t kLoopback = 24;
constexpr std::uint32_t kEthernet = 6;
constexpr std::uint32_t kPpp = 23;
constexpr std::uint32_t kTunnel = 131;
constexpr std::uint32_t kWifi = 71;

struct Interface {
  std::uint32_t index;
  std::uint32_t type;
  std::uint32_t in;
  std::uint32_t out;
  bool filter;
  std::string description;
};

const std::string kWifiName = "Intel(R) Wi-Fi 6 AX201 160MHz";
const std::string kEthName = "Intel(R) Ethernet Connection (10) I219-V";
const std::string kDirect = "Microsoft Wi-Fi Direct Virtual Adapter";
constexpr std::uint32_t kWifiIn = 123456789;
constexpr std::uint32_t kWifiOut = 23456789;
constexpr std::uint32_t kEthIn = 5000000;
constexpr std::uint32_t kEthOut = 1000000;

// In the system's order: the interfaces first, the filter modules of the
// adapters after them, each repeating its adapter's counters.
std::vector<Interface> Laptop() {
  return {
      {1, kLoopback, 0, 0, false, "Software Loopback Interface 1"},
      {2, kPpp, 0, 0, false, "WAN Miniport (SSTP)"},
      {3, kTunnel, 0, 0, false, "WAN Miniport (IKEv2)"},
      {4, kPpp, 0, 0, false, "WAN Miniport (L2TP)"},
      {5, kPpp, 0, 0, false, "WAN Miniport (PPTP)"},
      {6, kPpp, 0, 0, false, "WAN Miniport (PPPOE)"},
      {7, kEthernet, 0, 0, false, "WAN Miniport (IP)"},
      {8, kEthernet, 0, 0, false, "WAN Miniport (IPv6)"},
      {9, kEthernet, 0, 0, false, "WAN Miniport (Network Monitor)"},
      {10, kEthernet, kEthIn, kEthOut, false, kEthName},
      {11, kTunnel, 0, 0, false, "Microsoft Teredo Tunneling Adapter"},
      {12, kTunnel, 0, 0, false, "Microsoft IP-HTTPS Platform Adapter"},
      {14, kWifi, kWifiIn, kWifiOut, false, kWifiName},
      {15, kWifi, 0, 0, false, kDirect},
      {16, kEthernet, kEthIn, kEthOut, true,
       kEthName + "-WFP Native MAC Layer LightWeight Filter-0000"},
      {17, kEthernet, kEthIn, kEthOut, true, kEthName + "-QoS Packet Scheduler-0000"},
      {18, kEthernet, kEthIn, kEthOut, true,
       kEthName + "-WFP 802.3 MAC Layer LightWeight Filter-0000"},
      {19, kWifi, kWifiIn, kWifiOut, true,
       kWifiName + "-WFP Native MAC Layer LightWeight Filter-0000"},
      {20, kWifi, kWifiIn, kWifiOut, true, kWifiName + "-Native WiFi Filter Driver-0000"},
      {21, kWifi, kWifiIn, kWifiOut, true, kWifiName + "-QoS Packet Scheduler-0000"},
      {22, kWifi, kWifiIn, kWifiOut, true,
       kWifiName + "-WFP 802.3 MAC Layer LightWeight Filter-0000"},
      {23, kWifi, 0, 0, true, kDirect + "-Native WiFi Filter Driver-0000"},
      {27, kEthernet, 0, 0, true, "WAN Miniport (IP)-QoS Packet Scheduler-0000"},
  };
}

// GetIfTable's rows; descriptions count their terminating zero, as the
// system's do.
std::vector<std::uint8_t> TableOf(const std::vector<Interface>& interfaces) {
  std::vector<test::Row> rows;
  for (const Interface& i : interfaces) {
    test::Row row;
    row.index = i.index;
    row.type = i.type;
    row.inOctets = i.in;
    row.outOctets = i.out;
    row.descr.assign(i.description.begin(), i.description.end());
    row.descr.push_back(0);
    row.descrLen = static_cast<std::int32_t>(row.descr.size());
    rows.push_back(row);
  }
  return test::BuildTable(rows);
}

std::vector<std::uint32_t> FilterIndexes(const std::vector<Interface>& interfaces) {
  std::vector<std::uint32_t> marked;
  for (const Interface& i : interfaces) {
    if (i.filter) marked.push_back(i.index);
  }
  return marked;
}

// GetIfTable's answers, as the system gives them: a buffer too small for
// the table now is refused with the size it needs.
struct FakeIfTable {
  std::vector<std::uint8_t> table;

  GetIfTableFn Fn() {
    return [this](std::uint8_t* buffer, std::uint32_t* size, std::int32_t) -> std::uint32_t {
      const auto needed = static_cast<std::uint32_t>(table.size());
      if (buffer == nullptr || *size < needed) {
        *size = needed;
        return kStatusInsufficientBuffer;
      }
      std::copy(table.begin(), table.end(), buffer);
      return kStatusSuccess;
    };
  }
};

// GetIfTable2's marks, or its absence (no function) or failure (nothing).
struct FakeMarks {
  std::optional<std::vector<std::uint32_t>> answer;
  bool missing = false;
  int calls = 0;

  FilterMarksFn Fn() {
    if (missing) return {};
    return [this] {
      ++calls;
      return answer;
    };
  }
};

struct FakeSystem {
  FakeIfTable table;
  FakeMarks marks;
  CIpHelper reader{OneTablePerRead(table.Fn(), LeaveOutFilterModules(marks.Fn()))};

  explicit FakeSystem(const std::vector<Interface>& interfaces) {
    table.table = TableOf(interfaces);
    marks.answer = FilterIndexes(interfaces);
  }
};

std::vector<std::u16string> Descriptions(CIpHelper& reader) {
  std::vector<std::u16string> seen;
  for (const auto& record : *reader.Interfaces()) seen.push_back(record->InterfaceDescription());
  return seen;
}

std::u16string Described(const std::string& text) {
  return std::u16string(text.begin(), text.end()) + u'\0';
}

TEST(LaptopTable, EachAdapterCountsOnceAndNoFilterModuleIsListed) {
  const std::vector<Interface> laptop = Laptop();
  FakeSystem system(laptop);
  std::vector<std::u16string> expected;
  for (const Interface& i : laptop) {
    if (!i.filter) expected.push_back(Described(i.description));
  }
  EXPECT_EQ(Descriptions(system.reader), expected) << "in the table's own order";
  EXPECT_EQ(system.reader.BytesReceived(), double{kWifiIn} + kEthIn);
  EXPECT_EQ(system.reader.BytesSent(), double{kWifiOut} + kEthOut);
}

struct WithoutMarksCase {
  const char* what;
  bool missing;
};

void PrintTo(const WithoutMarksCase& c, std::ostream* os) { *os << c.what; }

class WithoutMarks : public testing::TestWithParam<WithoutMarksCase> {};

TEST_P(WithoutMarks, TheTableGoesThroughWhole) {
  const std::vector<Interface> laptop = Laptop();
  FakeSystem system(laptop);
  system.marks.missing = GetParam().missing;
  system.marks.answer.reset();
  CIpHelper reader(OneTablePerRead(system.table.Fn(), LeaveOutFilterModules(system.marks.Fn())));
  EXPECT_EQ(Descriptions(reader).size(), laptop.size());
  EXPECT_EQ(reader.BytesReceived(), 5.0 * kWifiIn + 4.0 * kEthIn);
}

INSTANTIATE_TEST_SUITE_P(Marks, WithoutMarks,
                         testing::Values(WithoutMarksCase{"GetIfTable2Missing", true},
                                         WithoutMarksCase{"GetIfTable2Fails", false}),
                         [](const auto& info) { return std::string(info.param.what); });

// The two tables are read at two moments: a filter module that came
// between them is in GetIfTable's rows but has no mark yet.
TEST(LaptopTable, AFilterRowTheMarksDoNotNameIsKept) {
  const std::vector<Interface> laptop = Laptop();
  FakeSystem system(laptop);
  std::erase(*system.marks.answer, 22u);
  const std::vector<std::u16string> seen = Descriptions(system.reader);
  EXPECT_EQ(std::count(seen.begin(), seen.end(),
                       Described(kWifiName + "-WFP 802.3 MAC Layer LightWeight Filter-0000")),
            1);
  EXPECT_EQ(seen.size(), 15u);
  EXPECT_EQ(system.reader.BytesReceived(), 2.0 * kWifiIn + kEthIn);
}

// Under Wine each ask is a whole enumeration of the interfaces: the marks
// are asked for again only when the indexes differ, or the last ask failed.
TEST(LaptopTable, TheMarksAreAskedForOnlyWhenTheIndexesChange) {
  std::vector<Interface> laptop = Laptop();
  FakeSystem system(laptop);
  for (int tick = 0; tick < 3; ++tick) Descriptions(system.reader);
  EXPECT_EQ(system.marks.calls, 1);

  laptop[12].in += 8000;  // the Wi-Fi adapter and its filter modules
  for (std::size_t i = 17; i <= 20; ++i) laptop[i].in += 8000;
  system.table.table = TableOf(laptop);
  Descriptions(system.reader);
  EXPECT_EQ(system.marks.calls, 1) << "only counters changed";
  EXPECT_EQ(system.reader.BytesReceived(), double{kWifiIn} + 8000 + kEthIn);

  // A capture driver binds to the Wi-Fi adapter: a new filter row.
  laptop.push_back(
      {40, kWifi, kWifiIn + 8000, kWifiOut, true, kWifiName + "-Npcap Packet Driver (NPCAP)-0000"});
  system.table.table = TableOf(laptop);
  system.marks.answer = FilterIndexes(laptop);
  EXPECT_EQ(Descriptions(system.reader).size(), 14u);
  EXPECT_EQ(system.marks.calls, 2);
  EXPECT_EQ(system.reader.BytesReceived(), double{kWifiIn} + 8000 + kEthIn);

  system.marks.answer.reset();
  laptop.pop_back();
  system.table.table = TableOf(laptop);
  EXPECT_EQ(Descriptions(system.reader).size(), laptop.size()) << "a failed ask leaves all in";
  EXPECT_EQ(Descriptions(system.reader).size(), laptop.size());
  EXPECT_EQ(system.marks.calls, 4) << "a failed ask is repeated at the next table";
  system.marks.answer = FilterIndexes(laptop);
  EXPECT_EQ(Descriptions(system.reader).size(), 14u);
}

// A table that grows each time it is asked for with too small a buffer
// (links arriving), so the kept copy cannot be fetched and the system's
// own answer goes to the caller: filter modules are left out of it too.
TEST(LaptopTable, FilterModulesAreLeftOutOfATableTheSystemHandsStraightOver) {
  std::vector<Interface> laptop = Laptop();
  FakeMarks marks;
  marks.answer = FilterIndexes(laptop);
  std::uint32_t next = 50;
  const GetIfTableFn growing = [&](std::uint8_t* buffer, std::uint32_t* size,
                                   std::int32_t) -> std::uint32_t {
    std::vector<std::uint8_t> table = TableOf(laptop);
    if (buffer == nullptr || *size < table.size()) {
      // The size of the table now; a link more by the next call.
      *size = static_cast<std::uint32_t>(table.size());
      laptop.push_back({next++, kEthernet, 0, 0, false, "Hyper-V Virtual Ethernet Adapter"});
      return kStatusInsufficientBuffer;
    }
    std::copy(table.begin(), table.end(), buffer);
    return kStatusSuccess;
  };
  const GetIfTableFn read = OneTablePerRead(growing, LeaveOutFilterModules(marks.Fn()));
  std::vector<std::uint8_t> buffer(64 * kIfRowSize);
  auto size = static_cast<std::uint32_t>(buffer.size());
  ASSERT_EQ(read(buffer.data(), &size, 0), kStatusSuccess);
  const auto filters = static_cast<std::uint32_t>(FilterIndexes(laptop).size());
  EXPECT_EQ(le::U32(buffer, 0), laptop.size() - filters);
  CIpHelper reader([&](std::uint8_t* out, std::uint32_t* outSize, std::int32_t) -> std::uint32_t {
    const std::uint32_t needed = kIfTableHeaderSize + le::U32(buffer, 0) * kIfRowSize;
    if (out == nullptr || *outSize < needed) {
      *outSize = needed;
      return kStatusInsufficientBuffer;
    }
    std::copy_n(buffer.begin(), needed, out);
    return kStatusSuccess;
  });
  EXPECT_EQ(Descriptions(reader).size(), laptop.size() - filters);
  EXPECT_EQ(reader.BytesReceived(), double{kWifiIn} + kEthIn);
}

}  // namespace
}  // namespace orv::windows_if
