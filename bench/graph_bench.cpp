#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <memory>

#include "graph/cls_line_graph.h"
#include "monitor/graph_look.h"
#include "tests/support/recording_surface.h"
#include "toolkit/qt/picture_box.h"

namespace orv {
namespace {

// The graph box of the window: 5685 x 1750 twips at 15 twips a pixel.
constexpr int kOuterWidth = 379;
constexpr int kOuterHeight = 117;

// benchmark_main owns main(), so the one application object is made on
// first use; widgets need it, and without a display only offscreen works.
QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_graph";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

// The window's settings and its steady state: 100 values, one appended
// before each Draw, as the sampling tick does.
void Configure(clsLineGraph& graph, PictureSurface* surface, std::shared_ptr<History> history) {
  graph.PictureBox(surface);
  graph.DataCollection(std::move(history));
  ApplyWindowGraphLook(graph);
}

std::shared_ptr<History> FullHistory() {
  auto history = std::make_shared<History>();
  for (int k = 0; k < 100; ++k) history->Add((k * 37) % 100);
  return history;
}

struct Window {
  QWidget top;
  qt::QtPictureBox* pic;
  Window() : pic(new qt::QtPictureBox(&top)) {
    top.resize(kOuterWidth, kOuterHeight);
    pic->setGeometry(0, 0, kOuterWidth, kOuterHeight);
    top.show();
    QApplication::processEvents();
  }
};

// One Draw per iteration on the window's picture box. The repaint it
// queues is delivered inside the timing only when `timeRepaint` says so.
void DrawOnPictureBox(benchmark::State& state, bool timeRepaint) {
  App();
  Window window;
  auto history = FullHistory();
  clsLineGraph graph;
  Configure(graph, window.pic, history);
  double v = 0;
  for (auto _ : state) {
    history->Add(v = v > 99 ? 0 : v + 1.5);
    graph.Draw();
    if (!timeRepaint) state.PauseTiming();
    QApplication::processEvents();
    if (!timeRepaint) state.ResumeTiming();
  }
  graph.PictureBox(nullptr);
  state.counters["entries"] = history->Count();
}

// Draw alone.
void BM_DrawOnPictureBox(benchmark::State& state) { DrawOnPictureBox(state, false); }
BENCHMARK(BM_DrawOnPictureBox)->Unit(benchmark::kMicrosecond);

// Draw plus the repaint of the widget that it causes, as one tick costs.
void BM_DrawAndRepaintPictureBox(benchmark::State& state) { DrawOnPictureBox(state, true); }
BENCHMARK(BM_DrawAndRepaintPictureBox)->Unit(benchmark::kMicrosecond);

void BM_DrawOnRecordingSurface(benchmark::State& state) {
  test::RecordingSurface surface;
  surface.width = kOuterWidth - 4;
  surface.height = kOuterHeight - 4;
  auto history = FullHistory();
  clsLineGraph graph;
  Configure(graph, &surface, history);
  double v = 0;
  for (auto _ : state) {
    surface.calls.clear();
    history->Add(v = v > 99 ? 0 : v + 1.5);
    graph.Draw();
    benchmark::DoNotOptimize(surface.calls.data());
  }
  state.counters["calls"] = static_cast<double>(surface.calls.size());
}
BENCHMARK(BM_DrawOnRecordingSurface)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orv
