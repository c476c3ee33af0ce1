#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "platform/convert.h"
#include "platform/format.h"

namespace {

const orv::NumberLocale kLocale{u".", u",", u"/"};

// Arguments index the patterns; the value is one the window really shows
// with that pattern (a total in KB, a peak, an average, a small delta).
struct PatternCase {
  std::u16string_view pattern;
  double value;
};
constexpr PatternCase kCases[] = {
    {orv::kPatternKB, 1234567890.0 / 1024},    {orv::kPatternKbPerSecond, 12650.0 / 1024},
    {orv::kPatternGrouped2, 1234567.0 / 1024}, {orv::kPatternBytes, 1023},
    {orv::kPatternKBytes, 1700.0 / 1024},
};

void BM_Format(benchmark::State& state) {
  const PatternCase& c = kCases[state.range(0)];
  double value = c.value;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    auto text = orv::Format(value, c.pattern, kLocale);
    benchmark::DoNotOptimize(text);
  }
  state.SetLabel(std::string(c.pattern.begin(), c.pattern.end()));
}
BENCHMARK(BM_Format)->DenseRange(0, 4);

// Small magnitudes need the longest exact expansion (the worst case of
// the rounding), the largest doubles the longest integer part.
void BM_FormatExtremes(benchmark::State& state) {
  const double value = state.range(0) == 0 ? 1e-300 : 1.7976931348623157e308;
  for (auto _ : state) {
    auto text = orv::Format(value, orv::kPatternGrouped2, kLocale);
    benchmark::DoNotOptimize(text);
  }
  state.SetLabel(state.range(0) == 0 ? "1e-300" : "DBL_MAX");
}
BENCHMARK(BM_FormatExtremes)->DenseRange(0, 1);

// The tick's history step: format, read back, round down.
void BM_HistoryRoundTrip(benchmark::State& state) {
  double value = 2600.0 / 1024;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    double v =
        orv::Int(orv::ParseNumber(orv::Format(value, orv::kPatternGrouped2, kLocale), kLocale));
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_HistoryRoundTrip);

}  // namespace
