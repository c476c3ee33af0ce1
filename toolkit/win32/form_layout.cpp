#include <algorithm>
#include <string>
#include <tuple>

#include "toolkit/win32/dpi.h"
#include "toolkit/win32/form.h"
#include "toolkit/win32/wide.h"

namespace orv::win32 {
namespace {

bool HasNonAscii(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0x7F; });
}

HFONT MakeFont(const FontDescription& font, int dpi) {
  const std::wstring face = Wide(font.face);
  // A CJK face name asks for the simplified Chinese character set, so the
  // font mapper picks a face that has its glyphs when the named one is
  // missing.
  const DWORD charset = HasNonAscii(font.face) ? GB2312_CHARSET : DEFAULT_CHARSET;
  return CreateFontW(-PointsToPixels(font.points, dpi), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                     FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace

void Win32Form::Layout(int dpi) {
  m_dpi = dpi;
  std::vector<HFONT> fonts = PlaceControls(dpi);
  // The controls hold the new fonts now; the old ones can go.
  for (HFONT f : m_fonts) DeleteObject(f);
  m_fonts = std::move(fonts);
  FitClientArea(dpi);
  LoadIcons(dpi);
  RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Returns the fonts made for the resolution, which the controls now use.
std::vector<HFONT> Win32Form::PlaceControls(int dpi) {
  std::vector<HFONT> fonts;
  const auto fontFor = [&](const FontDescription& f) {
    fonts.push_back(MakeFont(f, dpi));
    return fonts.back();
  };
  const HFONT windowFont = fontFor(m_description.font);
  SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), FALSE);

  const auto px = [dpi](std::int32_t twips) { return TwipsToPixels(twips, dpi); };
  for (Win32Control& c : m_controls) {
    const ControlDescription& d = *c.description;
    if (c.hwnd == nullptr) continue;
    const HFONT font = d.font ? fontFor(*d.font) : windowFont;
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const RECT r{px(d.rect.left), px(d.rect.top), px(d.rect.left) + px(d.rect.width),
                 px(d.rect.top) + px(d.rect.height)};
    if (c.label) {
      c.label->Place(r);
    } else if (c.list) {
      c.list->Place(r);
    } else if (c.picture) {
      c.picture->Place(r, dpi);
    } else {
      MoveWindow(c.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
  }
  return fonts;
}

void Win32Form::FitClientArea(int dpi) {
  const int width = TwipsToPixels(m_description.client.width, dpi);
  const int height = TwipsToPixels(m_description.client.height, dpi);
  const SIZE outer = OuterSizeForClient(width, height, Style(), kExStyle, dpi);
  SetWindowPos(m_hwnd, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the system draws may differ from the one computed for this
  // resolution (a system that does not scale frames per monitor): the
  // client area is what must come out right.
  RECT client;
  GetClientRect(m_hwnd, &client);
  const int missX = width - client.right;
  const int missY = height - client.bottom;
  if (missX != 0 || missY != 0) {
    SetWindowPos(m_hwnd, nullptr, 0, 0, outer.cx + missX, outer.cy + missY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32Form::LoadIcons(int dpi) {
  const std::wstring icon = Wide(m_description.icon);
  if (icon.empty()) return;
  for (const auto& [which, metric, held] : {std::tuple{ICON_BIG, SM_CXICON, &m_bigIcon},
                                            std::tuple{ICON_SMALL, SM_CXSMICON, &m_smallIcon}}) {
    const HICON loaded = LoadIconOfSide(m_instance, icon.c_str(), IconSize(metric, dpi));
    if (loaded == nullptr) continue;
    SendMessageW(m_hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(loaded));
    if (*held != nullptr) DestroyIcon(*held);
    *held = loaded;
  }
}

}  // namespace orv::win32
