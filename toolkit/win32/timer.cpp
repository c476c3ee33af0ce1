#include "toolkit/win32/timer.h"

#include <exception>

#include "toolkit/win32/runtime.h"

namespace orv::win32 {

Win32Timer::~Win32Timer() {
  if (m_running && IsWindow(m_owner)) KillTimer(m_owner, m_id);
}

void Win32Timer::Enabled(bool on) {
  if (on) {
    // SetTimer on a running id replaces it, which starts its period anew.
    m_enabled = SetTimer(m_owner, m_id, m_interval, nullptr) != 0;
    m_running = m_running || m_enabled;
  } else {
    // The system timer is stopped when it next fires, not now: the tick
    // switches its own timer off and on again, and each switch is a round
    // trip to the window system (under Wine, to its server).
    m_enabled = false;
  }
}

void Win32Timer::Fire() {
  // A WM_TIMER of a switched-off timer is never handled, and ends the
  // system timer (it may also be one a nested yield took out of the queue).
  if (!m_enabled) {
    if (m_running) KillTimer(m_owner, m_id);
    m_running = false;
    return;
  }
  if (!m_handler) return;
  // A copy: the handler may replace itself.
  const std::function<void()> handler = m_handler;
  try {
    handler();
  } catch (const std::exception& e) {
    ReportUntrappedError(e);
  }
}

}  // namespace orv::win32
