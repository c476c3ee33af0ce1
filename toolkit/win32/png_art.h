#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv::win32 {

// An image's pixels, top row first, each 0xAARRGGBB with straight alpha.
struct ArtPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;

  bool empty() const { return argb.empty(); }
};

// PNG art decoded by the system's own decoder (GDI+), so the program
// carries the compressed file rather than its pixels: the 2x banner as a
// 32-bit bitmap was larger than the rest of the program.
//
// Empty when the data is no image the system can read, or GDI+ cannot
// start.
ArtPixels DecodePngArt(const void* data, std::size_t size);

// The RCDATA resource of that name, decoded; empty when it is missing or
// unreadable.
ArtPixels LoadPngArt(HINSTANCE instance, const wchar_t* name);

}  // namespace orv::win32
