#include "toolkit/win32/frame.h"

#include "toolkit/win32/form.h"
#include "toolkit/win32/label.h"

namespace orv::win32 {
namespace {

Win32Frame* FrameOf(HWND hwnd) {
  return reinterpret_cast<Win32Frame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

Win32Frame::Win32Frame(HWND hwnd, const Win32Form& form) : m_hwnd(hwnd), m_form(form) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Frame::Proc)));
}

Win32Frame::~Win32Frame() {
  if (IsWindow(m_hwnd) && FrameOf(m_hwnd) == this) Unwrap();
}

void Win32Frame::Unwrap() {
  SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
  SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
}

LRESULT CALLBACK Win32Frame::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Win32Frame* frame = FrameOf(hwnd);
  // The object is known before the procedure is wrapped and forgotten as
  // it is unwrapped; should anything else clear it, the class's own
  // procedure still runs.
  if (frame == nullptr) {
    return CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)), hwnd,
                           msg, wp, lp);
  }
  return frame->Handle(msg, wp, lp);
}

// The group box's own procedure paints no background and gives the
// controls it holds the system's colours.
LRESULT Win32Frame::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(m_hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, m_form.FaceBrush());
      return 1;
    }
    case WM_DRAWITEM:
      if (DrawLabelItem(lp)) return TRUE;
      break;
    case WM_NCDESTROY: {
      const WNDPROC previous = m_previous;
      Unwrap();
      return CallWindowProcW(previous, m_hwnd, msg, wp, lp);
    }
    default:
      if (const auto brush = m_form.ListColors(msg, wp, lp)) return *brush;
      break;
  }
  return CallWindowProcW(m_previous, m_hwnd, msg, wp, lp);
}

}  // namespace orv::win32
