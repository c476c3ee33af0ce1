// One system call per read of the table: the size query's table is what
// the call right after it gets, and nothing else is answered from it.
#include "iftable/windows/one_table_per_read.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "iftable/le_fields.h"

namespace orv::windows_if {
namespace {

// A system table of `rows` rows whose in-octets all hold `generation`,
// counting the calls made to it.
struct FakeSystem {
  std::uint32_t rows = 2;
  std::uint32_t generation = 1;
  std::uint32_t status = kStatusSuccess;
  int calls = 0;

  GetIfTableFn Function() {
    return [this](std::uint8_t* table, std::uint32_t* size, std::int32_t) -> std::uint32_t {
      ++calls;
      if (status != kStatusSuccess) return status;
      const std::uint32_t needed = kIfTableHeaderSize + rows * kIfRowSize;
      if (table == nullptr || *size < needed) {
        *size = needed;
        return kStatusInsufficientBuffer;
      }
      std::span<std::uint8_t> bytes(table, needed);
      le::PutU32(bytes, 0, rows);
      for (std::uint32_t i = 0; i < rows; ++i) {
        le::PutU32(bytes, kIfTableHeaderSize + i * kIfRowSize + if_row::kInOctets, generation);
      }
      return kStatusSuccess;
    };
  }
};

struct Read {
  std::uint32_t status;
  std::uint32_t rows;
  std::uint32_t generation;  // of the last row
};

// The reader's two calls; `between` runs after the size query.
template <typename Between>
Read ReadTable(const GetIfTableFn& table, Between between) {
  std::uint32_t size = 0;
  if (table(nullptr, &size, 0) != kStatusInsufficientBuffer) return {1, 0, 0};
  between();
  std::vector<std::uint8_t> buffer(size, 0);
  const std::uint32_t status = table(buffer.data(), &size, 0);
  if (status != kStatusSuccess) return {status, 0, 0};
  const std::uint32_t rows = le::U32(buffer, 0);
  if (rows == 0 || buffer.size() < kIfTableHeaderSize + rows * kIfRowSize) return {status, rows, 0};
  return {status, rows,
          le::U32(buffer, kIfTableHeaderSize + (rows - 1) * kIfRowSize + if_row::kInOctets)};
}

TEST(OneTablePerRead, EachReadAsksTheSystemOnceAndSeesOneSnapshot) {
  FakeSystem system;
  const GetIfTableFn table = OneTablePerRead(system.Function());
  // The first read also learns the table's size: two calls.
  Read r = ReadTable(table, [] {});
  EXPECT_EQ(system.calls, 2);
  EXPECT_EQ(r.rows, 2u);
  for (std::uint32_t generation = 2; generation < 6; ++generation) {
    system.generation = generation;
    const int before = system.calls;
    r = ReadTable(table, [] {});
    EXPECT_EQ(system.calls - before, 1);
    EXPECT_EQ(r.status, kStatusSuccess);
    EXPECT_EQ(r.generation, generation);
  }
  // A table that grows and changes between the two calls: the read is the
  // size query's table, whole; the next read the new one.
  r = ReadTable(table, [&] {
    system.rows = 5;
    system.generation = 7;
  });
  EXPECT_EQ(r.status, kStatusSuccess);
  EXPECT_EQ(r.rows, 2u);
  EXPECT_EQ(r.generation, 5u);
  r = ReadTable(table, [] {});
  EXPECT_EQ(r.rows, 5u);
  EXPECT_EQ(r.generation, 7u);
}

TEST(OneTablePerRead, OnlyTheCallRightAfterTheSizeQueryIsAnsweredFromIt) {
  FakeSystem system;
  const GetIfTableFn table = OneTablePerRead(system.Function());
  std::uint32_t size = 0;
  ASSERT_EQ(table(nullptr, &size, 0), kStatusInsufficientBuffer);
  std::vector<std::uint8_t> buffer(size + kIfRowSize, 0xEE);
  // Another order is another table.
  system.generation = 3;
  std::uint32_t given = static_cast<std::uint32_t>(buffer.size());
  ASSERT_EQ(table(buffer.data(), &given, 1), kStatusSuccess);
  EXPECT_EQ(le::U32(buffer, kIfTableHeaderSize + kIfRowSize + if_row::kInOctets), 3u);
  EXPECT_EQ(buffer.back(), 0xEE) << "written past the rows";
  // A call with no size query before it reads the system anew.
  system.generation = 4;
  ASSERT_EQ(table(buffer.data(), &given, 0), kStatusSuccess);
  EXPECT_EQ(le::U32(buffer, kIfTableHeaderSize + if_row::kInOctets), 4u);
  // The system's refusals are its own, and the caller's buffer is untouched.
  for (const std::uint32_t refusal : {kStatusNotSupported, std::uint32_t{87}}) {
    system.status = refusal;
    std::vector<std::uint8_t> untouched(size, 0xAB);
    std::uint32_t asked = size;
    EXPECT_EQ(table(nullptr, &asked, 0), refusal);
    EXPECT_EQ(table(untouched.data(), &asked, 0), refusal);
    EXPECT_EQ(untouched[0], 0xAB);
  }
  EXPECT_NE(table(nullptr, nullptr, 0), kStatusSuccess);
}

}  // namespace
}  // namespace orv::windows_if
