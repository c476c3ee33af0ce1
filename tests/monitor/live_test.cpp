// The window over the real kernel's interface table, inside two network
// namespaces this test makes (joined by a veth pair) and always removes.
// All traffic goes between the pair's own link-local addresses. Needs
// root; skips when namespaces cannot be made.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/format.h"
#include "tests/monitor/probe_process.h"
#include "tests/support/netns.h"
#include "toolkit/qt/text.h"

namespace orv {
namespace {

using linux_if::test::NetnsGuard;
using linux_if::test::RunProgram;
using test::Capture;
using test::NowNs;
using test::Tick;

const std::string kAddrA = "169.254.77.1";
const std::string kAddrB = "169.254.77.2";

struct Counters {
  std::uint64_t rx = 0;
  std::uint64_t tx = 0;
  bool operator==(const Counters&) const = default;
};

// The kernel's byte counters of every interface of the namespace, summed.
Counters KernelCounters(const std::string& ns) {
  Counters c;
  for (const char* which : {"rx", "tx"}) {
    const std::string text = Capture(
        "ip netns exec " + ns + " sh -c 'cat /sys/class/net/*/statistics/" + which + "_bytes'");
    std::uint64_t sum = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t used = 0;
      try {
        sum += std::stoull(text.substr(pos), &used);
      } catch (...) {
        break;
      }
      pos += used;
      while (pos < text.size() && (text[pos] == '\n' || text[pos] == ' ')) ++pos;
    }
    (std::string(which) == "rx" ? c.rx : c.tx) = sum;
  }
  return c;
}

std::string ShownKB(std::uint64_t bytes) {
  const double kb = static_cast<std::uint32_t>(bytes) / 1024.0;
  return qt::ToQString(Format(kb, kPatternKB, NumberLocale{})).toStdString();
}

// A byte delta as the rate label shows it: exact in bytes below 1 KB,
// else in KB to two places, so within half a hundredth of a KB.
struct Shown {
  double bytes = 0;
  double error = 0;
};

std::optional<Shown> ShownBytes(const std::string& caption) {
  auto ends = [&](const std::string& suffix) {
    return caption.size() > suffix.size() &&
           caption.compare(caption.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  try {
    if (ends(" KBS ")) return Shown{std::stod(caption) * 1024, 0.005 * 1024};
    if (ends(" BS ")) return Shown{static_cast<double>(std::stoll(caption)), 0};
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// Sends UDP datagrams from inside a namespace to a closed port of the
// peer, one every 120 ms. Returns the child's pid.
pid_t SendFromNamespace(const std::string& ns, const std::string& to, int count, int payload) {
  // Everything the child needs is made before the fork: the parent runs
  // threads, and the child must not allocate.
  const std::string path = "/var/run/netns/" + ns;
  const std::vector<char> data(static_cast<std::size_t>(payload), 'x');
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(9);
  if (::inet_pton(AF_INET, to.c_str(), &addr.sin_addr) != 1) return -1;
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int nsFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (nsFd < 0 || ::setns(nsFd, CLONE_NEWNET) != 0) ::_exit(3);
  const int sock = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (sock < 0) ::_exit(4);
  for (int i = 0; i < count; ++i) {
    ::sendto(sock, data.data(), data.size(), 0, reinterpret_cast<const sockaddr*>(&addr),
             sizeof addr);
    ::usleep(120 * 1000);
  }
  ::_exit(0);
}

bool Finished(pid_t pid, int* status) { return ::waitpid(pid, status, WNOHANG) == pid; }

class LiveMonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = linux_if::test::NetnsUnavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    const std::string tag = std::to_string(::getpid());
    nsA = "orv6a-" + tag;
    nsB = "orv6b-" + tag;
    guardA.emplace(nsA);
    if (!guardA->created()) GTEST_SKIP() << "network namespaces not allowed here";
    guardB.emplace(nsB);
    ASSERT_TRUE(guardB->created());
    for (const std::string& ns : {nsA, nsB}) {
      // No IPv6: its address and router chatter would move the counters on
      // their own.
      ASSERT_EQ(Ip({"netns", "exec", ns, "sysctl", "-qw", "net.ipv6.conf.all.disable_ipv6=1"}), 0);
      ASSERT_EQ(Ip({"netns", "exec", ns, "sysctl", "-qw", "net.ipv6.conf.default.disable_ipv6=1"}),
                0);
      ASSERT_EQ(Ip({"-n", ns, "link", "set", "lo", "up"}), 0);
    }
    ASSERT_EQ(
        Ip({"-n", nsA, "link", "add", "va", "type", "veth", "peer", "name", "vb", "netns", nsB}),
        0);
    ASSERT_EQ(Ip({"-n", nsA, "addr", "add", kAddrA + "/30", "dev", "va"}), 0);
    ASSERT_EQ(Ip({"-n", nsB, "addr", "add", kAddrB + "/30", "dev", "vb"}), 0);
    ASSERT_EQ(Ip({"-n", nsA, "link", "set", "va", "up"}), 0);
    ASSERT_EQ(Ip({"-n", nsB, "link", "set", "vb", "up"}), 0);
    // Fixed neighbours: no ARP exchange starts in the middle of a window.
    const std::string macA = Capture("ip netns exec " + nsA + " cat /sys/class/net/va/address");
    const std::string macB = Capture("ip netns exec " + nsB + " cat /sys/class/net/vb/address");
    ASSERT_EQ(Ip({"-n", nsA, "neigh", "replace", kAddrB, "lladdr", Trim(macB), "dev", "va", "nud",
                  "permanent"}),
              0);
    ASSERT_EQ(Ip({"-n", nsB, "neigh", "replace", kAddrA, "lladdr", Trim(macA), "dev", "vb", "nud",
                  "permanent"}),
              0);

    ASSERT_TRUE(test::StartProbe(probe, config, nsA));
  }

  void TearDown() override {
    if (probe.state() != QProcess::NotRunning) {
      probe.closeWriteChannel();
      if (!probe.waitForFinished(5000)) {
        probe.kill();
        probe.waitForFinished(5000);
      }
    }
    for (pid_t pid : senders) {
      int status = 0;
      ::waitpid(pid, &status, 0);
    }
    guardA.reset();
    guardB.reset();
  }

  // `ip` with these arguments, without a shell; its exit status.
  static int Ip(std::vector<std::string> args) {
    args.insert(args.begin(), "ip");
    return RunProgram(args);
  }

  static std::string Trim(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
  }

  // A tick whose sample the kernel's counters agree with: they stood still
  // from before the tick began to after it ended. Its position and counters.
  std::optional<std::pair<std::size_t, Counters>> QuietTick() {
    for (int attempt = 0; attempt < 30; ++attempt) {
      while (reader.ReadTick(30)) {
      }
      const Counters k = KernelCounters(nsA);
      const std::int64_t t1 = NowNs();
      const std::optional<std::size_t> at = reader.TickAfter(t1);
      if (!at) return std::nullopt;
      if (KernelCounters(nsA) == k) return std::make_pair(*at, k);
    }
    return std::nullopt;
  }

  std::string nsA;
  std::string nsB;
  std::optional<NetnsGuard> guardA;
  std::optional<NetnsGuard> guardB;
  QTemporaryDir config;
  QProcess probe;
  test::ProbeTicks reader{probe};
  std::vector<pid_t> senders;
};

TEST_F(LiveMonitorTest, TotalsShowTheKernelsSummedCountersInKB) {
  auto quiet = QuietTick();
  ASSERT_TRUE(quiet) << "the namespace never fell quiet";
  EXPECT_EQ(reader.ticks[quiet->first].labels["lblRecv"], ShownKB(quiet->second.rx));
  EXPECT_EQ(reader.ticks[quiet->first].labels["lblSent"], ShownKB(quiet->second.tx));

  // Enough traffic to move the totals by many KB.
  senders = {SendFromNamespace(nsA, kAddrB, 30, 1400), SendFromNamespace(nsB, kAddrA, 30, 1400)};
  for (pid_t pid : senders) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  senders.clear();
  const Counters before = quiet->second;
  quiet = QuietTick();
  ASSERT_TRUE(quiet);
  EXPECT_GE(quiet->second.tx - before.tx, 30u * 1400u);
  EXPECT_GE(quiet->second.rx - before.rx, 30u * 1400u);
  const Tick& shown = reader.ticks[quiet->first];
  EXPECT_EQ(shown.labels.at("lblRecv"), ShownKB(quiet->second.rx));
  EXPECT_EQ(shown.labels.at("lblSent"), ShownKB(quiet->second.tx));
  EXPECT_EQ(shown.labels.at("lblType"), shown.entries.at(0)) << "entry 0 is chosen";
}

TEST_F(LiveMonitorTest, ShownDeltasAddUpToTheKernelsChange) {
  const auto start = QuietTick();
  ASSERT_TRUE(start);

  // 100-byte datagrams every 120 ms each way, and the port-unreachable
  // replies they draw: well under 1 KB in a sample, so the deltas show in
  // exact bytes unless a tick is held up.
  constexpr int kCount = 15;
  constexpr int kPayload = 100;
  senders = {SendFromNamespace(nsA, kAddrB, kCount, kPayload),
             SendFromNamespace(nsB, kAddrA, kCount, kPayload)};
  for (pid_t pid : senders) {
    int status = 0;
    while (!Finished(pid, &status)) ASSERT_TRUE(reader.ReadTick());
  }
  senders.clear();
  const auto stop = QuietTick();
  ASSERT_TRUE(stop);

  Shown down;
  Shown up;
  for (std::size_t i = start->first + 1; i <= stop->first; ++i) {
    const auto d = ShownBytes(reader.ticks[i].labels["lblDSpeed"]);
    const auto u = ShownBytes(reader.ticks[i].labels["lblUSpeed"]);
    ASSERT_TRUE(d && u) << reader.ticks[i].labels["lblDSpeed"] << " / "
                        << reader.ticks[i].labels["lblUSpeed"];
    down.bytes += d->bytes;
    down.error += d->error;
    up.bytes += u->bytes;
    up.error += u->error;
  }
  const Counters& k0 = start->second;
  const Counters& k1 = stop->second;
  EXPECT_GT(k1.rx - k0.rx, std::uint64_t{kCount * kPayload});
  EXPECT_GT(k1.tx - k0.tx, std::uint64_t{kCount * kPayload});
  // Exact while every sample stayed below 1 KB, as the pacing intends.
  EXPECT_NEAR(down.bytes, static_cast<double>(k1.rx - k0.rx), down.error);
  EXPECT_NEAR(up.bytes, static_cast<double>(k1.tx - k0.tx), up.error);
}

TEST_F(LiveMonitorTest, AVethPairComingAndGoingRebuildsTheListWithinATick) {
  ASSERT_TRUE(reader.ReadTick());
  const std::vector<std::string> initial = reader.ticks.back().entries;
  ASSERT_EQ(initial.size(), 2u) << "lo and va";
  for (const std::string& e : initial) EXPECT_EQ(e.back(), ' ');
  EXPECT_EQ(reader.ticks.back().index, 0);

  ASSERT_EQ(Ip({"-n", nsA, "link", "add", "vc", "type", "veth", "peer", "name", "vd"}), 0);
  auto at = reader.TickAfter(NowNs());
  ASSERT_TRUE(at);
  const Tick& grown = reader.ticks[*at];
  ASSERT_EQ(grown.entries.size(), initial.size() + 2) << "the first tick after the change";
  EXPECT_EQ(grown.entries[0], initial[0]);
  EXPECT_EQ(grown.index, 0);
  int added = 0;
  for (const std::string& e : grown.entries) added += e == "vc " || e == "vd ";
  EXPECT_EQ(added, 2) << "the new pair's names as entries";

  ASSERT_EQ(Ip({"-n", nsA, "link", "del", "vc"}), 0);
  at = reader.TickAfter(NowNs());
  ASSERT_TRUE(at);
  EXPECT_EQ(reader.ticks[*at].entries, initial);
  EXPECT_EQ(reader.ticks[*at].index, 0);
}

}  // namespace
}  // namespace orv
