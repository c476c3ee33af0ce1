#include "toolkit/win32/label.h"

#include "toolkit/win32/wide.h"

namespace orv::win32 {

Win32Label::Win32Label(HWND hwnd, const ControlDescription& d, TextColors colours)
    : m_hwnd(hwnd),
      m_caption(d.caption),
      m_colors(colours),
      m_border(d.singleBorder),
      m_alignRight(d.align == TextAlign::Right),
      m_wordWrap(d.wordWrap),
      m_autoSize(d.autoSize) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowTextW(hwnd, Wide(m_caption).c_str());
}

void Win32Label::Caption(std::u16string_view text) {
  // Most labels get the same text on most ticks; setting it again would
  // still cost a repaint (under Wine, several round trips to its server).
  if (text == m_caption) return;
  m_caption.assign(text);
  m_captionChanged = true;
  // The window's own copy ends at the first NUL unit, and so does what is
  // drawn; ours, which the program reads back, keeps every unit. Setting
  // the text repaints the control.
  SetWindowTextW(m_hwnd, Wide(m_caption).c_str());
  if (m_autoSize) Refit();
  // Text that differs only after a NUL leaves the window's copy as it was,
  // which may not repaint.
  if (m_caption.find(u'\0') != std::u16string::npos) InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32Label::Colours(TextColors colours) {
  if (colours.text == m_colors.text && colours.back == m_colors.back) return;
  m_colors = colours;
  InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32Label::Place(RECT r) {
  SetWindowPos(m_hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // Until its caption changes, the box keeps the size the layout measured
  // for its first text.
  if (m_autoSize && m_captionChanged) Refit();
}

void Win32Label::Refit() {
  HDC dc = GetDC(m_hwnd);
  if (dc == nullptr) return;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT text{0, 0, 0, 0};
  const std::wstring wide = Shown(m_caption);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(m_hwnd, dc);
  // One line, grown or shrunk to the right of and below its fixed corner.
  // A rate's new digits are mostly as wide as the old: the same size is
  // not set again (under Wine each move is a round trip to its server).
  const int width = text.right + 2 * InsetX();
  const int height = text.bottom + 2 * InsetY();
  RECT now{};
  if (GetWindowRect(m_hwnd, &now) && now.right - now.left == width &&
      now.bottom - now.top == height) {
    return;
  }
  SetWindowPos(m_hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Label::Draw(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  HBRUSH back = CreateSolidBrush(m_colors.back);
  FillRect(dc, &box, back);
  DeleteObject(back);
  if (m_border) {
    HBRUSH line = CreateSolidBrush(m_colors.text);
    FrameRect(dc, &box, line);
    DeleteObject(line);
  }
  const auto font = reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  SetTextColor(dc, m_colors.text);
  SetBkMode(dc, TRANSPARENT);
  RECT text = box;
  InflateRect(&text, -InsetX(), -InsetY());
  UINT flags = DT_TOP | DT_NOPREFIX | (m_alignRight ? DT_RIGHT : DT_LEFT);
  flags |= m_wordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  const std::wstring wide = Shown(m_caption);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text, flags);
  if (old != nullptr) SelectObject(dc, old);
}

// An owner-drawn STATIC asks its parent to draw it; the label behind it
// is found through the STATIC's user data.
bool DrawLabelItem(LPARAM drawItem) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
  if (item == nullptr || item->CtlType != ODT_STATIC) return false;
  const auto* label =
      reinterpret_cast<const Win32Label*>(GetWindowLongPtrW(item->hwndItem, GWLP_USERDATA));
  if (label == nullptr) return false;
  label->Draw(*item);
  return true;
}

}  // namespace orv::win32
