#pragma once

#include <windows.h>

namespace orv::win32 {

class Win32Form;

// A frame: a group box that paints the window's face behind the controls
// it holds, gives its list the form's colours and draws its labels. Its
// own procedure is wrapped in the plain way, the previous one kept here:
// the common controls' subclassing looks its data up in a window property
// on every message, and under Wine each look-up is a round trip to its
// server (six for every label whose text changes).
class Win32Frame final {
 public:
  // hwnd is a BUTTON with BS_GROUPBOX in the form's window.
  Win32Frame(HWND hwnd, const Win32Form& form);
  ~Win32Frame();
  Win32Frame(const Win32Frame&) = delete;
  Win32Frame& operator=(const Win32Frame&) = delete;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  // Hands the window back to its own procedure.
  void Unwrap();

  HWND m_hwnd;
  const Win32Form& m_form;
  WNDPROC m_previous = nullptr;
};

}  // namespace orv::win32
