#pragma once

#include <windows.h>

#include <string>

#include "platform/controls.h"
#include "platform/form_description.h"
#include "toolkit/win32/color_scheme.h"

namespace orv::win32 {

// A label: an owner-drawn STATIC window, so the probe and screen readers
// still read its text, while its look (transparent or opaque, border,
// alignment, wrap) is drawn here the same under every theme.
class Win32Label final : public Label {
 public:
  // hwnd is a STATIC with SS_OWNERDRAW; colours.back is what it shows
  // behind its text, its container's ground when it is transparent.
  Win32Label(HWND hwnd, const ControlDescription& description, TextColors colours);
  Win32Label(const Win32Label&) = delete;
  Win32Label& operator=(const Win32Label&) = delete;

  std::u16string Caption() const override { return m_caption; }
  void Caption(std::u16string_view text) override;

  HWND Handle() const { return m_hwnd; }
  // Places it in its container's pixels; an auto-size label whose caption
  // has changed refits at once (a new resolution changes its text's size).
  void Place(RECT rect);
  void Draw(const DRAWITEMSTRUCT& item) const;
  // New colours, painted at once: the system's scheme changed.
  void Colours(TextColors colours);

 private:
  void Refit();
  // Space between the text and the box's edge: the border's pixel, and two
  // more on the sides so right-aligned digits do not touch it.
  int InsetX() const { return m_border ? 3 : 0; }
  int InsetY() const { return m_border ? 1 : 0; }

  HWND m_hwnd;
  std::u16string m_caption;
  TextColors m_colors;
  bool m_border;
  bool m_alignRight;
  bool m_wordWrap;
  bool m_autoSize;
  bool m_captionChanged = false;
};

// A label's WM_DRAWITEM, as the window holding it receives it: draws the
// label and returns true; false for an item that is no label.
bool DrawLabelItem(LPARAM drawItem);

}  // namespace orv::win32
