#include "iftable/linux/if_row_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "iftable/le_fields.h"

namespace orv::linux_if {

void WriteIfRow(std::span<std::uint8_t, kIfRowSize> out, const IfRow& row) {
  std::uint8_t* p = out.data();
  std::memset(p, 0, kIfRowSize);

  const std::size_t units = std::min(row.name.size(), kNameUnits);
  for (std::size_t i = 0; i < units; ++i) {
    const auto u = static_cast<std::uint16_t>(row.name[i]);
    p[row_offset::kName + 2 * i] = static_cast<std::uint8_t>(u);
    p[row_offset::kName + 2 * i + 1] = static_cast<std::uint8_t>(u >> 8);
  }

  namespace o = row_offset;
  le::PutU32(out, o::kIndex, row.index);
  le::PutU32(out, o::kType, row.type);
  le::PutU32(out, o::kMtu, row.mtu);
  le::PutU32(out, o::kSpeed, row.speed);
  // The address field holds 8 bytes; a longer length would make a reader
  // believe in bytes that are not there.
  const std::uint32_t addrLen =
      std::min<std::uint32_t>(row.physAddrLen, static_cast<std::uint32_t>(kPhysAddrBytes));
  le::PutU32(out, o::kPhysAddrLen, addrLen);
  std::memcpy(p + o::kPhysAddr, row.physAddr.data(), addrLen);
  le::PutU32(out, o::kAdminStatus, row.adminStatus);
  le::PutU32(out, o::kOperStatus, row.operStatus);
  le::PutU32(out, o::kLastChange, row.lastChange);
  PatchCounters(out, row.counters);
  le::PutU32(out, o::kOutQLen, row.outQLen);
  const std::size_t descrLen = std::min(row.descr.size(), kDescrBytes);
  le::PutU32(out, o::kDescrLen, static_cast<std::uint32_t>(descrLen));
  std::memcpy(p + o::kDescr, row.descr.data(), descrLen);
}

void PatchCounters(std::span<std::uint8_t, kIfRowSize> row, const RowCounters& c) {
  namespace o = row_offset;
  le::PutU32(row, o::kInOctets, c.inOctets);
  le::PutU32(row, o::kInUcastPkts, c.inUcastPkts);
  le::PutU32(row, o::kInNUcastPkts, c.inNUcastPkts);
  le::PutU32(row, o::kInDiscards, c.inDiscards);
  le::PutU32(row, o::kInErrors, c.inErrors);
  le::PutU32(row, o::kInUnknownProtos, c.inUnknownProtos);
  le::PutU32(row, o::kOutOctets, c.outOctets);
  le::PutU32(row, o::kOutUcastPkts, c.outUcastPkts);
  le::PutU32(row, o::kOutNUcastPkts, c.outNUcastPkts);
  le::PutU32(row, o::kOutDiscards, c.outDiscards);
  le::PutU32(row, o::kOutErrors, c.outErrors);
}

std::uint32_t IfTableSize(std::size_t rows) {
  constexpr std::size_t kMaxRows =
      (std::numeric_limits<std::uint32_t>::max() - kIfTableHeaderSize) / kIfRowSize;
  if (rows > kMaxRows) return 0;
  return static_cast<std::uint32_t>(kIfTableHeaderSize + rows * kIfRowSize);
}

}  // namespace orv::linux_if
