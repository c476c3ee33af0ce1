#include "tests/support/netns.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

extern char** environ;

namespace orv::linux_if::test {

// Runs a program without a shell; its output goes to /dev/null.
int RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string NetnsUnavailable() {
  FILE* probe = ::popen(ORV_NETNS_PROBE " 2>&1", "r");
  if (probe == nullptr) return "the namespace probe could not run";
  std::string why;
  char buf[512];
  while (std::fgets(buf, sizeof buf, probe) != nullptr) why += buf;
  const int status = ::pclose(probe);
  if (status == 0) return "";
  while (!why.empty() && why.back() == '\n') why.pop_back();
  return why.empty() ? "the namespace probe failed without a reason" : why;
}

NetnsGuard::NetnsGuard(std::string name) : m_name(std::move(name)) {
  m_created = RunProgram({"ip", "netns", "add", m_name}) == 0;
}

NetnsGuard::~NetnsGuard() {
  if (m_created) RunProgram({"ip", "netns", "del", m_name});
}

bool EnterNetns(const std::string& name) {
  const int fd = ::open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::setns(fd, CLONE_NEWNET) == 0;
  ::close(fd);
  return ok;
}

// Runs `work` in a child process inside the namespace, with a sysfs of its
// own mounted so that /sys/class/net shows that namespace's links (as
// `ip netns exec` does). Returns what the child wrote; "error: ..." when
// the child could not enter.
std::string InNetns(const std::string& name, const std::function<std::string()>& work) {
  int fds[2];
  if (::pipe(fds) != 0) return "error: pipe";
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return "error: fork";
  if (pid == 0) {
    ::close(fds[0]);
    std::string out;
    if (!EnterNetns(name)) {
      out = "error: setns";
    } else if (::unshare(CLONE_NEWNS) != 0 ||
               ::mount(nullptr, "/", nullptr, MS_REC | MS_SLAVE, nullptr) != 0 ||
               ::umount2("/sys", MNT_DETACH) != 0 ||
               ::mount(name.c_str(), "/sys", "sysfs", 0, nullptr) != 0) {
      out = "error: sysfs of the namespace";
    } else {
      out = work();
    }
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string result;
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    result.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::string s;
  std::getline(in, s);
  return s;
}

std::string QuietIpv6(const std::string& ns) {
  return InNetns(ns, [] {
    std::ofstream("/proc/sys/net/ipv6/conf/default/disable_ipv6") << "1";
    std::ofstream("/proc/sys/net/ipv6/conf/all/disable_ipv6") << "1";
    return std::string("ok");
  });
}

bool LoopbackTraffic(int datagrams, std::size_t bytes) {
  const int rx = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int tx = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(9);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ready =
      rx >= 0 && tx >= 0 && ::bind(rx, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
  if (ready) {
    std::vector<char> buf(bytes);
    for (int i = 0; i < datagrams; ++i) {
      ::sendto(tx, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
      ::recv(rx, buf.data(), buf.size(), 0);
    }
  }
  if (rx >= 0) ::close(rx);
  if (tx >= 0) ::close(tx);
  return ready;
}

}  // namespace orv::linux_if::test
