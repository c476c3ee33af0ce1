// The IP Helper table source: the lookup of the call, its refusals, and
// real reads of the system's table (Wine's, when run here).
#include "iftable/windows/if_table_windows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "iftable/le_fields.h"
#include "stats/cip_helper.h"

namespace orv::windows_if {
namespace {

// The size the system's table needs now; fails the test when the size
// query does not answer as documented.
std::uint32_t NeededSize(const GetIfTableFn& table) {
  std::uint32_t needed = 0;
  EXPECT_EQ(table(nullptr, &needed, 0), kStatusInsufficientBuffer);
  return needed;
}

struct MissingCase {
  const char* what;
  const wchar_t* library;
  const char* function;
};

void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.what; }

class MissingTableCall : public testing::TestWithParam<MissingCase> {};

TEST_P(MissingTableCall, EveryCallIsNotSupportedAndTheReaderShowsNoInterface) {
  const MissingCase& c = GetParam();
  const GetIfTableFn table = IfTableFromLibrary(c.library, c.function);
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::uint32_t size = 0;
    EXPECT_EQ(table(nullptr, &size, 0), kStatusNotSupported) << "attempt " << attempt;
    std::vector<std::uint8_t> buffer(4096, 0xAB);
    size = static_cast<std::uint32_t>(buffer.size());
    EXPECT_EQ(table(buffer.data(), &size, 1), kStatusNotSupported) << "attempt " << attempt;
    EXPECT_EQ(buffer[0], 0xAB) << "nothing may be written without a call";
  }
  CIpHelper reader(table);
  const auto interfaces = reader.Interfaces();
  ASSERT_NE(interfaces, nullptr);
  EXPECT_EQ(interfaces->Count(), 0);
  EXPECT_EQ(reader.BytesReceived(), 0.0);
  EXPECT_EQ(reader.BytesSent(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, MissingTableCall,
    testing::Values(MissingCase{"LibraryMissing", L"orv-no-such-library.dll", "GetIfTable"},
                    MissingCase{"FunctionMissing", L"iphlpapi.dll", "OrvNoSuchFunction"},
                    MissingCase{"FunctionInAnotherLibrary", L"kernel32.dll", "GetIfTable"}),
    [](const auto& info) { return std::string(info.param.what); });

// Whatever the code page, a zero byte within the length is a character of
// the text, not its end (the system's descriptions count their own).
TEST(SystemDescriptionDecoder, KeepsZeroBytesAndDecodesNothingToNothing) {
  const DecodeDescriptionFn decode = SystemDescriptionDecoder();
  const std::vector<std::uint8_t> bytes{'l', 'o', 0, 'x', 0};
  EXPECT_EQ(decode(bytes), std::u16string(u"lo\0x\0", 5));
  EXPECT_EQ(decode({}), u"");
}

TEST(FilterMarks, MissingLibraryOrFunctionGivesNoMarks) {
  EXPECT_FALSE(FilterMarksFromLibrary(L"orv-no-such-library.dll")());
  EXPECT_FALSE(FilterMarksFromLibrary(L"kernel32.dll")());
}

// Wine's GetIfTable2 answers, and none of its rows (Linux links) is a
// filter module: the table the window reads is the whole one.
TEST(SystemIfTable, WineMarksNoFilterModuleSoNoRowIsLeftOut) {
  const auto marks = SystemFilterMarks()();
  ASSERT_TRUE(marks.has_value());
  EXPECT_TRUE(marks->empty());
  CIpHelper whole(WholeSystemIfTable());
  CIpHelper window(SystemIfTable());
  EXPECT_EQ(window.Interfaces()->Count(), whole.Interfaces()->Count());
}

TEST(SystemIfTable, SizeQueryThenReadFillsTheCallersBufferWithWholeRows) {
  const GetIfTableFn table = SystemIfTable();
  const std::uint32_t needed = NeededSize(table);
  ASSERT_GE(needed, kIfTableHeaderSize + kIfRowSize) << "not even a loopback row";
  ASSERT_EQ((needed - kIfTableHeaderSize) % kIfRowSize, 0u) << needed;

  std::vector<std::uint8_t> buffer(needed, 0);
  std::uint32_t size = needed;
  ASSERT_EQ(table(buffer.data(), &size, 0), kStatusSuccess);
  const std::uint32_t count = le::U32(buffer, 0);
  // The rows below are read only where the buffer holds them.
  ASSERT_EQ(count, (needed - kIfTableHeaderSize) / kIfRowSize);

  std::set<std::uint32_t> indexes;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t row = kIfTableHeaderSize + i * kIfRowSize;
    const std::uint32_t index = le::U32(buffer, row + if_row::kIndex);
    EXPECT_NE(index, 0u) << "row " << i;
    EXPECT_TRUE(indexes.insert(index).second) << "index " << index << " twice";
    EXPECT_LE(le::U32(buffer, row + if_row::kPhysAddrLen), if_row::kPhysAddrBytes) << "row " << i;
    EXPECT_LE(le::U32(buffer, row + if_row::kDescrLen), if_row::kDescrBytes) << "row " << i;
  }

  CIpHelper reader(table);
  EXPECT_EQ(reader.Interfaces()->Count(), static_cast<std::int32_t>(count));
}

TEST(SystemIfTable, ABufferTooSmallIsRefusedWithTheNeededSizeStored) {
  const GetIfTableFn table = SystemIfTable();
  const std::uint32_t needed = NeededSize(table);
  ASSERT_GT(needed, kIfTableHeaderSize);
  for (const std::uint32_t given : {0u, 1u, kIfTableHeaderSize, needed - 1}) {
    std::vector<std::uint8_t> buffer(needed, 0xCD);
    std::uint32_t size = given;
    EXPECT_EQ(table(buffer.data(), &size, 0), kStatusInsufficientBuffer) << "given " << given;
    EXPECT_EQ(size, needed) << "given " << given;
  }
}

TEST(SystemIfTable, ALargerBufferHoldsTheTableAtItsStart) {
  const GetIfTableFn table = SystemIfTable();
  const std::uint32_t needed = NeededSize(table);
  std::vector<std::uint8_t> buffer(needed + 3 * kIfRowSize, 0xEE);
  std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
  ASSERT_EQ(table(buffer.data(), &size, 0), kStatusSuccess);
  const std::uint32_t count = le::U32(buffer, 0);
  EXPECT_EQ(count, (needed - kIfTableHeaderSize) / kIfRowSize);
  EXPECT_EQ(buffer.back(), 0xEE) << "written past the rows";
}

TEST(SystemIfTable, NoSizeIsRefused) {
  const GetIfTableFn table = SystemIfTable();
  std::vector<std::uint8_t> buffer(64 * 1024, 0);
  EXPECT_NE(table(buffer.data(), nullptr, 0), kStatusSuccess);
  EXPECT_NE(table(nullptr, nullptr, 0), kStatusSuccess);
}

TEST(SystemIfTable, FirstCallsRacingFromSeveralThreadsAllGetTheTable) {
  const GetIfTableFn table = SystemIfTable();
  constexpr int kThreads = 8;
  std::vector<std::uint32_t> statuses(kThreads, 0);
  std::vector<std::uint32_t> sizes(kThreads, 0);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    // Each thread holds a copy: copies share one lookup.
    threads.emplace_back(
        [table, &statuses, &sizes, i] { statuses[i] = table(nullptr, &sizes[i], 0); });
  }
  for (auto& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(statuses[i], kStatusInsufficientBuffer) << "thread " << i;
    EXPECT_EQ(sizes[i], sizes[0]) << "thread " << i;
  }
  EXPECT_GE(sizes[0], kIfTableHeaderSize + kIfRowSize);
}

}  // namespace
}  // namespace orv::windows_if
