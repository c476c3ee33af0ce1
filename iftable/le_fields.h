#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orv::le {

// Fields of the interface table are little-endian whatever the host is,
// and rows sit at 4 + k * 860, so no field is aligned for its width: they
// are read and written byte by byte. The caller guarantees offset + width
// is inside the span; the checks here are only debug assertions of that.

inline std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  const auto b = bytes.subspan(offset, 4);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// The same 32 bits, as the signed properties hold them.
inline std::int32_t I32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int32_t>(U32(bytes, offset));
}

inline char16_t U16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  const auto b = bytes.subspan(offset, 2);
  return static_cast<char16_t>(b[0] | b[1] << 8);
}

inline void PutU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  const auto b = bytes.subspan(offset, 4);
  b[0] = static_cast<std::uint8_t>(value);
  b[1] = static_cast<std::uint8_t>(value >> 8);
  b[2] = static_cast<std::uint8_t>(value >> 16);
  b[3] = static_cast<std::uint8_t>(value >> 24);
}

}  // namespace orv::le
