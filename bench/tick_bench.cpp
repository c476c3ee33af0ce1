// Cost of one sampling tick of the Qt window in steady state: the table read twice, nine
// labels, the history and the graph redraw, with no list rebuild. Over a
// fake reader (the window's own cost) and over the real reader on a
// synthetic table (the cost with row decoding), at 3, 100 and 1000
// interfaces.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/app.h"
#include "monitor/frm_bandwidth.h"
#include "stats/cip_helper.h"
#include "tests/support/if_table_builder.h"
#include "toolkit/qt/runtime.h"

namespace orv {
namespace {

// A reader that builds a fresh collection on every read, as the real one
// does, with totals that grow by a steady amount per read.
class SteadyReader : public InterfaceReader {
 public:
  explicit SteadyReader(int n) {
    for (int i = 0; i < n; ++i) {
      const std::string name = "eth" + std::to_string(i);
      m_names.emplace_back(name.begin(), name.end());
    }
  }
  std::shared_ptr<CInterfaces> Interfaces() override {
    auto collection = std::make_shared<CInterfaces>();
    for (const auto& name : m_names) {
      auto record = std::make_shared<CInterface>();
      record->InterfaceDescription(name);
      collection->Add(record);
    }
    m_received += 1500;
    m_sent += 300;
    return collection;
  }
  double BytesReceived() const override { return static_cast<std::int32_t>(m_received); }
  double BytesSent() const override { return static_cast<std::int32_t>(m_sent); }

 private:
  std::vector<std::u16string> m_names;
  std::uint32_t m_received = 0;
  std::uint32_t m_sent = 0;
};

MonitorServices Services(std::function<std::shared_ptr<InterfaceReader>()> makeReader,
                         bool realYield) {
  MonitorServices s;
  s.makeReader = std::move(makeReader);
  s.getSetting = [](std::u16string_view, std::u16string_view, std::u16string_view,
                    std::u16string_view def) { return std::u16string(def); };
  s.doEvents = realYield ? std::function<void()>(&qt::DoEvents) : std::function<void()>([] {});
  s.startTimers = false;
  return s;
}

void RunTicks(benchmark::State& state, frmBandwidth& window) {
  window.Form_Load();
  // Past the baseline sample and the history's first trim.
  for (int i = 0; i < 3; ++i) window.tmrUpdate_Timer();
  if (window.cboConnectionType->ListCount() != state.range(0)) {
    state.SkipWithError("the list does not hold every interface");
    return;
  }
  for (auto _ : state) window.tmrUpdate_Timer();
  window.tmrUpdate->Enabled(false);
  state.counters["interfaces"] = static_cast<double>(state.range(0));
}

void BM_TickFakeReader(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto window =
      BuildMonitor(Services([n] { return std::make_shared<SteadyReader>(n); }, false));
  RunTicks(state, *window);
}

// The real reader over a table of n rows whose first counter moves on
// every table call.
struct SyntheticTable {
  explicit SyntheticTable(int n) {
    std::vector<test::Row> rows(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      const std::string d = "veth" + std::to_string(i);
      rows[static_cast<std::size_t>(i)].descr.assign(d.begin(), d.end());
      rows[static_cast<std::size_t>(i)].descrLen = static_cast<std::int32_t>(d.size());
      rows[static_cast<std::size_t>(i)].inOctets = 1000u * static_cast<std::uint32_t>(i);
      rows[static_cast<std::size_t>(i)].outOctets = 10u * static_cast<std::uint32_t>(i);
    }
    fake.table = test::BuildTable(rows);
    inner = fake.Fn();
  }
  GetIfTableFn Fn() {
    return [this](std::uint8_t* buffer, std::uint32_t* size, std::int32_t order) {
      if (buffer != nullptr) {
        counter += 1500;
        test::PutU32(fake.table, kIfTableHeaderSize + if_row::kInOctets, counter);
      }
      return inner(buffer, size, order);
    };
  }
  test::FakeTable fake;
  GetIfTableFn inner;
  std::uint32_t counter = 0;
};

void RealReader(benchmark::State& state, bool realYield) {
  const int n = static_cast<int>(state.range(0));
  SyntheticTable table(n);
  const auto window = BuildMonitor(
      Services([&table] { return std::make_shared<CIpHelper>(table.Fn()); }, realYield));
  RunTicks(state, *window);
}

void BM_TickRealReader(benchmark::State& state) { RealReader(state, false); }
// As the program runs it: each of the two yields delivers pending events.
void BM_TickRealReaderWithYields(benchmark::State& state) { RealReader(state, true); }

// Totals that move as a link under stepped traffic does: the same count
// of bytes every tick for ten ticks, then another (0 is idle).
class SteppedReader : public SteadyReader {
 public:
  explicit SteppedReader(bool traffic) : SteadyReader(4), m_traffic(traffic) {}
  std::shared_ptr<CInterfaces> Interfaces() override {
    static constexpr std::uint32_t kStepsKB[] = {15, 40, 65, 25, 55, 30, 60, 20, 50, 35};
    if (m_traffic) m_received += kStepsKB[(m_reads++ / 20) % std::size(kStepsKB)] * 1042;
    return SteadyReader::Interfaces();
  }
  double BytesReceived() const override { return static_cast<std::int32_t>(m_received); }
  double BytesSent() const override { return static_cast<std::int32_t>(m_received / 9); }

 private:
  bool m_traffic;
  std::uint32_t m_reads = 0;  // two a tick
  std::uint32_t m_received = 0;
};

// A tick of the shown window with its painting and flushing to the display
// (the platform's: run it under xcb on a display to count the X round
// trips too): 0 idle, 1 traffic. Ticks run back to back, so caches stay
// warm; bench/measure-states gives the cost at ten ticks a second.
// One tick and the events it leaves, its paint among them.
void TickAndPaint(frmBandwidth& window) {
  window.tmrUpdate_Timer();
  // The tick switches its timer back on: off again, or the events would
  // run a tick of its own whenever a period has passed (often, when the
  // bench runs under a profiler).
  window.tmrUpdate->Enabled(false);
  QApplication::processEvents();
}

// Kept out of line so that a profiler can count the measured ticks alone
// (valgrind --toggle-collect='*MeasuredTicks*').
[[gnu::noinline]] void MeasuredTicks(benchmark::State& state, frmBandwidth& window) {
  for (auto _ : state) TickAndPaint(window);
}

void BM_TickShown(benchmark::State& state) {
  const bool traffic = state.range(0) != 0;
  MonitorServices services =
      Services([traffic] { return std::make_shared<SteppedReader>(traffic); }, true);
  const auto window = OpenMonitor(std::move(services));
  // Past the history's filling and the first trip through every step.
  for (int i = 0; i < 220; ++i) TickAndPaint(*window);
  MeasuredTicks(state, *window);
}
BENCHMARK(BM_TickShown)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_TickFakeReader)->Arg(3)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickRealReader)->Arg(3)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickRealReaderWithYields)->Arg(3)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orv

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
