#include "iftable/linux/if_row_writer.h"

#include <gtest/gtest.h>

#include <array>

#include "iftable/le_fields.h"

namespace orv::linux_if {
namespace {

std::array<std::uint8_t, kIfRowSize> Write(const IfRow& row) {
  std::array<std::uint8_t, kIfRowSize> buf;
  buf.fill(0xAA);  // anything left unwritten shows
  WriteIfRow(buf, row);
  return buf;
}

TEST(IfRowWriter, EveryFieldAtItsOffsetLittleEndian) {
  IfRow row;
  RowCounters& c = row.counters;
  std::uint32_t* const fields[] = {
      &row.index,       &row.type,       &row.mtu,           &row.speed,     &row.adminStatus,
      &row.operStatus,  &row.lastChange, &c.inOctets,        &c.inUcastPkts, &c.inNUcastPkts,
      &c.inDiscards,    &c.inErrors,     &c.inUnknownProtos, &c.outOctets,   &c.outUcastPkts,
      &c.outNUcastPkts, &c.outDiscards,  &c.outErrors,       &row.outQLen,
  };
  const std::size_t offsets[] = {512, 516, 520, 524, 540, 544, 548, 552, 556, 560,
                                 564, 568, 572, 576, 580, 584, 588, 592, 596};
  static_assert(std::size(fields) == std::size(offsets));
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    *fields[i] = 0x01020300u + static_cast<std::uint32_t>(i);
  }
  const auto buf = Write(row);
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    const std::size_t at = offsets[i];
    EXPECT_EQ(buf[at], i) << at;
    EXPECT_EQ(buf[at + 1], 0x03) << at;
    EXPECT_EQ(buf[at + 2], 0x02) << at;
    EXPECT_EQ(buf[at + 3], 0x01) << at;
  }
  // The fields without a setter above are zero: length fields and texts.
  for (std::size_t at : {528u, 600u}) EXPECT_EQ(le::U32(buf, at), 0u) << at;
}

TEST(IfRowWriter, NameIsUtf16LittleEndianAndZeroPadded) {
  IfRow row;
  row.name = u"e\u20AC";
  const auto buf = Write(row);
  EXPECT_EQ(buf[0], 'e');
  EXPECT_EQ(buf[1], 0);
  EXPECT_EQ(buf[2], 0xAC);
  EXPECT_EQ(buf[3], 0x20);
  for (std::size_t i = 4; i < 512; ++i) ASSERT_EQ(buf[i], 0) << i;
}

TEST(IfRowWriter, OverlongTextsStopAtTheirFields) {
  IfRow row;
  row.name = std::u16string(300, u'n');
  row.descr = std::string(300, 'd');
  row.index = 0x11223344;
  const auto buf = Write(row);
  EXPECT_EQ(buf[510], 'n');
  EXPECT_EQ(le::U32(buf, 512), 0x11223344u);
  EXPECT_EQ(le::U32(buf, 600), 256u);
  EXPECT_EQ(buf[604], 'd');
  EXPECT_EQ(buf[859], 'd');
}

TEST(IfRowWriter, AddressLengthAndBytes) {
  struct Case {
    std::uint32_t len;
    std::uint32_t written;
  };
  for (const auto c : {Case{0, 0}, Case{6, 6}, Case{8, 8}, Case{20, 8}}) {
    IfRow row;
    row.physAddrLen = c.len;
    row.physAddr = {1, 2, 3, 4, 5, 6, 7, 8};
    const auto buf = Write(row);
    EXPECT_EQ(le::U32(buf, 528), c.written) << c.len;
    for (std::size_t j = 0; j < 8; ++j) {
      EXPECT_EQ(buf[532 + j], j < c.written ? j + 1 : 0) << c.len << " " << j;
    }
  }
}

TEST(IfRowWriter, DescriptionBytesAndLength) {
  IfRow row;
  row.descr = std::string("a\0b", 3);
  const auto buf = Write(row);
  EXPECT_EQ(le::U32(buf, 600), 3u);
  EXPECT_EQ(buf[604], 'a');
  EXPECT_EQ(buf[605], 0);
  EXPECT_EQ(buf[606], 'b');
  for (std::size_t i = 607; i < kIfRowSize; ++i) ASSERT_EQ(buf[i], 0) << i;
}

TEST(IfRowWriter, TableSize) {
  EXPECT_EQ(IfTableSize(0), 4u);
  EXPECT_EQ(IfTableSize(1), 864u);
  EXPECT_EQ(IfTableSize(1000), 860004u);
  const std::size_t most = (0xFFFFFFFFu - 4) / 860;
  EXPECT_EQ(IfTableSize(most), 4 + most * 860);
  EXPECT_EQ(IfTableSize(most + 1), 0u);
}

}  // namespace
}  // namespace orv::linux_if
