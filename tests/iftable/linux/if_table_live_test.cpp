// The table source against the kernel: two network namespaces made here,
// joined by a veth pair, a known number of UDP bytes sent across, and the
// rows compared with what sysfs says inside each namespace. Needs root;
// skips otherwise. Nothing leaves the two namespaces.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <netinet/in.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "iftable/if_table.h"
#include "iftable/le_fields.h"
#include "iftable/linux/if_row_writer.h"
#include "tests/support/netns.h"

namespace orv::linux_if {
namespace {

using test::EnterNetns;
using test::InNetns;
using test::LoopbackTraffic;
using test::NetnsGuard;
using test::QuietIpv6;
using test::ReadFile;
using test::RunProgram;

struct SysLink {
  std::uint32_t index = 0;
  std::uint32_t mtu = 0;
  std::string address;
  std::uint64_t rx = 0;
  std::uint64_t tx = 0;
  bool operator==(const SysLink&) const = default;
};

struct RowView {
  std::string name;
  std::uint32_t index, type, mtu, speed, admin, oper, in, out;
  std::string address;
};

std::string Hex(const std::uint8_t* p, std::size_t n) {
  std::string s;
  char b[4];
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, i ? ":%02x" : "%02x", p[i]);
    s += b;
  }
  return s;
}

// Child side: sysfs, the table, sysfs again, as lines of text.
std::string SnapshotInChild() {
  const auto sysfs = [] {
    std::ostringstream os;
    DIR* dir = ::opendir("/sys/class/net");
    if (!dir) return std::string("error: no /sys/class/net\n");
    while (dirent* e = ::readdir(dir)) {
      const std::string n = e->d_name;
      if (n == "." || n == "..") continue;
      const std::string d = "/sys/class/net/" + n + "/";
      os << "sys " << n << ' ' << ReadFile(d + "ifindex") << ' ' << ReadFile(d + "mtu") << ' '
         << ReadFile(d + "address") << ' ' << ReadFile(d + "statistics/rx_bytes") << ' '
         << ReadFile(d + "statistics/tx_bytes") << '\n';
    }
    ::closedir(dir);
    return os.str();
  };
  std::ostringstream os;
  os << sysfs();
  GetIfTableFn table = SystemIfTable();
  std::uint32_t size = 0;
  const std::uint32_t first = table(nullptr, &size, 0);
  std::vector<std::uint8_t> buf(size);
  const std::uint32_t second = table(buf.data(), &size, 0);
  os << "status " << first << ' ' << second << '\n';
  if (second == kStatusSuccess) {
    const std::uint32_t n = le::U32(buf, 0);
    for (std::uint32_t i = 0; i < n && 4 + (i + 1) * kIfRowSize <= buf.size(); ++i) {
      const auto r = std::span(buf).subspan(4 + i * kIfRowSize, kIfRowSize);
      std::string name;
      for (std::size_t k = 0; k < 256 && (r[2 * k] || r[2 * k + 1]); ++k) name += char(r[2 * k]);
      namespace o = row_offset;
      os << "row " << name << ' ' << le::U32(r, o::kIndex) << ' ' << le::U32(r, o::kType) << ' '
         << le::U32(r, o::kMtu) << ' ' << le::U32(r, o::kSpeed) << ' '
         << le::U32(r, o::kAdminStatus) << ' ' << le::U32(r, o::kOperStatus) << ' '
         << le::U32(r, o::kInOctets) << ' ' << le::U32(r, o::kOutOctets) << ' '
         << Hex(r.data() + o::kPhysAddr, le::U32(r, o::kPhysAddrLen)) << '\n';
    }
  }
  os << "after\n" << sysfs();
  return os.str();
}

struct Snapshot {
  std::string error;
  std::map<std::string, SysLink> before, after;
  std::map<std::string, RowView> rows;
  std::vector<std::uint32_t> order;  // row indexes as the table gave them
  std::uint32_t sizeStatus = 0, dataStatus = 0;
};

Snapshot Parse(const std::string& text) {
  Snapshot s;
  if (text.rfind("error", 0) == 0 || text.empty()) {
    s.error = text.empty() ? "no output from the child" : text;
    return s;
  }
  std::istringstream in(text);
  std::string line;
  bool after = false;
  while (std::getline(in, line)) {
    std::istringstream w(line);
    std::string kind;
    w >> kind;
    if (kind == "after") {
      after = true;
    } else if (kind == "sys") {
      std::string name;
      SysLink l;
      w >> name >> l.index >> l.mtu >> l.address >> l.rx >> l.tx;
      (after ? s.after : s.before)[name] = l;
    } else if (kind == "status") {
      w >> s.sizeStatus >> s.dataStatus;
    } else if (kind == "row") {
      RowView r;
      w >> r.name >> r.index >> r.type >> r.mtu >> r.speed >> r.admin >> r.oper >> r.in >> r.out;
      if (!(w >> r.address)) r.address.clear();
      s.rows[r.name] = r;
      s.order.push_back(r.index);
    }
  }
  return s;
}

// A snapshot during which sysfs did not move, so the table read between
// the two sysfs reads must agree with them exactly.
Snapshot StableSnapshot(const std::string& ns) {
  Snapshot s;
  for (int attempt = 0; attempt < 5; ++attempt) {
    s = Parse(InNetns(ns, SnapshotInChild));
    if (!s.error.empty() || s.before == s.after) return s;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return s;
}

constexpr int kDatagrams = 40;
constexpr int kPayload = 1000;
// Ethernet 14 + IPv4 20 + UDP 8 header bytes on the wire per datagram.
constexpr std::uint64_t kBytesOnWire = kDatagrams * std::uint64_t{kPayload + 14 + 20 + 8};

// Sends the datagrams from a's address to b's; the receiving socket is made
// in b first, so nothing answers with ICMP. Returns the number received.
int SendAcross(const std::string& a, const std::string& b) {
  const std::string out = InNetns(b, [&]() -> std::string {
    const int rx = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    ::inet_pton(AF_INET, "192.0.2.2", &to.sin_addr);
    if (rx < 0 || ::bind(rx, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return "-1";
    const timeval timeout{2, 0};
    ::setsockopt(rx, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    // A socket keeps the namespace it was made in: the sender is made in a.
    if (!EnterNetns(a)) return "-1";
    const int tx = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (tx < 0) return "-1";
    const std::vector<char> payload(kPayload, 'x');
    int received = 0;
    char buf[2048];
    for (int i = 0; i < kDatagrams; ++i) {
      if (::sendto(tx, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to),
                   sizeof to) != kPayload) {
        return "-1";
      }
      // One at a time, so no queue anywhere can drop one.
      if (::recv(rx, buf, sizeof buf, 0) == kPayload) ++received;
    }
    return std::to_string(received);
  });
  return std::atoi(out.c_str());
}

bool WaitOperUp(const std::string& ns, const std::string& link) {
  for (int i = 0; i < 50; ++i) {
    const std::string state =
        InNetns(ns, [&] { return ReadFile("/sys/class/net/" + link + "/operstate"); });
    if (state == "up") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

void ExpectRowsMatchLinks(const Snapshot& s, const char* where) {
  ASSERT_TRUE(s.error.empty()) << where << ": " << s.error;
  EXPECT_EQ(s.sizeStatus, kStatusInsufficientBuffer) << where;
  ASSERT_EQ(s.dataStatus, kStatusSuccess) << where;
  ASSERT_EQ(s.before, s.after) << where << ": counters kept moving";
  ASSERT_EQ(s.rows.size(), s.before.size()) << where;
  for (const auto& [name, sys] : s.before) {
    const auto it = s.rows.find(name);
    ASSERT_NE(it, s.rows.end()) << where << ": no row for " << name;
    const RowView& r = it->second;
    EXPECT_EQ(r.index, sys.index) << where << " " << name;
    EXPECT_EQ(r.mtu, sys.mtu) << where << " " << name;
    EXPECT_EQ(r.address, sys.address) << where << " " << name;
    EXPECT_EQ(r.in, static_cast<std::uint32_t>(sys.rx)) << where << " " << name;
    EXPECT_EQ(r.out, static_cast<std::uint32_t>(sys.tx)) << where << " " << name;
  }
}

TEST(IfTableLive, CountersAndRowsMatchTheKernelInBothNamespaces) {
  if (const std::string why = test::NetnsUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const std::string base = "orv-live-" + std::to_string(::getpid());
  NetnsGuard a(base + "-a");
  if (!a.created()) GTEST_SKIP() << "ip netns add failed: namespaces are not allowed here";
  NetnsGuard b(base + "-b");
  ASSERT_TRUE(b.created());

  for (const auto* ns : {&a, &b}) {
    const std::string r = QuietIpv6(ns->name());
    if (r != "ok") GTEST_SKIP() << "cannot enter the namespace: " << r;
  }
  const std::vector<std::vector<std::string>> setup = {
      {"ip",
       "-n",
       a.name(),
       "link",
       "add",
       "va0",
       "address",
       "02:00:00:00:0a:01",
       "mtu",
       "1400",
       "type",
       "veth",
       "peer",
       "name",
       "vb0",
       "netns",
       b.name(),
       "address",
       "02:00:00:00:0b:01",
       "mtu",
       "1400"},
      {"ip", "-n", a.name(), "addr", "add", "192.0.2.1/24", "dev", "va0"},
      {"ip", "-n", b.name(), "addr", "add", "192.0.2.2/24", "dev", "vb0"},
      // Fixed neighbours: no ARP exchange adds bytes of its own.
      {"ip", "-n", a.name(), "neigh", "add", "192.0.2.2", "lladdr", "02:00:00:00:0b:01", "dev",
       "va0", "nud", "permanent"},
      {"ip", "-n", b.name(), "neigh", "add", "192.0.2.1", "lladdr", "02:00:00:00:0a:01", "dev",
       "vb0", "nud", "permanent"},
      {"ip", "-n", a.name(), "link", "set", "lo", "up"},
      {"ip", "-n", b.name(), "link", "set", "lo", "up"},
      {"ip", "-n", a.name(), "link", "set", "va0", "up"},
      {"ip", "-n", b.name(), "link", "set", "vb0", "up"},
  };
  for (const auto& cmd : setup) {
    std::string line;
    for (const auto& w : cmd) line += w + " ";
    if (RunProgram(cmd) != 0) GTEST_SKIP() << "cannot set up the veth pair: " << line;
  }
  ASSERT_TRUE(WaitOperUp(a.name(), "va0"));
  ASSERT_TRUE(WaitOperUp(b.name(), "vb0"));

  const Snapshot a0 = StableSnapshot(a.name());
  const Snapshot b0 = StableSnapshot(b.name());
  ExpectRowsMatchLinks(a0, "a, before");
  ExpectRowsMatchLinks(b0, "b, before");
  ASSERT_EQ(a0.rows.size(), 2u);  // lo and va0
  ASSERT_EQ(b0.rows.size(), 2u);

  ASSERT_EQ(SendAcross(a.name(), b.name()), kDatagrams);

  const Snapshot a1 = StableSnapshot(a.name());
  const Snapshot b1 = StableSnapshot(b.name());
  ExpectRowsMatchLinks(a1, "a, after");
  ExpectRowsMatchLinks(b1, "b, after");
  if (HasFatalFailure()) return;

  const RowView& va = a1.rows.at("va0");
  const RowView& vb = b1.rows.at("vb0");
  EXPECT_EQ(va.out - a0.rows.at("va0").out, static_cast<std::uint32_t>(kBytesOnWire));
  EXPECT_EQ(vb.in - b0.rows.at("vb0").in, static_cast<std::uint32_t>(kBytesOnWire));
  EXPECT_EQ(va.address, "02:00:00:00:0a:01");
  EXPECT_EQ(vb.address, "02:00:00:00:0b:01");
  EXPECT_EQ(va.mtu, 1400u);
  for (const RowView* r : {&va, &vb}) {
    EXPECT_EQ(r->type, 6u) << r->name;
    EXPECT_EQ(r->admin, 1u) << r->name;
    EXPECT_EQ(r->oper, 5u) << r->name;
    // veth claims 10000 Mb/s, more than the 32-bit field holds.
    EXPECT_EQ(r->speed, 4294967295u) << r->name;
  }
  const RowView& lo = a1.rows.at("lo");
  EXPECT_EQ(lo.type, 24u);
  EXPECT_EQ(lo.index, 1u);
}

TEST(IfTableLive, ManyLinksOverSeveralDatagramsAllArriveInIndexOrder) {
  if (const std::string why = test::NetnsUnavailable(); !why.empty()) GTEST_SKIP() << why;
  NetnsGuard ns("orv-live-" + std::to_string(::getpid()) + "-many");
  if (!ns.created()) GTEST_SKIP() << "ip netns add failed: namespaces are not allowed here";
  const std::string r = QuietIpv6(ns.name());
  if (r != "ok") GTEST_SKIP() << "cannot enter the namespace: " << r;
  // About 1.5 KB per link: 61 links take several 32 KB dump datagrams.
  constexpr int kPairs = 30;
  for (int i = 1; i <= kPairs; ++i) {
    const std::string n = std::to_string(i);
    ASSERT_EQ(RunProgram({"ip", "-n", ns.name(), "link", "add", "m" + n, "mtu",
                          std::to_string(1000 + i), "type", "veth", "peer", "name", "p" + n}),
              0);
  }
  const Snapshot s = StableSnapshot(ns.name());
  ExpectRowsMatchLinks(s, "many");
  EXPECT_EQ(s.rows.size(), 1u + 2 * kPairs);
  EXPECT_TRUE(std::is_sorted(s.order.begin(), s.order.end()));
  EXPECT_EQ(std::adjacent_find(s.order.begin(), s.order.end()), s.order.end());
}

// Refuses netlink sockets to this process, as a sandbox might.
bool BlockNetlink() {
#if defined(__x86_64__)
  constexpr std::uint32_t kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
  constexpr std::uint32_t kArch = AUDIT_ARCH_AARCH64;
#else
  return false;
#endif
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_socket, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_NETLINK, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAFNOSUPPORT),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog prog{static_cast<unsigned short>(std::size(filter)), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &prog) == 0;
}

TEST(IfTableLive, WithoutNetlinkTheTableComesFromProcNetDev) {
  if (const std::string why = test::NetnsUnavailable(); !why.empty()) GTEST_SKIP() << why;
  NetnsGuard ns("orv-live-" + std::to_string(::getpid()) + "-proc");
  if (!ns.created()) GTEST_SKIP() << "ip netns add failed: namespaces are not allowed here";
  const std::string r = QuietIpv6(ns.name());
  if (r != "ok") GTEST_SKIP() << "cannot enter the namespace: " << r;
  ASSERT_EQ(RunProgram({"ip", "-n", ns.name(), "link", "add", "fa0", "type", "veth", "peer", "name",
                        "fb0"}),
            0);
  ASSERT_EQ(RunProgram({"ip", "-n", ns.name(), "link", "set", "lo", "up"}), 0);

  const std::string text = InNetns(ns.name(), []() -> std::string {
    // Some loopback traffic first, so the counters compared are not all 0.
    if (!LoopbackTraffic(5, 300)) return "error: loopback socket";
    if (!BlockNetlink()) return "error: cannot install a seccomp filter";
    if (::socket(AF_NETLINK, SOCK_RAW, 0) >= 0) return "error: netlink still open";
    return SnapshotInChild();
  });
  if (text.rfind("error: cannot install", 0) == 0) GTEST_SKIP() << text;
  const Snapshot s = Parse(text);
  ASSERT_TRUE(s.error.empty()) << s.error;
  ASSERT_EQ(s.dataStatus, kStatusSuccess);
  ASSERT_EQ(s.before, s.after);
  ASSERT_EQ(s.rows.size(), 3u);
  ASSERT_EQ(s.rows.count("lo"), 1u);
  EXPECT_GE(s.rows.at("lo").in, 5u * 300);
  for (const auto& [name, sys] : s.before) {
    const auto it = s.rows.find(name);
    ASSERT_NE(it, s.rows.end()) << name;
    EXPECT_EQ(it->second.index, sys.index) << name;
    EXPECT_EQ(it->second.in, static_cast<std::uint32_t>(sys.rx)) << name;
    EXPECT_EQ(it->second.out, static_cast<std::uint32_t>(sys.tx)) << name;
    // Only names and counters are known without netlink.
    EXPECT_EQ(it->second.type, 1u) << name;
    EXPECT_EQ(it->second.mtu, 0u) << name;
    EXPECT_EQ(it->second.address, "") << name;
  }
}

}  // namespace
}  // namespace orv::linux_if
