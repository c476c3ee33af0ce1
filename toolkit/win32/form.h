#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/form.h"
#include "platform/form_description.h"

namespace orv::win32 {

class Win32Label;
class Win32DropDownList;
class Win32PictureBox;
class Win32Timer;

// A top-level window built from a form description. Each control is a
// child window whose control id is its position in the description plus
// one, so a program outside can tell them apart.
class Win32Form final : public Form {
 public:
  // Creates the window, hidden. The description (its texts included) must
  // outlive the form; the icon and the pictures are resources of instance
  // of those names, and a missing one is simply not shown.
  static std::unique_ptr<Win32Form> Build(const FormDescription& description,
                                          HINSTANCE instance);
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
  // Shows the window with the first control of the tab order focused.
  void Show(int showCommand);
  // Runs when the window is destroyed by anything but this object: the
  // user closing it, say.
  void OnDestroyed(std::function<void()> handler) { m_onDestroyed = std::move(handler); }
  // Moves the focus along the tab order on Tab and Shift+Tab; true when the
  // message was used. The message loop asks before dispatching.
  bool PreTranslate(const MSG& msg);

 private:
  struct Control;

  Win32Form(const FormDescription& description, HINSTANCE instance);
  void Create();
  void CreateControl(std::size_t index);
  void Stack();
  void Layout(int dpi);
  HFONT MakeFont(const FontDescription& font, int dpi) const;
  Control& Find(std::string_view name, ControlKind kind);
  DWORD Style() const;
  HWND ContainerOf(const ControlDescription& d) const;
  Color BackOf(std::string_view container) const;
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  const FormDescription& m_description;
  HINSTANCE m_instance;
  HWND m_hwnd = nullptr;
  HBRUSH m_backBrush = nullptr;
  HICON m_bigIcon = nullptr;
  HICON m_smallIcon = nullptr;
  int m_dpi = 96;
  std::vector<Control> m_controls;
  std::vector<HFONT> m_fonts;
  std::vector<HWND> m_tabStops;
  HWND m_lastFocus = nullptr;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(false);
  bool m_destroying = false;
  std::function<void()> m_onDestroyed;
};

}  // namespace orv::win32
