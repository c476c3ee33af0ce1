// The running window while links come and go: inside a network namespace
// this test makes (and always removes), veth pairs are added and removed
// a thousand times in uneven batches, some inside one tick and some
// across several. The window must keep ticking and never end, and once
// the changes stop its list must name the namespace's links within a
// tick. No traffic is sent. Needs root; skips when namespaces cannot be
// made.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/monitor/probe_process.h"
#include "tests/support/netns.h"

namespace orv {
namespace {

using linux_if::test::NetnsGuard;
using linux_if::test::RunProgram;
using test::Capture;
using test::NowNs;
using test::ProbeTicks;
using test::Tick;

constexpr int kCycles = 1000;
// At most this many pairs stand at once, so a dump stays small and the
// run's time goes into the changes themselves.
constexpr std::size_t kMaxStanding = 24;
constexpr int kMaxBatch = 24;
constexpr int kMaxPauseMs = 150;

// Runs the lines as one `ip -batch`, which stops at the first failing
// line and then reports failure.
bool IpBatch(const std::string& ns, const std::vector<std::string>& lines) {
  FILE* pipe = ::popen(("ip -n " + ns + " -batch - >/dev/null").c_str(), "w");
  if (pipe == nullptr) return false;
  for (const std::string& line : lines) std::fprintf(pipe, "%s\n", line.c_str());
  return ::pclose(pipe) == 0;
}

// The namespace's link names, as the kernel lists them; a veth end is
// shown as "name@peer".
std::vector<std::string> Links(const std::string& ns) {
  std::vector<std::string> names;
  const std::string text = Capture("ip -n " + ns + " -o link show");
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t eol = std::min(text.find('\n', pos), text.size());
    const std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    const std::size_t a = line.find(": ");
    if (a == std::string::npos) continue;
    const std::size_t b = line.find_first_of("@:", a + 2);
    names.push_back(line.substr(a + 2, b - (a + 2)));
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ChurnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = linux_if::test::NetnsUnavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    ns = "orv10c-" + std::to_string(::getpid());
    guard.emplace(ns);
    if (!guard->created()) GTEST_SKIP() << "network namespaces not allowed here";
    ASSERT_EQ(RunProgram({"ip", "-n", ns, "link", "set", "lo", "up"}), 0);
    ASSERT_TRUE(test::StartProbe(probe, config, ns));
  }

  void TearDown() override {
    if (probe.state() != QProcess::NotRunning) {
      probe.kill();
      probe.waitForFinished(5000);
    }
    guard.reset();
  }

  std::string ns;
  std::optional<NetnsGuard> guard;
  QTemporaryDir config;
  QProcess probe;
};

TEST_F(ChurnTest, AThousandPairsComeAndGoAndTheListFollows) {
  ProbeTicks reader(probe);
  ASSERT_TRUE(reader.TickAfter(NowNs())) << "the window never ticked";
  ASSERT_EQ(reader.ticks.back().entries, std::vector<std::string>{"lo "});

  // A fixed seed: a failing order of changes can be run again.
  std::mt19937 random(20261208u);
  const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::vector<int> standing;
  int added = 0;
  int removed = 0;
  int batches = 0;
  const std::int64_t start = NowNs();
  const std::size_t ticksBefore = reader.ticks.size();

  while (removed < kCycles) {
    std::vector<std::string> lines;
    const int size = 1 + below(kMaxBatch);
    for (int i = 0; i < size && removed < kCycles; ++i) {
      const bool add = added < kCycles &&
                       (standing.empty() || (standing.size() < kMaxStanding && below(2) == 0));
      if (add) {
        lines.push_back("link add c" + std::to_string(added) + "a type veth peer name c" +
                        std::to_string(added) + "b");
        standing.push_back(added++);
      } else {
        const std::size_t at = static_cast<std::size_t>(below(static_cast<int>(standing.size())));
        // Either end takes its peer with it.
        lines.push_back("link del c" + std::to_string(standing[at]) + (below(2) ? "a" : "b"));
        standing.erase(standing.begin() + static_cast<std::ptrdiff_t>(at));
        ++removed;
      }
    }
    ASSERT_TRUE(IpBatch(ns, lines)) << "batch " << batches << " failed";
    ++batches;
    ASSERT_EQ(probe.state(), QProcess::Running) << "the window ended after batch " << batches;
    reader.ReadUntil(NowNs() + std::int64_t{below(kMaxPauseMs + 1)} * 1000000);
  }
  ASSERT_TRUE(standing.empty());
  const std::size_t churnTicks = reader.ticks.size() - ticksBefore;

  // A settled tick first, then one last change.
  ASSERT_TRUE(reader.TickAfter(NowNs()));
  ASSERT_TRUE(IpBatch(ns, {"link add zlast1a type veth peer name zlast1b",
                           "link add zlast2a type veth peer name zlast2b"}));
  const std::int64_t lastChange = NowNs();
  const std::optional<std::size_t> at = reader.TickAfter(lastChange);
  const double seconds = (NowNs() - start) / 1e9;
  ASSERT_TRUE(at) << "no tick after the last change";
  const Tick& after = reader.ticks[*at];

  const std::vector<std::string> links = Links(ns);
  ASSERT_EQ(links, (std::vector<std::string>{"lo", "zlast1a", "zlast1b", "zlast2a", "zlast2b"}));
  std::vector<std::string> shown;
  for (const std::string& entry : after.entries) {
    ASSERT_FALSE(entry.empty());
    EXPECT_EQ(entry.back(), ' ') << entry;
    shown.push_back(entry.substr(0, entry.size() - 1));
  }
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, links) << "the list one tick after the last change";
  EXPECT_EQ(after.index, 0);

  std::printf(
      "churn: %d cycles (%d pairs added and removed) in %d batches, %zu ticks meanwhile, "
      "%.1f s wall\n",
      removed, added, batches, churnTicks, seconds);
  RecordProperty("cycles", removed);
  RecordProperty("wall_s", std::to_string(seconds));
  EXPECT_GT(churnTicks, 10u) << "the window hardly ticked while links changed";

  // The window ends as asked, at the end of its input, not by a crash.
  probe.closeWriteChannel();
  ASSERT_TRUE(probe.waitForFinished(10000));
  EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(probe.exitCode(), 0);
}

// One pair leaving as another arrives in one batch keeps the count; the
// list must still name the new pair within a tick.
TEST_F(ChurnTest, ASwapInOneBatchShowsTheNewPair) {
  ProbeTicks reader(probe);
  ASSERT_TRUE(reader.TickAfter(NowNs())) << "the window never ticked";
  ASSERT_TRUE(IpBatch(ns, {"link add olda type veth peer name oldb"}));
  ASSERT_TRUE(reader.TickAfter(NowNs()));
  ASSERT_TRUE(IpBatch(ns, {"link del olda", "link add newa type veth peer name newb"}));
  const std::optional<std::size_t> after = reader.TickAfter(NowNs());
  ASSERT_TRUE(after) << "no tick after the swap";
  std::vector<std::string> shown = reader.ticks[*after].entries;
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, (std::vector<std::string>{"lo ", "newa ", "newb "}));
}

}  // namespace
}  // namespace orv
