#include "toolkit/win32/timer.h"

#include <exception>

#include "toolkit/win32/runtime.h"

namespace orv::win32 {

Win32Timer::~Win32Timer() {
  if (m_enabled && IsWindow(m_owner)) KillTimer(m_owner, m_id);
}

void Win32Timer::Enabled(bool on) {
  // SetTimer on a running id replaces it, which starts its period anew.
  if (on) {
    m_enabled = SetTimer(m_owner, m_id, m_interval, nullptr) != 0;
  } else {
    if (m_enabled) KillTimer(m_owner, m_id);
    m_enabled = false;
  }
}

void Win32Timer::Fire() {
  // KillTimer drops a WM_TIMER already queued, but one may be in the hands
  // of a nested yield when the handler stops the timer.
  if (!m_enabled || !m_handler) return;
  // A copy: the handler may replace itself.
  const std::function<void()> handler = m_handler;
  try {
    handler();
  } catch (const std::exception& e) {
    ReportUntrappedError(e);
  }
}

}  // namespace orv::win32
