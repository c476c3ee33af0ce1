#pragma once

#include <windows.h>

#include <functional>

#include "platform/controls.h"

namespace orv::win32 {

// A timer of the window's message loop: its WM_TIMER comes to the owner
// window, which hands it to Fire.
class Win32Timer final : public Timer {
 public:
  Win32Timer(HWND owner, UINT_PTR id, UINT intervalMs)
      : m_owner(owner), m_id(id), m_interval(intervalMs) {}
  ~Win32Timer() override;
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  bool Enabled() const override { return m_enabled; }
  void Enabled(bool on) override;
  void OnTimer(std::function<void()> handler) override { m_handler = std::move(handler); }

  UINT_PTR Id() const { return m_id; }
  // Runs the handler; an exception it lets escape is reported and ends
  // the program, as nothing may unwind through the window procedure.
  void Fire();

 private:
  HWND m_owner;
  UINT_PTR m_id;
  UINT m_interval;
  bool m_enabled = false;
  // The system timer exists: it outlives a switch-off until it next fires.
  bool m_running = false;
  std::function<void()> m_handler;
};

}  // namespace orv::win32
