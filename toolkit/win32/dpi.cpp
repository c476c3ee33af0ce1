#include "toolkit/win32/dpi.h"

namespace orv::win32 {
namespace {

// The per-window DPI calls exist only since Windows 10 1607; looked up by
// name so the program still starts on an older system. Looked up at each
// call (a lookup in a loaded module's export table), not kept in a static:
// its thread-safe initialisation would link the C++ library's guards and
// the threads library's condition variables into the program (3 kB).
template <class Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE loaded = GetModuleHandleW(module);
  if (loaded == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

template <class Fn>
Fn User32(const char* name) {
  return Lookup<Fn>(L"user32.dll", name);
}

}  // namespace

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  const auto getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
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
  const auto adjustForDpi = User32<AdjustFn>("AdjustWindowRectExForDpi");
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
  const auto metricForDpi = User32<MetricFn>("GetSystemMetricsForDpi");
  if (metricForDpi != nullptr) return metricForDpi(metric, static_cast<UINT>(dpi));
  return GetSystemMetrics(metric);
}

HICON LoadIconOfSide(HINSTANCE instance, const wchar_t* name, int side) {
  // Only in common controls 6, which the manifest asks for, and missing
  // from the toolchain's import library.
  using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  const auto scaleDown = Lookup<ScaleDownFn>(L"comctl32.dll", "LoadIconWithScaleDown");
  HICON icon = nullptr;
  if (scaleDown != nullptr && SUCCEEDED(scaleDown(instance, name, side, side, &icon))) {
    return icon;
  }
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
}

}  // namespace orv::win32
