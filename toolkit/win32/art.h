#pragma once

#include <windows.h>

namespace orv::win32 {

// The art's transparent colour. The build turns the PNG art's transparent
// pixels into this colour when it makes the resource bitmaps; drawing
// leaves pixels of it out.
inline constexpr COLORREF kArtTransparent = RGB(255, 0, 255);

}  // namespace orv::win32
