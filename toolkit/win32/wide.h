#pragma once

#include <string>
#include <string_view>

namespace orv::win32 {

// Windows' wchar_t is a UTF-16 unit, so text passes unit for unit.
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

// The text as Windows' own controls show it: up to its first NUL unit.
// The list box and the window text end there by themselves; what is
// drawn here must too, or the NUL shows as a box.
inline std::wstring Shown(std::u16string_view text) {
  return Wide(text.substr(0, text.find(u'\0')));
}

inline std::u16string Utf16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

inline std::wstring Wide(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace orv::win32
