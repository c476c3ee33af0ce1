// The Windows program: the real interface table, the Win32 toolkit and the
// window's logic, then the message loop until the window is closed.
#include <windows.h>

#include <exception>
#include <memory>
#include <utility>

#include "app/system_services.h"
#include "monitor/frm_bandwidth.h"
#include "monitor/frm_bandwidth_layout.h"
#include "toolkit/win32/form_builder.h"
#include "toolkit/win32/runtime.h"

namespace {

int Run(HINSTANCE instance, int show) {
  auto built = orv::win32::BuildWin32Form(orv::FrmBandwidthLayout(), instance);
  orv::win32::Win32Form& form = *built;
  // Closing the only window ends the program.
  form.OnDestroyed([] { PostQuitMessage(0); });
  orv::frmBandwidth window(std::move(built),
                           orv::SystemServices(&orv::win32::GetSetting, &orv::win32::DoEvents,
                                               orv::win32::UserNumberLocale()));
  // Start-up contains no failure of its own; one that escapes is reported
  // and ends the program before the window is ever shown.
  window.Form_Load();
  form.Show(show);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (orv::win32::TranslateKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  try {
    return Run(instance, show);
  } catch (const std::exception& e) {
    orv::win32::ReportUntrappedError(e);
  }
}
