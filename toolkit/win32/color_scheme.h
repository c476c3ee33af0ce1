#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "platform/form_description.h"

namespace orv::win32 {

// What a text is painted in: its colour and the ground behind it.
struct TextColors {
  COLORREF text;
  COLORREF back;
};

// The colours of the window's texts, grounds and frames: the layout's,
// every blank cell resolved, or, while Windows' high contrast is on, the
// system's, because that is what its users switched it on for. The
// layout's fields (its standard window colour) take the system's window
// colours, everything else its face colours. The graph and the banner's
// art keep their own colours either way.
class ColorScheme {
 public:
  explicit ColorScheme(const FormDescription& form);
  ~ColorScheme();
  ColorScheme(const ColorScheme&) = delete;
  ColorScheme& operator=(const ColorScheme&) = delete;

  // Reads the mode and the system's colours again; true when anything the
  // window paints changes.
  bool Refresh();
  bool HighContrast() const { return m_highContrast; }

  // The window's face, which its frames and transparent labels show.
  COLORREF Face() const { return m_face; }
  HBRUSH FaceBrush() const { return m_faceBrush; }
  // A label's or a list's text and what shows behind it.
  TextColors ColorsOf(const ControlDescription& d) const;

 private:
  TextColors Map(Color text, Color back) const;

  const FormDescription& m_form;
  bool m_highContrast = false;
  COLORREF m_face = 0;
  TextColors m_systemFace{};
  TextColors m_systemField{};
  HBRUSH m_faceBrush = nullptr;
};

// Whether Windows' high-contrast mode is on.
bool HighContrastOn();

// The high-contrast flags as the registry keeps them, a decimal number in
// a string; nothing when the text is not one.
std::optional<DWORD> ParseHighContrastFlags(std::wstring_view text);

}  // namespace orv::win32
