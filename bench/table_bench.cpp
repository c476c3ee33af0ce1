#include <benchmark/benchmark.h>
#include <linux/netlink.h>

#include <cstring>
#include <span>
#include <vector>

#include "iftable/if_table.h"
#include "iftable/le_fields.h"
#include "iftable/linux/if_row_writer.h"
#include "iftable/linux/if_table_cached.h"
#include "iftable/linux/if_table_source.h"
#include "iftable/linux/netlink_parse.h"
#include "iftable/linux/netlink_socket.h"
#include "iftable/linux/proc_net_dev.h"
#include "stats/cip_helper.h"

namespace orv {
namespace {

using namespace linux_if;

std::uint32_t LoadOnce(const GetIfTableFn& table, std::vector<std::uint8_t>& buf) {
  std::uint32_t size = 0;
  table(nullptr, &size, 0);
  buf.assign(size, 0);  // the reader allocates a fresh zeroed buffer each load
  if (table(buf.data(), &size, 0) != kStatusSuccess) return 0;
  return le::U32(buf, 0);
}

// What a bare dump does with each datagram: walks the message headers to
// the end, counting the messages. An error message ends the dump as a
// failure, like a header too short to step over.
NetlinkSocket::SinkAnswer CountMessages(std::span<const std::uint8_t> d, std::size_t& messages) {
  std::size_t pos = 0;
  while (pos + sizeof(nlmsghdr) <= d.size()) {
    nlmsghdr h;
    std::memcpy(&h, d.data() + pos, sizeof h);
    if (h.nlmsg_len < sizeof h) return NetlinkSocket::SinkAnswer{false, false};
    if (h.nlmsg_type == NLMSG_DONE) return NetlinkSocket::SinkAnswer{false, true};
    if (h.nlmsg_type == NLMSG_ERROR) return NetlinkSocket::SinkAnswer{false, false};
    ++messages;
    pos += NLMSG_ALIGN(h.nlmsg_len);
  }
  return NetlinkSocket::SinkAnswer{true, true};
}

// One bare dump per iteration, each datagram received and only its
// message headers walked to find the end.
void BareDump(benchmark::State& state, DumpCall dump, const char* failure) {
  NetlinkSocket socket;
  if (!socket.Open()) {
    state.SkipWithError("no netlink");
    return;
  }
  std::uint32_t seq = 0;
  std::size_t messages = 0;
  for (auto _ : state) {
    messages = 0;
    const auto result = (socket.*dump)(
        ++seq, [&](std::span<const std::uint8_t> d) { return CountMessages(d, messages); });
    if (result != SocketResult::Ok) {
      state.SkipWithError(failure);
      return;
    }
  }
  state.counters["links"] = static_cast<double>(messages);
}

// The kernel's own cost of the link facts: one RTM_GETLINK dump.
void BM_BareNetlinkDump(benchmark::State& state) {
  BareDump(state, &NetlinkSocket::DumpLinks, "dump failed");
}
BENCHMARK(BM_BareNetlinkDump)->Unit(benchmark::kMicrosecond);

void BM_ProcNetDevRead(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto text = ReadProcNetDevFile();
    bytes = text ? text->size() : 0;
    benchmark::DoNotOptimize(text);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ProcNetDevRead)->Unit(benchmark::kMicrosecond);

void BM_ProcNetDevReadAndParse(benchmark::State& state) {
  std::size_t links = 0;
  for (auto _ : state) {
    const auto parsed = ParseProcNetDev(ReadProcNetDevFile().value_or(""));
    links = parsed ? parsed->size() : 0;
  }
  state.counters["links"] = static_cast<double>(links);
}
BENCHMARK(BM_ProcNetDevReadAndParse)->Unit(benchmark::kMicrosecond);

// The kernel's own cost of the counters: one RTM_GETSTATS dump of the
// 64-bit link statistics.
void BM_BareStatsDump(benchmark::State& state) {
  BareDump(state, &NetlinkSocket::DumpStats, "statistics dump failed");
}
BENCHMARK(BM_BareStatsDump)->Unit(benchmark::kMicrosecond);

template <class Source>
GetIfTableFn Wrap(std::shared_ptr<Source> source) {
  return [source](std::uint8_t* t, std::uint32_t* s, std::int32_t o) {
    return source->GetIfTable(t, s, o);
  };
}

// `loads` table loads per iteration; the window makes two per tick.
void MeasureLoads(benchmark::State& state, const GetIfTableFn& table, int loads) {
  std::vector<std::uint8_t> buf;
  std::uint32_t rows = 0;
  for (auto _ : state) {
    for (int i = 0; i < loads; ++i) rows = LoadOnce(table, buf);
  }
  state.counters["links"] = rows;
}

// One table load (size call + data call) of the cached source, as the
// program uses it: one source for the whole run.
void BM_FullLoad(benchmark::State& state) { MeasureLoads(state, SystemIfTable(), 1); }
BENCHMARK(BM_FullLoad)->Unit(benchmark::kMicrosecond);

// One tick's worth: the window loads the table twice per tick.
void BM_Tick(benchmark::State& state) { MeasureLoads(state, SystemIfTable(), 2); }
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

// The same with the clock moving as it does at ten ticks a second (50 ms
// per load), so the per-interface files are read again as often as in the
// running program: about a tenth of the links per tick.
void BM_TickAt10Hz(benchmark::State& state) {
  CachedIfTableDeps deps = SystemCachedDeps();
  auto now = std::make_shared<std::chrono::steady_clock::time_point>();
  deps.plain.now = [now] { return *now += std::chrono::milliseconds(50); };
  auto source = std::make_shared<CachedIfTableSource>(std::move(deps));
  MeasureLoads(state, Wrap(source), 2);
  state.counters["reads_per_tick"] = benchmark::Counter(
      static_cast<double>(source->counts().extrasReads), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TickAt10Hz)->Unit(benchmark::kMicrosecond);

// The plain source, a full link dump on every call: the cost before the
// cache, for comparison.
void BM_PlainFullLoad(benchmark::State& state) {
  MeasureLoads(state, Wrap(std::make_shared<IfTableSource>(SystemDeps())), 1);
}
BENCHMARK(BM_PlainFullLoad)->Unit(benchmark::kMicrosecond);

void BM_PlainTick(benchmark::State& state) {
  MeasureLoads(state, Wrap(std::make_shared<IfTableSource>(SystemDeps())), 2);
}
BENCHMARK(BM_PlainTick)->Unit(benchmark::kMicrosecond);

// What one read of Interfaces costs the window: the two table calls plus
// one record per row.
void BM_ReaderInterfaces(benchmark::State& state) {
  CIpHelper reader(SystemIfTable());
  std::int32_t count = 0;
  for (auto _ : state) count = reader.Interfaces()->Count();
  state.counters["links"] = count;
}
BENCHMARK(BM_ReaderInterfaces)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orv
