#pragma once

#include <cstdint>

namespace orv {

// A colour as 0x00BBGGRR: red in the lowest byte.
using Color = std::uint32_t;

inline constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return Color{r} | (Color{g} << 8) | (Color{b} << 16);
}

inline constexpr std::uint8_t RedOf(Color c) { return c & 0xFF; }
inline constexpr std::uint8_t GreenOf(Color c) { return (c >> 8) & 0xFF; }
inline constexpr std::uint8_t BlueOf(Color c) { return (c >> 16) & 0xFF; }

}  // namespace orv
