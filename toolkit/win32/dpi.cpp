#include "toolkit/win32/dpi.h"

namespace orv::win32 {
namespace {

// The per-window DPI calls exist only since Windows 10 1607; looked up by
// name so the program still starts on an older system.
template <class Fn>
Fn User32(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && hwnd != nullptr) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

SIZE OuterSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32<AdjustFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, width, height};
  if (adjustForDpi != nullptr) {
    adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

int IconSize(int metric, int dpi) {
  using MetricFn = int(WINAPI*)(int, UINT);
  static const auto metricForDpi = User32<MetricFn>("GetSystemMetricsForDpi");
  if (metricForDpi != nullptr) return metricForDpi(metric, static_cast<UINT>(dpi));
  return GetSystemMetrics(metric);
}

}  // namespace orv::win32
