#pragma once

// Writes interface tables byte for byte at the row layout's offsets, so the
// reader's tests do not depend on any of the reader's own constants.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "iftable/if_table.h"
#include "platform/error.h"

namespace orv::test {

struct Row {
  std::u16string name;  // up to 256 units; the rest of the field stays zero
  std::uint32_t index = 0;
  std::uint32_t type = 0;
  std::uint32_t mtu = 0;
  std::uint32_t speed = 0;
  std::int32_t physAddrLen = 0;
  std::array<std::uint8_t, 8> physAddr{};
  std::uint32_t adminStatus = 0;
  std::uint32_t operStatus = 0;
  std::uint32_t lastChange = 0;
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
  std::uint32_t outQLen = 0;
  std::int32_t descrLen = 0;
  std::vector<std::uint8_t> descr;  // up to 256 bytes
};

inline void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out.at(at + 0) = static_cast<std::uint8_t>(v);
  out.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
  out.at(at + 2) = static_cast<std::uint8_t>(v >> 16);
  out.at(at + 3) = static_cast<std::uint8_t>(v >> 24);
}

inline void PutRow(std::vector<std::uint8_t>& out, std::size_t at, const Row& r) {
  for (std::size_t u = 0; u < r.name.size() && u < 256; ++u) {
    out.at(at + 2 * u) = static_cast<std::uint8_t>(r.name[u]);
    out.at(at + 2 * u + 1) = static_cast<std::uint8_t>(r.name[u] >> 8);
  }
  PutU32(out, at + if_row::kIndex, r.index);
  PutU32(out, at + if_row::kType, r.type);
  PutU32(out, at + if_row::kMtu, r.mtu);
  PutU32(out, at + if_row::kSpeed, r.speed);
  PutU32(out, at + if_row::kPhysAddrLen, static_cast<std::uint32_t>(r.physAddrLen));
  for (std::size_t j = 0; j < 8; ++j) out.at(at + if_row::kPhysAddr + j) = r.physAddr[j];
  PutU32(out, at + if_row::kAdminStatus, r.adminStatus);
  PutU32(out, at + if_row::kOperStatus, r.operStatus);
  PutU32(out, at + if_row::kLastChange, r.lastChange);
  PutU32(out, at + if_row::kInOctets, r.inOctets);
  PutU32(out, at + if_row::kInUcastPkts, r.inUcastPkts);
  PutU32(out, at + if_row::kInNUcastPkts, r.inNUcastPkts);
  PutU32(out, at + if_row::kInDiscards, r.inDiscards);
  PutU32(out, at + if_row::kInErrors, r.inErrors);
  PutU32(out, at + if_row::kInUnknownProtos, r.inUnknownProtos);
  PutU32(out, at + if_row::kOutOctets, r.outOctets);
  PutU32(out, at + if_row::kOutUcastPkts, r.outUcastPkts);
  PutU32(out, at + if_row::kOutNUcastPkts, r.outNUcastPkts);
  PutU32(out, at + if_row::kOutDiscards, r.outDiscards);
  PutU32(out, at + if_row::kOutErrors, r.outErrors);
  PutU32(out, at + if_row::kOutQLen, r.outQLen);
  PutU32(out, at + if_row::kDescrLen, static_cast<std::uint32_t>(r.descrLen));
  for (std::size_t j = 0; j < r.descr.size() && j < 256; ++j)
    out.at(at + if_row::kDescr + j) = r.descr[j];
}

// A table of the given rows; `count` overrides the entry count written at
// offset 0 (for tables whose count lies).
inline std::vector<std::uint8_t> BuildTable(const std::vector<Row>& rows,
                                            std::optional<std::int32_t> count = std::nullopt) {
  std::vector<std::uint8_t> out(4 + rows.size() * 860, 0);
  PutU32(out, 0,
         static_cast<std::uint32_t>(count.value_or(static_cast<std::int32_t>(rows.size()))));
  for (std::size_t i = 0; i < rows.size(); ++i) PutRow(out, 4 + i * 860, rows[i]);
  return out;
}

// A stand-in for the system's table call, driven by the test that owns it.
struct FakeTable {
  std::vector<std::uint8_t> table;
  std::uint32_t sizeStatus = kStatusInsufficientBuffer;
  std::uint32_t dataStatus = kStatusSuccess;
  std::optional<std::uint32_t> reportedSize;  // size query answer; default table.size()
  std::optional<std::uint32_t> writtenSize;   // size stored by the data call; default unchanged
  bool throwAtSize = false;
  bool throwAtData = false;

  // What the reader did.
  int sizeCalls = 0;
  int dataCalls = 0;
  std::vector<std::int32_t> orders;
  std::uint32_t dataCallSize = 0;
  bool dataBufferWasZero = true;

  GetIfTableFn Fn() {
    return [this](std::uint8_t* buffer, std::uint32_t* size, std::int32_t order) -> std::uint32_t {
      orders.push_back(order);
      if (buffer == nullptr) {
        ++sizeCalls;
        if (throwAtSize) throw Error(ErrorCode::NotFound, "table call not available");
        *size = reportedSize.value_or(static_cast<std::uint32_t>(table.size()));
        return sizeStatus;
      }
      ++dataCalls;
      if (throwAtData) throw Error(ErrorCode::NotFound, "table call not available");
      dataCallSize = *size;
      for (std::uint32_t i = 0; i < *size; ++i)
        dataBufferWasZero = dataBufferWasZero && buffer[i] == 0;
      const std::size_t n = std::min<std::size_t>(*size, table.size());
      std::copy(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(n), buffer);
      if (writtenSize) *size = *writtenSize;
      return dataStatus;
    };
  }
};

}  // namespace orv::test
