#pragma once

#include <windows.h>

#include "platform/color.h"

namespace orv::win32 {

// Our colours and GDI's share the 0x00BBGGRR layout; this drops whatever
// the top byte holds, which GDI would read as a palette flag.
inline COLORREF ToColorRef(Color c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

}  // namespace orv::win32
