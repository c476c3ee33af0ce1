#pragma once

#include <windows.h>

#include <cstddef>

namespace orv::win32 {

// PNG art decoded by the system's own decoder (GDI+), so the program
// carries the compressed file rather than its pixels: the 2x banner as a
// 32-bit bitmap was larger than the rest of the program.
//
// The result is a 32-bit DIB section with straight alpha in its top byte
// (0xAARRGGBB), bottom row first as a bitmap resource loads, which is what
// PictureArt takes; null when the data is no
// image the system can read, or GDI+ cannot start. The caller owns it.
HBITMAP DecodePngArt(const void* data, std::size_t size);

// The RCDATA resource of that name, decoded; null when it is missing or
// unreadable.
HBITMAP LoadPngArt(HINSTANCE instance, const wchar_t* name);

}  // namespace orv::win32
