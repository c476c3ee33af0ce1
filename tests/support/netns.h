#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Network namespaces for live tests: made by the test, always removed.
namespace orv::linux_if::test {

// Runs a program without a shell; its output goes to /dev/null. The exit
// status, -1 when it could not run.
int RunProgram(const std::vector<std::string>& args);

// Why live tests cannot make a namespace and enter it here (no root, no
// namespaces, or a root that is not a mount point, as in a chroot); empty
// when they can. The same probe (tests/netns-check) decides for the shell
// tests, so both skip alike.
std::string NetnsUnavailable();

// A named network namespace that is removed when the guard goes, whatever
// the test did in between.
class NetnsGuard {
 public:
  explicit NetnsGuard(std::string name);
  ~NetnsGuard();
  NetnsGuard(const NetnsGuard&) = delete;
  NetnsGuard& operator=(const NetnsGuard&) = delete;
  bool created() const { return m_created; }
  const std::string& name() const { return m_name; }

 private:
  std::string m_name;
  bool m_created = false;
};

bool EnterNetns(const std::string& name);

// Runs `work` in a child process inside the namespace, with a sysfs of its
// own mounted so that /sys/class/net shows that namespace's links (as
// `ip netns exec` does). Returns what the child wrote; "error: ..." when
// the child could not enter.
std::string InNetns(const std::string& name, const std::function<std::string()>& work);

// The first line of a file, empty when it cannot be read.
std::string ReadFile(const std::string& path);

// No IPv6 on links made later in the namespace: its autoconfiguration
// would send packets of its own at moments the test does not choose.
// "ok", or why not.
std::string QuietIpv6(const std::string& ns);

// Sends `datagrams` UDP datagrams of `bytes` bytes to a socket of its own
// on the loopback address of the calling process's namespace, receiving
// each, so the loopback counters move by a known amount. False when the
// sockets cannot be had.
bool LoopbackTraffic(int datagrams, std::size_t bytes);

}  // namespace orv::linux_if::test
