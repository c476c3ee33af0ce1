#include "toolkit/win32/picture_box.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "platform/changed_pixels.h"
#include "platform/error.h"
#include "platform/segment_clip.h"
#include "platform/surface_contract.h"
#include "toolkit/win32/color.h"
#include "toolkit/win32/label.h"

namespace orv::win32 {
namespace {

Win32PictureBox* BoxOf(HWND hwnd) {
  return reinterpret_cast<Win32PictureBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

void RegisterPictureClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32PictureBox::Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kPictureClass;
  // A second registration in the same process fails harmlessly.
  RegisterClassExW(&wc);
}

Win32PictureBox::Win32PictureBox(HWND hwnd, Color backColor, std::unique_ptr<PictureArt> art)
    : m_hwnd(hwnd), m_backColor(backColor & 0x00FFFFFF), m_art(std::move(art)) {
  HDC screen = GetDC(nullptr);
  m_dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  RECT client{};
  GetClientRect(hwnd, &client);
  Resize(client.right, client.bottom);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32PictureBox::~Win32PictureBox() {
  if (IsWindow(m_hwnd) && BoxOf(m_hwnd) == this) SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
  SelectObject(m_dc, m_initialBitmap);
  SelectObject(m_dc, GetStockObject(BLACK_PEN));
  if (m_bitmap != nullptr) DeleteObject(m_bitmap);
  if (m_pen != nullptr) DeleteObject(m_pen);
  DeleteDC(m_dc);
}

void Win32PictureBox::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == m_width && height == m_height) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP grown = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  // Out of memory: keep the image there is, which drawing clips to.
  if (grown == nullptr) return;
  HDC old = CreateCompatibleDC(m_dc);
  HGDIOBJ oldSelected = nullptr;
  const bool hadImage = m_bitmap != nullptr;
  HGDIOBJ previous = SelectObject(m_dc, grown);
  if (m_initialBitmap == nullptr) m_initialBitmap = previous;
  const HBITMAP previousImage = m_bitmap;
  const int previousWidth = m_width;
  const int previousHeight = m_height;
  m_bitmap = grown;
  m_bits = static_cast<const std::uint32_t*>(bits);
  m_width = width;
  m_height = height;
  // The new image starts as the cleared background (and art); drawing
  // done on the old one is kept on top.
  const bool drawn = m_drawn;
  FillBackground();
  m_drawn = drawn;
  if (hadImage && drawn) {
    oldSelected = SelectObject(old, previousImage);
    BitBlt(m_dc, 0, 0, previousWidth, previousHeight, old, 0, 0, SRCCOPY);
    SelectObject(old, oldSelected);
  }
  if (previousImage != nullptr) DeleteObject(previousImage);
  DeleteDC(old);
}

void Win32PictureBox::FillBackground() {
  m_drawn = false;
  HBRUSH back = CreateSolidBrush(ToColorRef(m_backColor));
  RECT all{0, 0, m_width, m_height};
  FillRect(m_dc, &all, back);
  DeleteObject(back);
  if (m_art) m_art->Draw(m_dc, m_dpi);
  Invalidate();
}

void Win32PictureBox::Place(RECT r, int dpi) {
  const bool newDpi = dpi != m_dpi;
  const int width = m_width;
  const int height = m_height;
  // Before the move: a new size redraws the art (WM_SIZE), at this dpi.
  m_dpi = dpi;
  MoveWindow(m_hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
  // Drawing, where there is any, lies over the art.
  if (newDpi && m_art && !m_drawn && width == m_width && height == m_height) FillBackground();
}

void Win32PictureBox::Cls() { FillBackground(); }

void Win32PictureBox::ScaleMode(std::int16_t mode) {
  CheckScaleMode(mode);
  m_scaleMode = mode;
}

void Win32PictureBox::BackColor(Color color) {
  m_backColor = color & 0x00FFFFFF;
  FillBackground();
}

// Any unit other than pixels is taken as twips.
float Win32PictureBox::ScaleWidth() const {
  return static_cast<float>(m_scaleMode == kScaleModePixels ? m_width : m_width * 1440.0 / m_dpi);
}

float Win32PictureBox::ScaleHeight() const {
  return static_cast<float>(m_scaleMode == kScaleModePixels ? m_height : m_height * 1440.0 / m_dpi);
}

// The pen stays selected between lines: a graph draws a hundred and more
// of them in two colours, and each selection is a call into the system.
// The one it replaces is deleted once it is no longer selected.
void Win32PictureBox::SelectPen(Color color) {
  if (m_pen != nullptr && color == m_penColor) return;
  HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(color));
  SelectObject(m_dc, pen);
  if (m_pen != nullptr) DeleteObject(m_pen);
  m_pen = pen;
  m_penColor = color;
}

void Win32PictureBox::Line(std::int16_t flags, float x1, float y1, float x2, float y2,
                           Color color) {
  const double scale = m_scaleMode == kScaleModePixels ? 1.0 : m_dpi / 1440.0;
  std::array<double, 4> c = DeviceLineCorners(flags, x1, y1, x2, y2, scale);
  const COLORREF ink = ToColorRef(color & 0x00FFFFFF);
  const double lo = -2.0;
  const double hiX = m_width + 2.0;
  const double hiY = m_height + 2.0;
  SelectPen(color & 0x00FFFFFF);
  if (flags == kLineBox) {
    // Clamping the corners of an axis-aligned outline keeps every visible
    // pixel of it. The outline covers both corner pixels, as a segment
    // does; GDI's Rectangle leaves out the right and bottom ones.
    const int l = static_cast<int>(std::floor(std::clamp(std::min(c[0], c[2]), lo, hiX)));
    const int r = static_cast<int>(std::floor(std::clamp(std::max(c[0], c[2]), lo, hiX)));
    const int t = static_cast<int>(std::floor(std::clamp(std::min(c[1], c[3]), lo, hiY)));
    const int b = static_cast<int>(std::floor(std::clamp(std::max(c[1], c[3]), lo, hiY)));
    HGDIOBJ oldBrush = SelectObject(m_dc, GetStockObject(NULL_BRUSH));
    Rectangle(m_dc, l, t, r + 1, b + 1);
    SelectObject(m_dc, oldBrush);
  } else if (ClipSegment(c[0], c[1], c[2], c[3], lo, lo, hiX, hiY)) {
    const int ax = static_cast<int>(std::lround(c[0]));
    const int ay = static_cast<int>(std::lround(c[1]));
    const int bx = static_cast<int>(std::lround(c[2]));
    const int by = static_cast<int>(std::lround(c[3]));
    MoveToEx(m_dc, ax, ay, nullptr);
    LineTo(m_dc, bx, by);
    // LineTo stops one pixel short; the segment includes its end.
    SetPixelV(m_dc, bx, by, ink);
  }
  m_drawn = true;
  Invalidate();
}

Color Win32PictureBox::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
    throw Error(ErrorCode::InvalidCall, "pixel outside the picture");
  }
  GdiFlush();
  const std::uint32_t bgr = m_bits[static_cast<std::size_t>(y) * m_width + x];
  return Rgb((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

void Win32PictureBox::Invalidate() {
  if (m_invalid || m_holds > 0) return;
  m_invalid = InvalidateRect(m_hwnd, nullptr, FALSE) != 0;
}

void Win32PictureBox::SendChanges() {
  if (m_holds == 0 || --m_holds > 0) return;
  GdiFlush();
  const PixelBox box = TakeChangedPixels(m_bits, m_width, m_height, m_width, m_sent);
  if (box.Empty() || m_invalid) return;
  PaintNow(RECT{box.left, box.top, box.right, box.bottom});
}

// The changed pixels go to the screen at once, through the window's own
// device context. Marking them for a WM_PAINT instead costs, under Wine,
// seven round trips to its server (the invalidation, the paint's message,
// its update region twice, hiding and showing the caret, its visible
// region); what the window shows is the same, and a paint of any other
// cause still comes from the kept image.
void Win32PictureBox::PaintNow(const RECT& r) {
  HDC dc = GetDC(m_hwnd);
  if (dc == nullptr) {
    InvalidateRect(m_hwnd, &r, FALSE);
    return;
  }
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_dc, r.left, r.top, SRCCOPY);
  ReleaseDC(m_hwnd, dc);
  ++m_paints;
}

void Win32PictureBox::Paint() {
  m_invalid = false;
  ++m_paints;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hwnd, &ps);
  const RECT& r = ps.rcPaint;
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_dc, r.left, r.top, SRCCOPY);
  EndPaint(m_hwnd, &ps);
}

LRESULT CALLBACK Win32PictureBox::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Win32PictureBox* box = BoxOf(hwnd);
  switch (msg) {
    case WM_PAINT:
      if (box == nullptr) break;
      box->Paint();
      return 0;
    case WM_ERASEBKGND:
      // The image covers the whole inner area.
      return box != nullptr ? 1 : DefWindowProcW(hwnd, msg, wp, lp);
    case WM_SIZE:
      if (box != nullptr) box->Resize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_DRAWITEM:
      // Labels placed on the picture.
      if (DrawLabelItem(lp)) return TRUE;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace orv::win32
