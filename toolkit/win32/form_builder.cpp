#include "toolkit/win32/form_builder.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <oleacc.h>

#include "platform/form_rules.h"
#include "toolkit/win32/art.h"
#include "toolkit/win32/dpi.h"
#include "toolkit/win32/png_art.h"
#include "toolkit/win32/wide.h"

namespace orv::win32 {
namespace {

// Child windows overlap (the banner over the graph, the graph over the
// upper frame); each one clips its siblings so the stacking order holds.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
// A picture's drawing for twice the resolution is the PNG resource of its
// name with this added.
constexpr wchar_t kTwoXSuffix[] = L"_2x";

class Builder {
 public:
  Builder(const FormDescription& form, HINSTANCE instance)
      : m_form(form), m_instance(instance), m_windows(form.controls.size(), nullptr) {}

  std::unique_ptr<Win32Form> Build() {
    CheckFormDescription(m_form);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterPictureClass(m_instance);
    auto form = std::make_unique<Win32Form>(m_form, m_instance);
    m_window = form.get();
    for (std::size_t i = 0; i < m_form.controls.size(); ++i) {
      Win32Control made = Make(i);
      m_windows[i] = made.hwnd;
      form->Adopt(std::move(made));
    }
    Stack();
    NameForScreenReaders();
    form->TabStops(TabStops());
    form->Layout(WindowDpi(form->Handle()));
    return form;
  }

 private:
  Win32Control Make(std::size_t index) {
    const ControlDescription& d = m_form.controls[index];
    Win32Control c;
    c.description = &d;
    const auto id = static_cast<UINT>(index + 1);
    if (d.kind == ControlKind::Timer) {
      c.timer =
          std::make_unique<Win32Timer>(m_window->Handle(), id, static_cast<UINT>(d.intervalMs));
      return c;
    }
    const HWND parent = ContainerOf(d);
    switch (d.kind) {
      case ControlKind::Label:
        MakeLabel(c, parent, id);
        break;
      case ControlKind::Frame:
        MakeFrame(c, parent, id);
        break;
      case ControlKind::DropDownList:
        MakeList(c, parent, id);
        break;
      case ControlKind::PictureBox:
        MakePicture(c, parent, id);
        break;
      case ControlKind::Timer:
        break;
    }
    if (c.hwnd == nullptr) {
      throw std::runtime_error("cannot create the control " + std::string(d.name));
    }
    return c;
  }

  HWND Child(DWORD exStyle, const wchar_t* cls, DWORD style, HWND parent, UINT id) const {
    return CreateWindowExW(exStyle, cls, L"", kChild | style, 0, 0, 1, 1, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), m_instance, nullptr);
  }

  void MakeLabel(Win32Control& c, HWND parent, UINT id) const {
    c.hwnd = Child(0, L"STATIC", SS_OWNERDRAW, parent, id);
    if (c.hwnd == nullptr) return;
    c.label = std::make_unique<Win32Label>(c.hwnd, *c.description,
                                           m_window->Scheme().ColorsOf(*c.description));
  }

  void MakeFrame(Win32Control& c, HWND parent, UINT id) const {
    c.hwnd = Child(WS_EX_CONTROLPARENT, L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, parent, id);
    if (c.hwnd == nullptr) return;
    // Frames take the window's face (the layout has no other), whichever
    // colours it follows.
    c.frame = std::make_unique<Win32Frame>(c.hwnd, *m_window);
  }

  void MakeList(Win32Control& c, HWND parent, UINT id) const {
    c.hwnd = Child(0, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, parent, id);
    if (c.hwnd == nullptr) return;
    c.list = std::make_unique<Win32DropDownList>(c.hwnd);
  }

  void MakePicture(Win32Control& c, HWND parent, UINT id) const {
    const ControlDescription& d = *c.description;
    c.hwnd = Child(WS_EX_CLIENTEDGE, kPictureClass, WS_CLIPCHILDREN, parent, id);
    if (c.hwnd == nullptr) return;
    std::unique_ptr<PictureArt> art;
    if (!d.picture.empty()) {
      art = std::make_unique<PictureArt>(
          Bitmap(Wide(d.picture)), [instance = m_instance, name = Wide(d.picture) + kTwoXSuffix] {
            return LoadPngArt(instance, name.c_str());
          });
    }
    c.picture = std::make_unique<Win32PictureBox>(c.hwnd, BackColorOf(m_form, d), std::move(art));
  }

  HBITMAP Bitmap(const std::wstring& name) const {
    return static_cast<HBITMAP>(
        LoadImageW(m_instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }

  // The description was checked: a container other than the form is a
  // frame or picture box made before the controls it holds.
  HWND ContainerOf(const ControlDescription& d) const {
    if (d.container == m_form.name) return m_window->Handle();
    const ControlDescription* holder = FindControl(m_form, d.container);
    return m_windows[static_cast<std::size_t>(holder - m_form.controls.data())];
  }

  // Each window sent to the bottom in top-to-bottom order ends up in
  // that order among its siblings.
  void Stack() const {
    for (std::string_view container : ContainerNames(m_form)) {
      for (std::size_t i : ReadingStacking(m_form, container)) {
        SetWindowPos(m_windows[i], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      }
    }
  }

  // A caption names its control by standing just above it (Stack). A
  // name of the description's own is the window text where the control
  // shows none (a picture box), else an annotation, as is a description.
  void NameForScreenReaders() const {
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
      const ControlDescription& d = m_form.controls[i];
      const HWND hwnd = m_windows[i];
      if (hwnd == nullptr) continue;
      const bool picture = d.kind == ControlKind::PictureBox;
      if (picture) m_window->Annotate().Role(hwnd, ROLE_SYSTEM_GRAPHIC);
      if (!d.accessibleName.empty()) {
        if (picture) {
          SetWindowTextW(hwnd, Wide(d.accessibleName).c_str());
        } else {
          m_window->Annotate().Name(hwnd, d.accessibleName);
        }
      }
      if (!d.accessibleDescription.empty()) {
        m_window->Annotate().Description(hwnd, d.accessibleDescription);
      }
    }
  }

  // Of the kinds of control, only the list reacts to keys; labels, frames
  // and picture boxes take no focus.
  std::vector<HWND> TabStops() const {
    std::vector<HWND> stops;
    for (std::size_t i : TabOrder(m_form)) {
      if (m_form.controls[i].kind == ControlKind::DropDownList) stops.push_back(m_windows[i]);
    }
    return stops;
  }

  const FormDescription& m_form;
  HINSTANCE m_instance;
  Win32Form* m_window = nullptr;
  // Each control's child window by its position in the description; none
  // for a timer.
  std::vector<HWND> m_windows;
};

}  // namespace

std::unique_ptr<Win32Form> BuildWin32Form(const FormDescription& description, HINSTANCE instance) {
  return Builder(description, instance).Build();
}

}  // namespace orv::win32
