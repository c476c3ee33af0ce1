#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/controls.h"

namespace orv::win32 {

// The list over a CBS_DROPDOWNLIST combo box. The entries are also kept
// here: the box's copies end at a NUL unit, the program's must not.
// The system draws the box and its list; nothing here paints.
class Win32DropDownList final : public DropDownList {
 public:
  explicit Win32DropDownList(HWND combo) : m_hwnd(combo) {}
  Win32DropDownList(const Win32DropDownList&) = delete;
  Win32DropDownList& operator=(const Win32DropDownList&) = delete;

  void AddItem(std::u16string_view text) override;
  void Clear() override;
  std::int16_t ListCount() const override;
  std::int16_t ListIndex() const override;
  void ListIndex(std::int16_t position) override;
  std::u16string List(std::int16_t position) const override;

  HWND Handle() const { return m_hwnd; }
  // Places the closed box in its container's pixels, its font already set.
  void Place(RECT rect);

 private:
  HWND m_hwnd;
  std::vector<std::u16string> m_entries;
};

}  // namespace orv::win32
