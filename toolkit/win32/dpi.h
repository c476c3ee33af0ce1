#pragma once

#include <windows.h>

namespace orv::win32 {

// The resolution a window is drawn at: its monitor's for a per-monitor
// aware process on Windows 10 1607 and later, else the screen's.
int WindowDpi(HWND hwnd);

// The outer size of a window whose client area is width x height pixels.
SIZE OuterSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);

// An icon's side in pixels at a resolution: SM_CXICON or SM_CXSMICON.
int IconSize(int metric, int dpi);

// The icon resource of that name at side x side pixels: its nearest image
// at least that large, reduced smoothly (LoadImage alone would take the
// nearest of any size and stretch it); null when there is none.
HICON LoadIconOfSide(HINSTANCE instance, const wchar_t* name, int side);

}  // namespace orv::win32
