#pragma once

#include <memory>

#include "monitor/frm_bandwidth.h"

namespace orv {

// The services of the real program: this machine's interface table, the
// user's settings store, the event yield and the user's number locale.
MonitorServices ProductionServices();

// Creates the window, runs its load handler and shows it. Needs a
// QApplication. An error escaping the load handler ends the program with
// a report, as any uncontained error does.
std::unique_ptr<frmBandwidth> OpenMonitor(MonitorServices services);

// The whole program: application, window, event loop.
int RunMonitor(int argc, char** argv);

}  // namespace orv
