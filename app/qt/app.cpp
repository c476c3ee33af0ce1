#include "app/qt/app.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <exception>

#include "app/system_services.h"
#include "monitor/frm_bandwidth_layout.h"
#include "toolkit/qt/form_builder.h"
#include "toolkit/qt/runtime.h"

// The art is compiled into this static library; its registration must be
// pulled in by hand, and Q_INIT_RESOURCE must stand outside any namespace.
static void InitOrvendelArt() { Q_INIT_RESOURCE(orvendel); }

namespace orv {

MonitorServices ProductionServices() {
  return SystemServices(&qt::GetSetting, &qt::DoEvents, qt::ToNumberLocale(QLocale::system()));
}

std::unique_ptr<frmBandwidth> BuildMonitor(MonitorServices services) {
  InitOrvendelArt();
  return std::make_unique<frmBandwidth>(qt::BuildQtForm(FrmBandwidthLayout()), std::move(services));
}

std::unique_ptr<frmBandwidth> OpenMonitor(MonitorServices services) {
  auto window = BuildMonitor(std::move(services));
  // Start-up contains no failure of its own; one that escapes is reported
  // and ends the program before the window is ever shown.
  try {
    window->Form_Load();
  } catch (const std::exception& e) {
    qt::ReportUntrappedError(e);
  }
  if (QWidget* widget = WindowWidget(*window)) widget->show();
  return window;
}

QWidget* WindowWidget(const frmBandwidth& window) {
  const auto* form = dynamic_cast<const qt::QtForm*>(&window.form());
  return form == nullptr ? nullptr : form->Window();
}

int RunMonitor(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvendel"));
  auto window = OpenMonitor(ProductionServices());
  if (QWidget* widget = WindowWidget(*window)) QApplication::setWindowIcon(widget->windowIcon());
  return QApplication::exec();
}

}  // namespace orv
