// Ten thousand sampling ticks of the shown window, driven as fast as they
// run: the real reader over a table whose counters move (and wrap) on
// every read and whose row count changes now and then, the real event
// yield, and the peak reset every 20 ticks. Memory must stay flat once
// warm; under the sanitizer build, LeakSanitizer checks at exit that
// nothing was lost.

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/app.h"
#include "iftable/if_table.h"
#include "monitor/frm_bandwidth.h"
#include "stats/cip_helper.h"
#include "tests/support/if_table_builder.h"
#include "toolkit/qt/runtime.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace orv {
namespace {

constexpr int kTicks = 10000;
constexpr int kWarmUpTicks = 1000;
constexpr int kPeakResetEvery = 20;
// Every so many ticks the table gains or loses a row, which rebuilds the
// list and restores the stored choice.
constexpr int kRowChangeEvery = 250;
// Every so many ticks (at a tick of a three-row phase) the table grows
// between the reader's size query and its data call, so that read finds
// its buffer too small; the tick after it shrinks back.
constexpr int kGrowMidReadEvery = 1000;
constexpr int kGrowMidReadAt = 100;

// A leak of the smallest thing a tick makes, one record of one row
// (about 300 bytes with its strings and control block), would grow the
// heap by 2.6 MiB over the 9000 measured ticks. Steady-state caches of
// the allocator and the toolkit (glyphs, the backing store) settle well
// within the warm-up and move by tens of KiB after it.
constexpr long kFlatBoundKiB = 2 * 1024;

std::vector<std::uint8_t> Table(int rows) {
  std::vector<test::Row> r(static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) {
    const std::string d = "soak" + std::to_string(i);
    r[static_cast<std::size_t>(i)].descr.assign(d.begin(), d.end());
    r[static_cast<std::size_t>(i)].descrLen = static_cast<std::int32_t>(d.size());
    r[static_cast<std::size_t>(i)].index = static_cast<std::uint32_t>(i + 1);
  }
  return test::BuildTable(r);
}

// The table call the reader sees. Row 0's counters move on every data
// call; they start just short of 2^32 so they wrap early in the run.
struct ChangingTable {
  std::vector<std::uint8_t> three = Table(3);
  std::vector<std::uint8_t> four = Table(4);
  bool large = false;
  bool growAtNextData = false;
  std::uint32_t received = 0xFFF00000u;
  std::uint32_t sent = 0xFFFF0000u;
  std::uint32_t step = 0;
  int dataCalls = 0;

  std::vector<std::uint8_t>& Current() { return large ? four : three; }

  GetIfTableFn Fn() {
    return [this](std::uint8_t* buffer, std::uint32_t* size, std::int32_t) -> std::uint32_t {
      if (buffer == nullptr) {
        *size = static_cast<std::uint32_t>(Current().size());
        if (growAtNextData) {
          growAtNextData = false;
          large = true;
        }
        return kStatusInsufficientBuffer;
      }
      ++dataCalls;
      std::vector<std::uint8_t>& table = Current();
      if (*size < table.size()) {
        *size = static_cast<std::uint32_t>(table.size());
        return kStatusInsufficientBuffer;
      }
      // Uneven steps, some of them past 1 KB, so the rate labels switch
      // between their two patterns and the peaks move.
      step = step * 1103515245u + 12345u;
      received += (step >> 16) % 40000u;
      sent += (step >> 8) % 900u;
      test::PutU32(table, kIfTableHeaderSize + if_row::kInOctets, received);
      test::PutU32(table, kIfTableHeaderSize + if_row::kOutOctets, sent);
      std::copy(table.begin(), table.end(), buffer);
      *size = static_cast<std::uint32_t>(table.size());
      return kStatusSuccess;
    };
  }
};

long StatusKiB(const char* key) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  const QByteArray prefix = QByteArray(key) + ':';
  for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
    if (line.startsWith(prefix))
      return line.mid(prefix.size()).trimmed().split(' ').front().toLong();
  }
  return -1;
}

// What stays of the program's memory once freed memory is given back.
// Under AddressSanitizer the resident size is mostly its quarantine of
// freed blocks (filling towards its cap for the whole run), so there the
// sanitizer's own count of live heap bytes is the figure that shows a
// leak; elsewhere the resident set itself.
struct Memory {
  long rssKiB = 0;
  long heapKiB = -1;
};

Memory Now() {
  Memory m;
  m.rssKiB = StatusKiB("VmRSS");
#if defined(__SANITIZE_ADDRESS__)
  m.heapKiB = static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#endif
  return m;
}

long Flat(const Memory& m) { return m.heapKiB >= 0 ? m.heapKiB : m.rssKiB; }

TEST(SoakTest, TenThousandTicksLeaveMemoryFlat) {
  ChangingTable table;
  MonitorServices services;
  services.makeReader = [&table] { return std::make_shared<CIpHelper>(table.Fn()); };
  services.getSetting = [](std::u16string_view, std::u16string_view, std::u16string_view,
                           std::u16string_view) { return std::u16string(u"2"); };
  services.doEvents = &qt::DoEvents;
  services.startTimers = false;
  std::unique_ptr<frmBandwidth> window = OpenMonitor(std::move(services));
  ASSERT_EQ(window->cboConnectionType->ListCount(), 3);
  ASSERT_EQ(window->cboConnectionType->ListIndex(), 2);

  const auto start = std::chrono::steady_clock::now();
  Memory warm;
  int historyWarm = 0;
  int rebuilds = 0;
  int peakResets = 0;
  for (int tick = 1; tick <= kTicks; ++tick) {
    table.large = (tick / kRowChangeEvery) % 2 == 1;
    if (tick % kGrowMidReadEvery == kGrowMidReadAt) table.growAtNextData = true;
    const std::int16_t listBefore = window->cboConnectionType->ListCount();

    window->tmrUpdate_Timer();

    const std::int16_t list = window->cboConnectionType->ListCount();
    if (list != listBefore) ++rebuilds;
    // After every tick the list holds exactly the rows of the table.
    ASSERT_EQ(list, table.large ? 4 : 3) << "tick " << tick;
    ASSERT_EQ(window->cboConnectionType->ListIndex(), 2) << "tick " << tick;
    ASSERT_TRUE(window->tmrUpdate->Enabled()) << "tick " << tick << " did not run to its end";
    if (tick % kPeakResetEvery == 0) {
      window->Timer1_Timer();
      ++peakResets;
      ASSERT_EQ(window->dblDownloadSpeedTop, 0);
      ASSERT_EQ(window->dblUploadSpeedTop, 0);
    }
    if (tick == kWarmUpTicks) {
      warm = Now();
      historyWarm = window->colHistory->Count();
    }
  }
  const Memory end = Now();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  window->tmrUpdate->Enabled(false);

  // The history keeps its length: a graph that never trims is a leak too.
  EXPECT_EQ(window->colHistory->Count(), historyWarm);
  EXPECT_LE(historyWarm, 101);
  EXPECT_EQ(rebuilds, kTicks / kRowChangeEvery + 2 * (kTicks / kGrowMidReadEvery))
      << "a rebuild for every row change, two for each growth in the middle of a read";
  // Two table reads per tick at least, plus the list fills.
  EXPECT_GE(table.dataCalls, 2 * kTicks);

  std::printf("soak: %d ticks in %.1f s (%.2f ms a tick), %d list rebuilds, %d peak resets\n",
              kTicks, seconds, 1000 * seconds / kTicks, rebuilds, peakResets);
  std::printf("soak: RSS %ld kB at tick %d, %ld kB at tick %d\n", warm.rssKiB, kWarmUpTicks,
              end.rssKiB, kTicks);
  if (end.heapKiB >= 0) {
    std::printf("soak: live heap %ld kB at tick %d, %ld kB at tick %d\n", warm.heapKiB,
                kWarmUpTicks, end.heapKiB, kTicks);
  }
  RecordProperty("rss_kb_warm", std::to_string(warm.rssKiB));
  RecordProperty("rss_kb_end", std::to_string(end.rssKiB));
  ASSERT_GT(Flat(warm), 0);
  EXPECT_LE(Flat(end) - Flat(warm), kFlatBoundKiB)
      << (end.heapKiB >= 0 ? "live heap" : "resident set") << " grew after the warm-up";
}

}  // namespace
}  // namespace orv
