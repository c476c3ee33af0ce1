#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The operating system's table of network interfaces, in the MIB_IFTABLE
// byte layout: a 4-byte little-endian row count followed by 860-byte rows.
namespace orv {

inline constexpr std::uint32_t kStatusSuccess = 0;
inline constexpr std::uint32_t kStatusNotSupported = 50;
inline constexpr std::uint32_t kStatusInsufficientBuffer = 122;

inline constexpr std::uint32_t kIfTableHeaderSize = 4;
inline constexpr std::uint32_t kIfRowSize = 860;

// Called with a null table, stores the bytes the table needs in *size.
// Called with a buffer of *size bytes, fills it and returns kStatusSuccess;
// a buffer smaller than needed gives kStatusInsufficientBuffer with the
// needed size stored. kStatusNotSupported: no table can be had.
using GetIfTableFn =
    std::function<std::uint32_t(std::uint8_t* table, std::uint32_t* size, std::int32_t order)>;

// The table of this machine (netlink on Linux, with /proc/net/dev as a
// fallback; the IP Helper call on Windows; kStatusNotSupported on any
// other system).
GetIfTableFn SystemIfTable();

// The text of a row's description: its bytes (those within its length,
// zero bytes included) decoded from the code page the table is written in.
using DecodeDescriptionFn = std::function<std::u16string(std::span<const std::uint8_t> bytes)>;

// This system's decoding: Windows writes descriptions in its ANSI code
// page (936, 1252...), the Linux table in UTF-8, Linux's own.
DecodeDescriptionFn SystemDescriptionDecoder();

}  // namespace orv

// Byte offsets of the fields inside one row, and the widths of its three
// arrays: the reader and the table sources lay rows out from these alone.
namespace orv::if_row {
inline constexpr std::size_t kName = 0;  // 256 UTF-16 code units
inline constexpr std::size_t kIndex = 512;
inline constexpr std::size_t kType = 516;
inline constexpr std::size_t kMtu = 520;
inline constexpr std::size_t kSpeed = 524;
inline constexpr std::size_t kPhysAddrLen = 528;
inline constexpr std::size_t kPhysAddr = 532;
inline constexpr std::size_t kAdminStatus = 540;
inline constexpr std::size_t kOperStatus = 544;
inline constexpr std::size_t kLastChange = 548;
inline constexpr std::size_t kInOctets = 552;
inline constexpr std::size_t kInUcastPkts = 556;
inline constexpr std::size_t kInNUcastPkts = 560;
inline constexpr std::size_t kInDiscards = 564;
inline constexpr std::size_t kInErrors = 568;
inline constexpr std::size_t kInUnknownProtos = 572;
inline constexpr std::size_t kOutOctets = 576;
inline constexpr std::size_t kOutUcastPkts = 580;
inline constexpr std::size_t kOutNUcastPkts = 584;
inline constexpr std::size_t kOutDiscards = 588;
inline constexpr std::size_t kOutErrors = 592;
inline constexpr std::size_t kOutQLen = 596;
inline constexpr std::size_t kDescrLen = 600;
inline constexpr std::size_t kDescr = 604;

inline constexpr std::size_t kNameUnits = 256;
inline constexpr std::size_t kPhysAddrBytes = 8;
inline constexpr std::size_t kDescrBytes = 256;
static_assert(kDescr + kDescrBytes == orv::kIfRowSize);
}  // namespace orv::if_row
