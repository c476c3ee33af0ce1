#pragma once

#include <windows.h>

#include <cwchar>

// The STATIC that Active Accessibility names a control by when the
// control shows no text of its own: the nearest one before it in z-order
// (above it), found walking towards the top and ending at a window that
// starts a group of tab stops (WS_GROUP and WS_TABSTOP both). A screen
// reader also reads a STATIC just above a control right before it.
// Null when there is none.
inline HWND MsaaCaptionOf(HWND control) {
  for (HWND w = GetWindow(control, GW_HWNDPREV); w != nullptr; w = GetWindow(w, GW_HWNDPREV)) {
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (_wcsicmp(cls, L"Static") == 0) return w;
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    if ((style & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) return nullptr;
  }
  return nullptr;
}
