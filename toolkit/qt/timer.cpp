#include "toolkit/qt/timer.h"

#include <exception>
#include <utility>

#include "toolkit/qt/runtime.h"

namespace orv::qt {

QtTimer::QtTimer(QObject* parent, const QString& name, int intervalMs) : QTimer(parent) {
  setObjectName(name);
  setInterval(intervalMs);
  setSingleShot(false);
  // A coarse timer may slip by 5% of its period; the sampling tick
  // counts on a steady 100 ms.
  setTimerType(Qt::PreciseTimer);
  connect(this, &QTimer::timeout, this, [this] {
    if (!m_handler) return;
    // The handler may replace itself; the running one stays alive.
    const std::function<void()> handler = m_handler;
    // An exception must not unwind through Qt's event loop; one that the
    // handler did not contain ends the program with a report.
    try {
      handler();
    } catch (const std::exception& e) {
      ReportUntrappedError(e);
    }
  });
}

bool QtTimer::Enabled() const { return isActive(); }

void QtTimer::Enabled(bool on) {
  // start() on a running timer begins its period anew.
  if (on) {
    start();
  } else {
    stop();
  }
}

void QtTimer::OnTimer(std::function<void()> handler) { m_handler = std::move(handler); }

}  // namespace orv::qt
