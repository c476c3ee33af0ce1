#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/form.h"
#include "platform/form_description.h"
#include "toolkit/win32/annotations.h"
#include "toolkit/win32/color_scheme.h"
#include "toolkit/win32/drop_down_list.h"
#include "toolkit/win32/frame.h"
#include "toolkit/win32/label.h"
#include "toolkit/win32/picture_box.h"
#include "toolkit/win32/timer.h"

namespace orv::win32 {

// One control of a form: its description, its child window (none for a
// timer) and the object the program works it through.
struct Win32Control {
  const ControlDescription* description = nullptr;
  HWND hwnd = nullptr;
  std::unique_ptr<Win32Label> label;
  std::unique_ptr<Win32DropDownList> list;
  std::unique_ptr<Win32Frame> frame;
  std::unique_ptr<Win32PictureBox> picture;
  std::unique_ptr<Win32Timer> timer;
};

// A top-level window and the controls a form builder put in it
// (form_builder.h). It places them from their twips at the window's
// resolution, again whenever that changes, and keeps the keyboard focus
// among them.
class Win32Form final : public Form {
 public:
  // Creates the window, hidden and empty. The description (its texts
  // included) must outlive the form; the icon is a resource of instance
  // of that name, and a missing one is simply not shown.
  Win32Form(const FormDescription& description, HINSTANCE instance);
  ~Win32Form() override;
  Win32Form(const Win32Form&) = delete;
  Win32Form& operator=(const Win32Form&) = delete;

  Label& FindLabel(std::string_view name) override;
  DropDownList& FindList(std::string_view name) override;
  PictureSurface& FindPicture(std::string_view name) override;
  Timer& FindTimer(std::string_view name) override;
  AliveToken Token() const override;

  HWND Handle() const { return m_hwnd; }
  int Dpi() const { return m_dpi; }
  // The colours it paints in, and its face, which its frames also paint.
  const ColorScheme& Scheme() const { return m_scheme; }
  HBRUSH FaceBrush() const { return m_scheme.FaceBrush(); }
  // A list's WM_CTLCOLOREDIT or WM_CTLCOLORLISTBOX, as the window or frame
  // holding it receives it: the layout's field colours, or nothing to
  // leave the system's under high contrast.
  std::optional<LRESULT> ListColors(UINT msg, WPARAM wp, LPARAM lp) const;
  // Shows the window with the first control of the tab order focused.
  void Show(int showCommand);
  // Runs when the window is destroyed by anything but this object: the
  // user closing it, say.
  void OnDestroyed(std::function<void()> handler) { m_onDestroyed = std::move(handler); }
  // Keys for this window, as TranslateKeys hands them over:
  // Tab and Shift+Tab move the focus along the tab order, everything else
  // goes through the dialog manager, which gives the arrows and F4 to the
  // list and turns Enter and Esc into commands that close nothing. True
  // when the message was used.
  bool PreTranslate(MSG& msg);

  // For the builder: keeps a control made in this window, and the
  // focusable controls in tab order.
  void Adopt(Win32Control control) { m_controls.push_back(std::move(control)); }
  void TabStops(std::vector<HWND> stops) { m_tabStops = std::move(stops); }
  // What screen readers read of the controls beyond their window text;
  // cleared when the window goes.
  Annotations& Annotate();
  // Places everything for a resolution: fonts, controls, the client
  // area's size and the icons.
  void Layout(int dpi);

 private:
  // Tab moves among the controls of frames too.
  static constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

  Win32Control& Find(std::string_view name, ControlKind kind);
  bool MoveFocusAlongTabs(bool backwards);
  void RememberFocus();
  void RestoreFocus();
  DWORD Style() const;
  std::vector<HFONT> PlaceControls(int dpi);
  void FitClientArea(int dpi);
  void LoadIcons(int dpi);
  void FollowSystemColors();
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void FireHoldingPictures(Win32Timer& timer);
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  const FormDescription& m_description;
  HINSTANCE m_instance;
  HWND m_hwnd = nullptr;
  ColorScheme m_scheme;
  HICON m_bigIcon = nullptr;
  HICON m_smallIcon = nullptr;
  int m_dpi = 96;
  std::vector<Win32Control> m_controls;
  std::vector<HFONT> m_fonts;
  std::vector<HWND> m_tabStops;
  std::unique_ptr<Annotations> m_annotations;
  HWND m_lastFocus = nullptr;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(false);
  bool m_destroying = false;
  std::function<void()> m_onDestroyed;
};

// Offers a keyboard message to the form whose window it is for (the
// message loop's and the yield's step before dispatching); true when the
// form used it, and it must then not be dispatched again. Messages for
// windows of no form are left alone.
bool TranslateKeys(MSG& msg);

}  // namespace orv::win32
