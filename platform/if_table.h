#pragma once

#include <cstdint>
#include <functional>

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
// fallback; the IP Helper call on Windows).
GetIfTableFn SystemIfTable();

}  // namespace orv
