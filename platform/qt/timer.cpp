#include "platform/qt/timer.h"

#include <exception>
#include <utility>

#include "platform/qt/runtime.h"

namespace orv {

Timer::Timer(QObject* parent, const QString& name, int intervalMs, std::function<void()> handler)
    : QTimer(parent) {
  setObjectName(name);
  setInterval(intervalMs);
  setSingleShot(false);
  // A coarse timer may slip by 5% of its period; the sampling tick
  // counts on a steady 100 ms.
  setTimerType(Qt::PreciseTimer);
  connect(this, &QTimer::timeout, this, [handler = std::move(handler)] {
    if (!handler) return;
    // An exception must not unwind through Qt's event loop; one that the
    // handler did not contain ends the program with a report.
    try {
      handler();
    } catch (const std::exception& e) {
      ReportUntrappedError(e);
    }
  });
}

bool Timer::Enabled() const { return isActive(); }

void Timer::Enabled(bool on) {
  // start() on a running timer begins its period anew.
  if (on) {
    start();
  } else {
    stop();
  }
}

}  // namespace orv
