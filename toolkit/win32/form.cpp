#include "toolkit/win32/form.h"

#include <cwchar>
#include <iterator>
#include <stdexcept>
#include <string>

#include "toolkit/win32/wide.h"

namespace orv::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"OrvendelForm";
// No maximise box: the controls never follow the window's size, so a
// maximised window would only show more empty face.
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

void RegisterFormClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kFormClass;
  // A second registration in the same process fails harmlessly.
  RegisterClassExW(&wc);
}

}  // namespace

Win32Form::Win32Form(const FormDescription& description, HINSTANCE instance)
    : m_description(description), m_instance(instance), m_scheme(description) {
  RegisterFormClass(m_instance, &Win32Form::Proc);
  const std::wstring title = Wide(m_description.caption);
  m_hwnd = CreateWindowExW(kExStyle, kFormClass, title.c_str(), Style(), CW_USEDEFAULT,
                           CW_USEDEFAULT, 400, 400, nullptr, nullptr, m_instance, this);
  if (m_hwnd == nullptr) throw std::runtime_error("cannot create the window");
  *m_alive = true;
}

Win32Form::~Win32Form() {
  m_destroying = true;
  if (m_hwnd != nullptr && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
  *m_alive = false;
  for (HFONT f : m_fonts) DeleteObject(f);
  if (m_bigIcon != nullptr) DestroyIcon(m_bigIcon);
  if (m_smallIcon != nullptr) DestroyIcon(m_smallIcon);
}

DWORD Win32Form::Style() const {
  return m_description.fixedSize ? kFormStyle : kFormStyle | WS_THICKFRAME;
}

Annotations& Win32Form::Annotate() {
  if (!m_annotations) m_annotations = std::make_unique<Annotations>();
  return *m_annotations;
}

void Win32Form::Show(int showCommand) {
  ShowWindow(m_hwnd, showCommand);
  if (!m_tabStops.empty()) SetFocus(m_tabStops.front());
  UpdateWindow(m_hwnd);
}

bool Win32Form::PreTranslate(MSG& msg) {
  if (msg.hwnd != m_hwnd && !IsChild(m_hwnd, msg.hwnd)) return false;
  // The dialog manager would move along the stacking, which follows the
  // reading order; the tab order is the description's own.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !m_tabStops.empty()) {
    return MoveFocusAlongTabs(GetKeyState(VK_SHIFT) < 0);
  }
  // Alt+F4 closes the window from any control. Windows' combo box leaves
  // it to DefWindowProc, which asks the top window to close; Wine's keeps
  // every WM_SYSKEYDOWN but Alt+Up and Alt+Down to itself, so with the
  // focus in the list nothing closed.
  if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4 &&
      (HIWORD(msg.lParam) & KF_ALTDOWN) != 0) {
    SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  return IsDialogMessageW(m_hwnd, &msg) != 0;
}

bool Win32Form::MoveFocusAlongTabs(bool backwards) {
  const HWND focus = GetFocus();
  const int n = static_cast<int>(m_tabStops.size());
  int at = -1;
  for (int i = 0; i < n; ++i) {
    if (m_tabStops[i] == focus || IsChild(m_tabStops[i], focus)) at = i;
  }
  SetFocus(m_tabStops[at < 0 ? 0 : (at + (backwards ? n - 1 : 1)) % n]);
  return true;
}

void Win32Form::RememberFocus() {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(m_hwnd, focus)) m_lastFocus = focus;
}

// Back to the control that had the focus when the window last lost it,
// else the first of the tab order.
void Win32Form::RestoreFocus() {
  const HWND target = m_lastFocus != nullptr && IsChild(m_hwnd, m_lastFocus)
                          ? m_lastFocus
                          : (m_tabStops.empty() ? nullptr : m_tabStops.front());
  if (target != nullptr) SetFocus(target);
}

Win32Control& Win32Form::Find(std::string_view name, ControlKind kind) {
  for (Win32Control& c : m_controls) {
    if (c.description->name == name && c.description->kind == kind) return c;
  }
  throw std::logic_error("the form has no control " + std::string(name) + " of that kind");
}

Label& Win32Form::FindLabel(std::string_view name) { return *Find(name, ControlKind::Label).label; }

DropDownList& Win32Form::FindList(std::string_view name) {
  return *Find(name, ControlKind::DropDownList).list;
}

PictureSurface& Win32Form::FindPicture(std::string_view name) {
  return *Find(name, ControlKind::PictureBox).picture;
}

Timer& Win32Form::FindTimer(std::string_view name) { return *Find(name, ControlKind::Timer).timer; }

AliveToken Win32Form::Token() const {
  return AliveToken([alive = m_alive] { return *alive; });
}

std::optional<LRESULT> Win32Form::ListColors(UINT msg, WPARAM wp, LPARAM lp) const {
  if ((msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORLISTBOX) || m_scheme.HighContrast()) {
    return std::nullopt;
  }
  // The closed list's field and its open list both ask.
  HWND list = reinterpret_cast<HWND>(lp);
  for (const Win32Control& c : m_controls) {
    if (!c.list || (c.hwnd != list && c.hwnd != GetParent(list))) continue;
    const TextColors colours = m_scheme.ColorsOf(*c.description);
    const auto dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, colours.text);
    SetBkColor(dc, colours.back);
    SetDCBrushColor(dc, colours.back);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
  }
  return std::nullopt;
}

// A change of the system's colours or of the high-contrast mode: what the
// window paints follows it, while it runs.
void Win32Form::FollowSystemColors() {
  if (!m_scheme.Refresh()) return;
  for (Win32Control& c : m_controls) {
    if (c.label) c.label->Colours(m_scheme.ColorsOf(*c.description));
    // The list's own parts read the system's colours when told.
    if (c.list) SendMessageW(c.hwnd, WM_SYSCOLORCHANGE, 0, 0);
  }
  RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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

// A tick redraws its graph whole; the screen is sent only what differs
// from the last tick's, once at its end. The tick may close the window and
// so delete the form with its pictures.
void Win32Form::FireHoldingPictures(Win32Timer& timer) {
  const AliveToken alive = Token();
  for (Win32Control& c : m_controls) {
    if (c.picture) c.picture->HoldUpdates();
  }
  timer.Fire();
  if (!alive.Alive()) return;
  for (Win32Control& c : m_controls) {
    if (c.picture) c.picture->SendChanges();
  }
}

LRESULT Win32Form::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      for (Win32Control& c : m_controls) {
        if (c.timer && c.timer->Id() == wp) {
          FireHoldingPictures(*c.timer);
          return 0;
        }
      }
      break;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(m_hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, FaceBrush());
      return 1;
    }
    case WM_DRAWITEM:
      if (DrawLabelItem(lp)) return TRUE;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // The frames' own drawing.
      SetBkColor(reinterpret_cast<HDC>(wp), m_scheme.Face());
      return reinterpret_cast<LRESULT>(FaceBrush());
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (const auto brush = ListColors(msg, wp, lp)) return *brush;
      break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      FollowSystemColors();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        RememberFocus();
        break;
      }
      // A minimised window keeps the focus on itself until it is restored,
      // when it is focused again (WM_SETFOCUS).
      if (HIWORD(wp) == 0) RestoreFocus();
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_DPICHANGED: {
      Layout(HIWORD(wp));
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      // The controls still exist, and their annotations must not outlive
      // them: another window may get the same handle.
      if (m_annotations) m_annotations->Clear();
      *m_alive = false;
      if (!m_destroying && m_onDestroyed) m_onDestroyed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(m_hwnd, msg, wp, lp);
}

bool TranslateKeys(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || msg.hwnd == nullptr) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  wchar_t cls[std::size(kFormClass) + 1] = {};
  if (root == nullptr || GetClassNameW(root, cls, static_cast<int>(std::size(cls))) == 0 ||
      std::wcscmp(cls, kFormClass) != 0) {
    return false;
  }
  // Our own pointer, which only this process can have set.
  auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
  return form != nullptr && form->PreTranslate(msg);
}

}  // namespace orv::win32
