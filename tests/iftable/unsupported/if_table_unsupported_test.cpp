// The table of a system without a table source: every call is refused as
// "not supported", nothing is written, and the reader lists no interface.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "iftable/if_table.h"
#include "stats/cip_helper.h"

namespace orv {
namespace {

TEST(UnsupportedIfTable, RefusesEveryCallAndTheReaderListsNoInterface) {
  const GetIfTableFn table = SystemIfTable();
  std::uint32_t size = 0;
  EXPECT_EQ(table(nullptr, &size, 0), kStatusNotSupported);

  const std::vector<std::uint8_t> untouched(kIfTableHeaderSize + kIfRowSize, 0xAB);
  std::vector<std::uint8_t> buffer = untouched;
  size = static_cast<std::uint32_t>(buffer.size());
  EXPECT_EQ(table(buffer.data(), &size, 1), kStatusNotSupported);
  EXPECT_EQ(size, buffer.size());
  EXPECT_EQ(buffer, untouched);

  CIpHelper reader(table);
  const auto interfaces = reader.Interfaces();
  ASSERT_NE(interfaces, nullptr);
  EXPECT_EQ(interfaces->Count(), 0);
  EXPECT_EQ(reader.BytesReceived(), 0.0);
  EXPECT_EQ(reader.BytesSent(), 0.0);
}

}  // namespace
}  // namespace orv
