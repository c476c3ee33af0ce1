#include "monitor/app.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <exception>

#include "platform/qt/runtime.h"
#include "stats/cip_helper.h"

namespace orv {

MonitorServices ProductionServices() {
  MonitorServices services;
  services.makeReader = [] { return std::make_shared<CIpHelper>(SystemIfTable()); };
  services.getSetting = &GetSetting;
  services.doEvents = &DoEvents;
  services.locale = ToNumberLocale(QLocale::system());
  services.startTimers = true;
  return services;
}

std::unique_ptr<frmBandwidth> OpenMonitor(MonitorServices services) {
  auto window = std::make_unique<frmBandwidth>(std::move(services));
  // Start-up contains no failure of its own; one that escapes is reported
  // and ends the program before the window is ever shown.
  try {
    window->Form_Load();
  } catch (const std::exception& e) {
    ReportUntrappedError(e);
  }
  window->show();
  return window;
}

int RunMonitor(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvendel"));
  auto window = OpenMonitor(ProductionServices());
  QApplication::setWindowIcon(window->windowIcon());
  return QApplication::exec();
}

}  // namespace orv
