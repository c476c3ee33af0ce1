#pragma once

#include <memory>

#include "monitor/frm_bandwidth.h"

class QWidget;

namespace orv {

// The services of the real program: this machine's interface table, the
// user's settings store, the event yield and the user's number locale.
MonitorServices ProductionServices();

// Builds the window with Qt, hidden, its load handler not yet run.
std::unique_ptr<frmBandwidth> BuildMonitor(MonitorServices services);

// Builds the window with Qt, runs its load handler and shows it. Needs a
// QApplication. An error escaping the load handler ends the program with
// a report, as any uncontained error does.
std::unique_ptr<frmBandwidth> OpenMonitor(MonitorServices services);

// The Qt widget of a window that OpenMonitor made; null once it is gone.
QWidget* WindowWidget(const frmBandwidth& window);

// The whole program: application, window, event loop.
int RunMonitor(int argc, char** argv);

}  // namespace orv
