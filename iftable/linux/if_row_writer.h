#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "iftable/if_table.h"

// One row of the interface table as the platform source fills it, and the
// writer that lays it out byte by byte in the 860-byte row format.
namespace orv::linux_if {

namespace row_offset = ::orv::if_row;
using if_row::kDescrBytes;
using if_row::kNameUnits;
using if_row::kPhysAddrBytes;

// The row's counter fields, the only ones that move while a link stays as
// it is.
struct RowCounters {
  std::uint32_t inOctets = 0;
  std::uint32_t inUcastPkts = 0;
  std::uint32_t inNUcastPkts = 0;
  std::uint32_t inDiscards = 0;
  std::uint32_t inErrors = 0;
  std::uint32_t inUnknownProtos = 0;
  std::uint32_t outOctets = 0;
  std::uint32_t outUcastPkts = 0;
  std::uint32_t outNUcastPkts = 0;
  std::uint32_t outDiscards = 0;
  std::uint32_t outErrors = 0;
};

struct IfRow {
  std::u16string name;  // at most 256 units are written; the rest is cut
  std::uint32_t index = 0;
  std::uint32_t type = 1;
  std::uint32_t mtu = 0;
  std::uint32_t speed = 0;
  std::uint32_t physAddrLen = 0;
  std::array<std::uint8_t, kPhysAddrBytes> physAddr{};
  std::uint32_t adminStatus = 0;
  std::uint32_t operStatus = 0;
  std::uint32_t lastChange = 0;
  RowCounters counters;
  std::uint32_t outQLen = 0;
  std::string descr;  // bytes of the description, at most 256 are written
};

// Writes all 860 bytes of the row, unused name units, address and
// description bytes as zeros. dwDescrLen is the number of bytes written.
void WriteIfRow(std::span<std::uint8_t, kIfRowSize> out, const IfRow& row);

// Stores the counter fields into a written row, leaving every other byte;
// WriteIfRow stores them the same way, so a row written whole and a row
// with only its counters patched in are the same bytes.
void PatchCounters(std::span<std::uint8_t, kIfRowSize> row, const RowCounters& c);

// Bytes a table of `rows` rows needs; 0 when that does not fit 32 bits.
std::uint32_t IfTableSize(std::size_t rows);

}  // namespace orv::linux_if
