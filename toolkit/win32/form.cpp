#include "toolkit/win32/form.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>

#include "toolkit/win32/art.h"
#include "toolkit/win32/dpi.h"
#include "toolkit/win32/drop_down_list.h"
#include "toolkit/win32/label.h"
#include "toolkit/win32/picture_box.h"
#include "toolkit/win32/timer.h"
#include "toolkit/win32/wide.h"

namespace orv::win32 {

struct Win32Form::Control {
  const ControlDescription* description = nullptr;
  HWND hwnd = nullptr;
  std::unique_ptr<Win32Label> label;
  std::unique_ptr<Win32DropDownList> list;
  std::unique_ptr<Win32PictureBox> picture;
  std::unique_ptr<Win32Timer> timer;
};

namespace {

constexpr wchar_t kFormClass[] = L"OrvendelForm";
// No maximise box: the controls never follow the window's size, so a
// maximised window would only show more empty face.
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
// Child windows overlap (the banner over the graph, the graph over the
// upper frame); each one clips its siblings so the stacking order holds.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
// Rows of the open list beyond the closed box.
constexpr int kDropRows = 8;

COLORREF ToColorRef(Color c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

bool HasNonAscii(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0x7F; });
}

// Frames are group boxes, whose own procedure neither paints a background
// nor draws our owner-drawn labels; this adds both.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR brush) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, reinterpret_cast<HBRUSH>(brush));
      return 1;
    }
    case WM_DRAWITEM:
      if (DrawLabelItem(lp)) return TRUE;
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

std::unique_ptr<Win32Form> Win32Form::Build(const FormDescription& description,
                                            HINSTANCE instance) {
  std::unique_ptr<Win32Form> form(new Win32Form(description, instance));
  form->Create();
  return form;
}

Win32Form::Win32Form(const FormDescription& description, HINSTANCE instance)
    : m_description(description), m_instance(instance) {}

Win32Form::~Win32Form() {
  m_destroying = true;
  if (m_hwnd != nullptr && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
  *m_alive = false;
  for (HFONT f : m_fonts) DeleteObject(f);
  if (m_backBrush != nullptr) DeleteObject(m_backBrush);
  if (m_bigIcon != nullptr) DestroyIcon(m_bigIcon);
  if (m_smallIcon != nullptr) DestroyIcon(m_smallIcon);
}

void Win32Form::Create() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32Form::Proc;
  wc.hInstance = m_instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  RegisterPictureClass(m_instance);

  m_backBrush = CreateSolidBrush(ToColorRef(m_description.backColor));
  const std::wstring title = Wide(m_description.caption);
  m_hwnd = CreateWindowExW(kFormExStyle, kFormClass, title.c_str(), Style(), CW_USEDEFAULT,
                           CW_USEDEFAULT, 400, 400, nullptr, nullptr, m_instance, this);
  if (m_hwnd == nullptr) throw std::runtime_error("cannot create the window");
  *m_alive = true;

  m_controls.resize(m_description.controls.size());
  for (std::size_t i = 0; i < m_controls.size(); ++i) CreateControl(i);
  Stack();

  // Of the kinds of control, only the list reacts to keys; labels, frames
  // and picture boxes take no focus.
  for (const Control& c : m_controls) {
    if (c.description->kind == ControlKind::DropDownList) m_tabStops.push_back(c.hwnd);
  }
  std::stable_sort(m_tabStops.begin(), m_tabStops.end(), [this](HWND a, HWND b) {
    const auto tab = [this](HWND h) {
      return m_description.controls[GetDlgCtrlID(h) - 1].tabIndex;
    };
    return tab(a) < tab(b);
  });

  Layout(WindowDpi(m_hwnd));
}

DWORD Win32Form::Style() const {
  return m_description.fixedSize ? kFormStyle : kFormStyle | WS_THICKFRAME;
}

HWND Win32Form::ContainerOf(const ControlDescription& d) const {
  if (d.container == m_description.name) return m_hwnd;
  for (const Control& c : m_controls) {
    if (c.description != nullptr && c.description->name == d.container && c.hwnd != nullptr) {
      return c.hwnd;
    }
  }
  throw std::logic_error("control " + std::string(d.name) + ": container " +
                         std::string(d.container) + " not made before it");
}

Color Win32Form::BackOf(std::string_view container) const {
  for (const Control& c : m_controls) {
    if (c.description != nullptr && c.description->name == container &&
        c.description->backColor) {
      return *c.description->backColor;
    }
  }
  return m_description.backColor;
}

void Win32Form::CreateControl(std::size_t index) {
  const ControlDescription& d = m_description.controls[index];
  Control& c = m_controls[index];
  c.description = &d;
  const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(index + 1));
  if (d.kind == ControlKind::Timer) {
    c.timer = std::make_unique<Win32Timer>(m_hwnd, index + 1, static_cast<UINT>(d.intervalMs));
    return;
  }
  HWND parent = ContainerOf(d);
  switch (d.kind) {
    case ControlKind::Label: {
      c.hwnd = CreateWindowExW(0, L"STATIC", L"", kChild | SS_OWNERDRAW, 0, 0, 1, 1, parent, id,
                               m_instance, nullptr);
      if (c.hwnd == nullptr) break;
      c.label = std::make_unique<Win32Label>(c.hwnd, d, BackOf(d.container));
      break;
    }
    case ControlKind::Frame: {
      c.hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, L"BUTTON", L"",
                               kChild | BS_GROUPBOX | WS_CLIPCHILDREN, 0, 0, 1, 1, parent, id,
                               m_instance, nullptr);
      if (c.hwnd == nullptr) break;
      // Frames take the window's face: the layout has no other.
      SetWindowSubclass(c.hwnd, &FrameProc, 1, reinterpret_cast<DWORD_PTR>(m_backBrush));
      break;
    }
    case ControlKind::DropDownList: {
      c.hwnd = CreateWindowExW(0, L"COMBOBOX", L"",
                               kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 1, 1,
                               parent, id, m_instance, nullptr);
      if (c.hwnd == nullptr) break;
      c.list = std::make_unique<Win32DropDownList>(c.hwnd);
      break;
    }
    case ControlKind::PictureBox: {
      c.hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, kPictureClass, L"", kChild | WS_CLIPCHILDREN, 0, 0, 1, 1, parent, id,
                               m_instance, nullptr);
      if (c.hwnd == nullptr) break;
      HBITMAP art = nullptr;
      if (!d.picture.empty()) {
        const std::wstring name = Wide(d.picture);
        art = static_cast<HBITMAP>(
            LoadImageW(m_instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      }
      c.picture = std::make_unique<Win32PictureBox>(
          c.hwnd, d.backColor.value_or(m_description.backColor), art, kArtTransparent);
      break;
    }
    case ControlKind::Timer:
      break;
  }
  if (c.hwnd == nullptr) {
    throw std::runtime_error("cannot create the control " + std::string(d.name));
  }
}

void Win32Form::Stack() {
  // Within a container, an earlier control lies above a later one, and
  // labels beneath all the others: each window sent to the bottom in
  // top-to-bottom order ends up in that order.
  std::vector<const Control*> order;
  for (const bool labels : {false, true}) {
    for (const Control& c : m_controls) {
      if (c.hwnd == nullptr) continue;
      if ((c.description->kind == ControlKind::Label) == labels) order.push_back(&c);
    }
  }
  for (const Control* c : order) {
    SetWindowPos(c->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

HFONT Win32Form::MakeFont(const FontDescription& font, int dpi) const {
  const std::wstring face = Wide(font.face);
  // A CJK face name asks for the simplified Chinese character set, so the
  // font mapper picks a face that has its glyphs when the named one is
  // missing.
  const DWORD charset = HasNonAscii(font.face) ? GB2312_CHARSET : DEFAULT_CHARSET;
  return CreateFontW(-PointsToPixels(font.points, dpi), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                     FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

void Win32Form::Layout(int dpi) {
  m_dpi = dpi;
  std::vector<HFONT> fonts;
  const auto fontFor = [&](const FontDescription& f) {
    fonts.push_back(MakeFont(f, dpi));
    return fonts.back();
  };
  const HFONT windowFont = fontFor(m_description.font);
  SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), FALSE);

  const auto px = [dpi](std::int32_t twips) { return TwipsToPixels(twips, dpi); };
  for (Control& c : m_controls) {
    const ControlDescription& d = *c.description;
    if (c.hwnd == nullptr) continue;
    const HFONT font = d.font ? fontFor(*d.font) : windowFont;
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const RECT r{px(d.rect.left), px(d.rect.top), px(d.rect.left) + px(d.rect.width),
                 px(d.rect.top) + px(d.rect.height)};
    if (c.label) {
      c.label->Place(r);
    } else if (c.list) {
      const int height = r.bottom - r.top;
      MoveWindow(c.hwnd, r.left, r.top, r.right - r.left, height * (kDropRows + 1), FALSE);
      // The closed box's height follows its selection field's; make that
      // field whatever brings the box to the layout's height. Not in one
      // step: what the field's height adds to the box differs between
      // systems (Wine reads back two pixels more than it was given).
      LRESULT field = SendMessageW(c.hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
      for (int attempt = 0; attempt < 3 && field != CB_ERR; ++attempt) {
        RECT now;
        GetWindowRect(c.hwnd, &now);
        const LRESULT miss = height - (now.bottom - now.top);
        if (miss == 0 || field + miss <= 0) break;
        field += miss;
        SendMessageW(c.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
      }
    } else {
      MoveWindow(c.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
      if (c.picture) c.picture->Dpi(dpi);
    }
  }
  for (HFONT f : m_fonts) DeleteObject(f);
  m_fonts = std::move(fonts);

  const SIZE outer = OuterSizeForClient(px(m_description.client.width),
                                        px(m_description.client.height), Style(),
                                        kFormExStyle, dpi);
  SetWindowPos(m_hwnd, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the system draws may differ from the one computed for this
  // resolution (a system that does not scale frames per monitor): the
  // client area is what must come out right.
  RECT client;
  GetClientRect(m_hwnd, &client);
  const int missX = px(m_description.client.width) - client.right;
  const int missY = px(m_description.client.height) - client.bottom;
  if (missX != 0 || missY != 0) {
    SetWindowPos(m_hwnd, nullptr, 0, 0, outer.cx + missX, outer.cy + missY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  const std::wstring icon = Wide(m_description.icon);
  if (!icon.empty()) {
    for (const auto& [which, metric, held] :
         {std::tuple{ICON_BIG, SM_CXICON, &m_bigIcon}, std::tuple{ICON_SMALL, SM_CXSMICON,
                                                                  &m_smallIcon}}) {
      const int side = IconSize(metric, dpi);
      auto* loaded = static_cast<HICON>(
          LoadImageW(m_instance, icon.c_str(), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
      if (loaded == nullptr) continue;
      SendMessageW(m_hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(loaded));
      if (*held != nullptr) DestroyIcon(*held);
      *held = loaded;
    }
  }
  RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Form::Show(int showCommand) {
  ShowWindow(m_hwnd, showCommand);
  if (!m_tabStops.empty()) SetFocus(m_tabStops.front());
  UpdateWindow(m_hwnd);
}

bool Win32Form::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || m_tabStops.empty()) return false;
  if (msg.hwnd != m_hwnd && !IsChild(m_hwnd, msg.hwnd)) return false;
  const HWND focus = GetFocus();
  const int n = static_cast<int>(m_tabStops.size());
  int at = -1;
  for (int i = 0; i < n; ++i) {
    if (m_tabStops[i] == focus || IsChild(m_tabStops[i], focus)) at = i;
  }
  const int step = GetKeyState(VK_SHIFT) < 0 ? n - 1 : 1;
  SetFocus(m_tabStops[at < 0 ? 0 : (at + step) % n]);
  return true;
}

Win32Form::Control& Win32Form::Find(std::string_view name, ControlKind kind) {
  for (Control& c : m_controls) {
    if (c.description->name == name && c.description->kind == kind) return c;
  }
  throw std::logic_error("the form has no control " + std::string(name) + " of that kind");
}

Label& Win32Form::FindLabel(std::string_view name) {
  return *Find(name, ControlKind::Label).label;
}

DropDownList& Win32Form::FindList(std::string_view name) {
  return *Find(name, ControlKind::DropDownList).list;
}

PictureSurface& Win32Form::FindPicture(std::string_view name) {
  return *Find(name, ControlKind::PictureBox).picture;
}

Timer& Win32Form::FindTimer(std::string_view name) {
  return *Find(name, ControlKind::Timer).timer;
}

AliveToken Win32Form::Token() const {
  return AliveToken([alive = m_alive] { return *alive; });
}

LRESULT CALLBACK Win32Form::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
    auto* created = static_cast<Win32Form*>(create->lpCreateParams);
    created->m_hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return form->Handle(msg, wp, lp);
}

LRESULT Win32Form::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      for (Control& c : m_controls) {
        if (c.timer && c.timer->Id() == wp) {
          c.timer->Fire();
          return 0;
        }
      }
      break;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(m_hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, m_backBrush);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // The frames' own drawing.
      SetBkColor(reinterpret_cast<HDC>(wp), ToColorRef(m_description.backColor));
      return reinterpret_cast<LRESULT>(m_backBrush);
    case WM_DRAWITEM:
      if (DrawLabelItem(lp)) return TRUE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        m_lastFocus = GetFocus();
      } else {
        const HWND target = m_lastFocus != nullptr && IsChild(m_hwnd, m_lastFocus)
                                ? m_lastFocus
                                : (m_tabStops.empty() ? nullptr : m_tabStops.front());
        if (target != nullptr) SetFocus(target);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      Layout(HIWORD(wp));
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      *m_alive = false;
      if (!m_destroying && m_onDestroyed) m_onDestroyed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(m_hwnd, msg, wp, lp);
}

}  // namespace orv::win32
