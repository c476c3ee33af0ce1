#include "iftable/linux/if_row_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace orv::linux_if {

void StoreLe32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
  at[2] = static_cast<std::uint8_t>(value >> 16);
  at[3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint32_t LoadLe32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

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
  StoreLe32(p + o::kIndex, row.index);
  StoreLe32(p + o::kType, row.type);
  StoreLe32(p + o::kMtu, row.mtu);
  StoreLe32(p + o::kSpeed, row.speed);
  // The address field holds 8 bytes; a longer length would make a reader
  // believe in bytes that are not there.
  const std::uint32_t addrLen =
      std::min<std::uint32_t>(row.physAddrLen, static_cast<std::uint32_t>(kPhysAddrBytes));
  StoreLe32(p + o::kPhysAddrLen, addrLen);
  std::memcpy(p + o::kPhysAddr, row.physAddr.data(), addrLen);
  StoreLe32(p + o::kAdminStatus, row.adminStatus);
  StoreLe32(p + o::kOperStatus, row.operStatus);
  StoreLe32(p + o::kLastChange, row.lastChange);
  PatchCounters(out, row.counters);
  StoreLe32(p + o::kOutQLen, row.outQLen);
  const std::size_t descrLen = std::min(row.descr.size(), kDescrBytes);
  StoreLe32(p + o::kDescrLen, static_cast<std::uint32_t>(descrLen));
  std::memcpy(p + o::kDescr, row.descr.data(), descrLen);
}

void PatchCounters(std::span<std::uint8_t, kIfRowSize> row, const RowCounters& c) {
  namespace o = row_offset;
  std::uint8_t* p = row.data();
  StoreLe32(p + o::kInOctets, c.inOctets);
  StoreLe32(p + o::kInUcastPkts, c.inUcastPkts);
  StoreLe32(p + o::kInNUcastPkts, c.inNUcastPkts);
  StoreLe32(p + o::kInDiscards, c.inDiscards);
  StoreLe32(p + o::kInErrors, c.inErrors);
  StoreLe32(p + o::kInUnknownProtos, c.inUnknownProtos);
  StoreLe32(p + o::kOutOctets, c.outOctets);
  StoreLe32(p + o::kOutUcastPkts, c.outUcastPkts);
  StoreLe32(p + o::kOutNUcastPkts, c.outNUcastPkts);
  StoreLe32(p + o::kOutDiscards, c.outDiscards);
  StoreLe32(p + o::kOutErrors, c.outErrors);
}

std::uint32_t IfTableSize(std::size_t rows) {
  constexpr std::size_t kMaxRows =
      (std::numeric_limits<std::uint32_t>::max() - kIfTableHeaderSize) / kIfRowSize;
  if (rows > kMaxRows) return 0;
  return static_cast<std::uint32_t>(kIfTableHeaderSize + rows * kIfRowSize);
}

}  // namespace orv::linux_if
