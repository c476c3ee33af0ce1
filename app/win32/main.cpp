// The Windows program: the real interface table, the Win32 toolkit and the
// window's logic, then the message loop until the window is closed.
#include <windows.h>

#include <exception>
#include <memory>
#include <utility>

#include "monitor/frm_bandwidth.h"
#include "monitor/frm_bandwidth_layout.h"
#include "iftable/if_table.h"
#include "stats/cip_helper.h"
#include "toolkit/win32/form_builder.h"
#include "toolkit/win32/runtime.h"

namespace {

orv::MonitorServices ProductionServices() {
  orv::MonitorServices services;
  services.makeReader = [] { return std::make_shared<orv::CIpHelper>(orv::SystemIfTable()); };
  services.getSetting = &orv::win32::GetSetting;
  services.doEvents = &orv::win32::DoEvents;
  services.locale = orv::win32::UserNumberLocale();
  services.startTimers = true;
  return services;
}

int Run(HINSTANCE instance, int show) {
  auto built = orv::win32::BuildWin32Form(orv::FrmBandwidthLayout(), instance);
  orv::win32::Win32Form& form = *built;
  // Closing the only window ends the program.
  form.OnDestroyed([] { PostQuitMessage(0); });
  orv::frmBandwidth window(std::move(built), ProductionServices());
  // Start-up contains no failure of its own; one that escapes is reported
  // and ends the program before the window is ever shown.
  window.Form_Load();
  form.Show(show);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (form.PreTranslate(msg)) continue;
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
