// Runs the monitor window, wired as the program wires it, and prints what
// it shows after every sampling tick, for tests and measurements on a real
// kernel. Offscreen unless a platform is named in QT_QPA_PLATFORM.
//
//   orv-ticks [--ticks N] [--quiet] [--ignore-stdin]
//
// Ends after N ticks (0, the default: no limit), or when standard input
// reaches its end unless --ignore-stdin. Each tick prints:
//
//   tick <n>
//   time\t<steady clock at the end of the tick, ns>
//   <label name>\t<caption>          one line for each of the nine labels
//   index\t<list position>
//   entry\t<list entry text>         one line per list entry, in order
//   end

#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/qt/app.h"
#include "monitor/frm_bandwidth.h"
#include "toolkit/qt/text.h"

namespace {

struct Options {
  long ticks = 0;
  bool quiet = false;
  bool watchStdin = true;
};

bool ParseOptions(int argc, char** argv, Options& out) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quiet") {
      out.quiet = true;
    } else if (arg == "--ignore-stdin") {
      out.watchStdin = false;
    } else if (arg == "--ticks" && i + 1 < argc) {
      char* end = nullptr;
      out.ticks = std::strtol(argv[++i], &end, 10);
      if (end == argv[i] || *end != '\0' || out.ticks < 0) return false;
    } else {
      return false;
    }
  }
  return true;
}

void Print(const orv::frmBandwidth& w, long tick) {
  const std::vector<std::pair<const char*, const orv::Label*>> labels = {
      {"lblType", w.lblType},
      {"lblRecv", w.lblRecv},
      {"lblSent", w.lblSent},
      {"lblDownloadSpeedTop", w.lblDownloadSpeedTop},
      {"lblUploadSpeedTop", w.lblUploadSpeedTop},
      {"lblDownloadSpeedAverage", w.lblDownloadSpeedAverage},
      {"lblUploadSpeedAverage", w.lblUploadSpeedAverage},
      {"lblDSpeed", w.lblDSpeed},
      {"lblUSpeed", w.lblUSpeed}};
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  QByteArray out = "tick " + QByteArray::number(static_cast<qlonglong>(tick)) + '\n';
  out += "time\t" +
         QByteArray::number(static_cast<qlonglong>(
             std::chrono::duration_cast<std::chrono::nanoseconds>(now).count())) +
         '\n';
  for (const auto& [name, label] : labels) {
    out += QByteArray(name) + '\t' + orv::qt::ToQString(label->Caption()).toUtf8() + '\n';
  }
  out += "index\t" + QByteArray::number(w.cboConnectionType->ListIndex()) + '\n';
  for (std::int16_t i = 0; i < w.cboConnectionType->ListCount(); ++i) {
    out += "entry\t" + orv::qt::ToQString(w.cboConnectionType->List(i)).toUtf8() + '\n';
  }
  out += "end\n";
  std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: orv-ticks [--ticks N] [--quiet] [--ignore-stdin]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvendel"));

  std::unique_ptr<orv::frmBandwidth> window = orv::OpenMonitor(orv::ProductionServices());

  // Connected after the window's own handler, so this runs once the tick
  // has finished.
  long ticks = 0;
  auto* sampling = dynamic_cast<QTimer*>(window->tmrUpdate);
  if (sampling == nullptr) return 1;
  QObject::connect(sampling, &QTimer::timeout, &app, [&] {
    ++ticks;
    if (!options.quiet) Print(*window, ticks);
    if (options.ticks > 0 && ticks >= options.ticks) QApplication::quit();
  });

  std::unique_ptr<QSocketNotifier> input;
  if (options.watchStdin) {
    input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(input.get(), &QSocketNotifier::activated, &app, [&] {
      char buffer[256];
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) {
        input->setEnabled(false);
        QApplication::quit();
      }
    });
  }

  const int status = QApplication::exec();
  window.reset();
  return status;
}
