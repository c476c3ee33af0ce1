#include "toolkit/win32/drop_down_list.h"

#include <string>

#include "platform/error.h"
#include "toolkit/win32/wide.h"

namespace orv::win32 {
namespace {

// Rows of the open list beyond the closed box.
constexpr int kDropRows = 8;

}  // namespace

void Win32DropDownList::AddItem(std::u16string_view text) {
  if (m_entries.size() >= std::size_t{kMaxListEntries}) {
    throw Error(ErrorCode::Overflow, "too many list entries");
  }
  const std::wstring wide = Wide(text);
  const LRESULT at = SendMessageW(m_hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  if (at == CB_ERR || at == CB_ERRSPACE) {
    throw Error(ErrorCode::Overflow, "the list box refused an entry");
  }
  m_entries.emplace_back(text);
}

void Win32DropDownList::Clear() {
  SendMessageW(m_hwnd, CB_RESETCONTENT, 0, 0);
  m_entries.clear();
}

std::int16_t Win32DropDownList::ListCount() const {
  return static_cast<std::int16_t>(m_entries.size());
}

std::int16_t Win32DropDownList::ListIndex() const {
  const LRESULT at = SendMessageW(m_hwnd, CB_GETCURSEL, 0, 0);
  return at == CB_ERR ? std::int16_t{-1} : static_cast<std::int16_t>(at);
}

void Win32DropDownList::ListIndex(std::int16_t position) {
  if (position < -1 || position >= ListCount()) {
    throw Error(ErrorCode::InvalidProperty, "invalid list position " + std::to_string(position) +
                                                " of " + std::to_string(m_entries.size()));
  }
  SendMessageW(m_hwnd, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void Win32DropDownList::Place(RECT r) {
  const int height = r.bottom - r.top;
  MoveWindow(m_hwnd, r.left, r.top, r.right - r.left, height * (kDropRows + 1), FALSE);
  // The closed box's height follows its selection field's; make that
  // field whatever brings the box to the layout's height. Not in one
  // step: what the field's height adds to the box differs between
  // systems (Wine reads back two pixels more than it was given).
  LRESULT field = SendMessageW(m_hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int attempt = 0; attempt < 3 && field != CB_ERR; ++attempt) {
    RECT now;
    GetWindowRect(m_hwnd, &now);
    const LRESULT miss = height - (now.bottom - now.top);
    if (miss == 0 || field + miss <= 0) break;
    field += miss;
    SendMessageW(m_hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

std::u16string Win32DropDownList::List(std::int16_t position) const {
  if (position < 0 || position >= ListCount()) {
    throw Error(ErrorCode::InvalidProperty, "no list entry " + std::to_string(position) + " of " +
                                                std::to_string(m_entries.size()));
  }
  return m_entries[static_cast<std::size_t>(position)];
}

}  // namespace orv::win32
