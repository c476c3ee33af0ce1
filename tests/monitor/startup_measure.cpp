// Opens the real window offscreen, as the program does, and prints the
// time from process launch to its first painted frame and the resident
// set size 10 s later. Used by bench/measure-startup; the program itself
// carries no measuring code.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/qt/app.h"

namespace {

std::int64_t RealtimeNs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

long RssKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
  }
  return -1;
}

// Notes the first paint of the window; the time is taken once the paint
// has been delivered and the frame handed on.
class FirstFrame : public QObject {
 public:
  explicit FirstFrame(std::int64_t launchNs) : m_launchNs(launchNs) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!m_seen && event->type() == QEvent::Paint &&
        watched->objectName() == QLatin1String("frmBandwidth")) {
      m_seen = true;
      QTimer::singleShot(0, [this] {
        std::printf("first_frame_ms %.1f\n", (RealtimeNs() - m_launchNs) / 1.0e6);
        std::fflush(stdout);
      });
    }
    return false;
  }

 private:
  std::int64_t m_launchNs;
  bool m_seen = false;
};

}  // namespace

int main(int argc, char** argv) {
  // The launcher passes its clock reading taken just before starting us,
  // so library loading counts as start-up too.
  const std::int64_t launchNs = argc > 1 ? std::stoll(argv[1]) : RealtimeNs();
  QApplication app(argc, argv);
  FirstFrame probe(launchNs);
  app.installEventFilter(&probe);
  auto window = orv::OpenMonitor(orv::ProductionServices());
  QTimer::singleShot(10'000, [] {
    std::printf("rss_kb_at_10s %ld\n", RssKb());
    std::fflush(stdout);
    QCoreApplication::quit();
  });
  return QApplication::exec();
}
