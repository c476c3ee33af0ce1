#include "iftable/linux/netlink_socket.h"

#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orv::linux_if {

namespace {

// A dump datagram is at most 32 KiB on current kernels; a message that
// needs more (a link with very many attributes) makes the buffer grow.
constexpr std::size_t kInitialBuffer = 64 * 1024;
// The kernel answers a dump at once; this only guards against a socket
// that never answers.
constexpr int kReceiveTimeoutSeconds = 2;

// One datagram read into `buffer`. A datagram that did not fit grows the
// buffer for the next try (MSG_TRUNC makes the kernel give its full
// length) and is reported, since its bytes are lost.
struct Datagram {
  ssize_t length = 0;  // < 0: the receive failed, with `error`
  int error = 0;
  bool truncated = false;
  // Only the kernel (port 0) sends dumps and notifications; a datagram
  // from any other sender is none of them.
  bool fromKernel = false;
};

Datagram Receive(int fd, std::vector<std::uint8_t>& buffer, int flags) {
  sockaddr_nl from{};
  iovec iov{buffer.data(), buffer.size()};
  msghdr msg{};
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  Datagram d;
  d.length = ::recvmsg(fd, &msg, MSG_TRUNC | flags);
  if (d.length < 0) {
    d.error = errno;
    return d;
  }
  if (static_cast<std::size_t>(d.length) > buffer.size() || (msg.msg_flags & MSG_TRUNC)) {
    buffer.resize(static_cast<std::size_t>(d.length) + 4096);
    d.truncated = true;
  }
  d.fromKernel = msg.msg_namelen == sizeof from && from.nl_pid == 0;
  return d;
}

// A dump request: the netlink header and the request's own message.
template <class Body>
struct DumpRequest {
  DumpRequest(std::uint16_t type, std::uint32_t seq, const Body& message) : body(message) {
    hdr.nlmsg_len = sizeof *this;
    hdr.nlmsg_type = type;
    hdr.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    hdr.nlmsg_seq = seq;
  }
  nlmsghdr hdr{};
  Body body;
};

}  // namespace

NetlinkSocket::~NetlinkSocket() { Close(); }

void NetlinkSocket::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_portId = 0;
}

bool NetlinkSocket::Open() {
  if (m_fd >= 0) return true;
  const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd < 0) return false;
  const timeval timeout{kReceiveTimeoutSeconds, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  socklen_t len = sizeof local;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0 || len != sizeof local ||
      local.nl_family != AF_NETLINK) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_portId = local.nl_pid;
  if (m_buffer.size() < kInitialBuffer) m_buffer.resize(kInitialBuffer);
  return true;
}

SocketResult NetlinkSocket::DumpLinks(std::uint32_t seq, const Sink& sink) {
  ifinfomsg info{};
  info.ifi_family = AF_UNSPEC;
  const DumpRequest request(RTM_GETLINK, seq, info);
  return Dump(&request, sizeof request, sink);
}

SocketResult NetlinkSocket::DumpStats(std::uint32_t seq, const Sink& sink) {
  if_stats_msg stats{};
  stats.family = AF_UNSPEC;
  stats.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
  const DumpRequest request(RTM_GETSTATS, seq, stats);
  return Dump(&request, sizeof request, sink);
}

SocketResult NetlinkSocket::Dump(const void* request, std::size_t length, const Sink& sink) {
  if (!Open()) return SocketResult::Unavailable;

  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  for (;;) {
    const ssize_t sent =
        ::sendto(m_fd, request, length, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel);
    if (sent == static_cast<ssize_t>(length)) break;
    if (sent < 0 && errno == EINTR) continue;
    Close();
    return SocketResult::Unavailable;
  }

  for (;;) {
    const Datagram got = Receive(m_fd, m_buffer, 0);
    if (got.length < 0) {
      if (got.error == EINTR) continue;
      Close();
      return SocketResult::IoFailure;
    }
    if (got.truncated) {
      Close();
      return SocketResult::Truncated;
    }
    if (!got.fromKernel) continue;
    const SinkAnswer answer =
        sink(std::span<const std::uint8_t>(m_buffer.data(), static_cast<std::size_t>(got.length)));
    if (answer.more) continue;
    if (answer.ok) return SocketResult::Ok;
    Close();
    return SocketResult::SinkFailed;
  }
}

// ---- link notifications ----------------------------------------------------

namespace {

// A drain that keeps finding more is racing a storm of changes; a refresh
// after it is cheaper than following every one.
constexpr int kMaxDatagramsPerDrain = 4096;

}  // namespace

NetlinkLinkEvents::~NetlinkLinkEvents() { Close(); }

void NetlinkLinkEvents::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

bool NetlinkLinkEvents::Open() {
  const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (fd < 0) return false;
  // Beyond the unprivileged cap only root's forced size applies; a smaller
  // queue only means more refreshes.
  const int queue = m_queueBytes;
  if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &queue, sizeof queue) != 0) {
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &queue, sizeof queue);
  }
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  local.nl_groups = RTMGRP_LINK;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  if (m_buffer.size() < kInitialBuffer) m_buffer.resize(kInitialBuffer);
  return true;
}

EventsStatus NetlinkLinkEvents::Drain(const Sink& sink) {
  bool lost = false;
  if (m_fd < 0) {
    if (!Open()) return EventsStatus::Unavailable;
    lost = true;
  }
  for (int datagrams = 0;; ++datagrams) {
    if (datagrams == kMaxDatagramsPerDrain) return EventsStatus::Lost;
    const Datagram got = Receive(m_fd, m_buffer, MSG_DONTWAIT);
    if (got.length < 0) {
      if (got.error == EINTR) continue;
      if (got.error == EAGAIN || got.error == EWOULDBLOCK) break;
      // ENOBUFS: the queue overflowed and the kernel dropped messages. The
      // socket stays usable; what is still queued is drained and dropped.
      if (got.error == ENOBUFS) {
        lost = true;
        continue;
      }
      // Anything else: start over on a new socket, so that no change
      // between now and the next call goes unheard.
      Close();
      return Open() ? EventsStatus::Lost : EventsStatus::Unavailable;
    }
    if (got.truncated) {
      lost = true;
      continue;
    }
    if (!got.fromKernel) continue;
    if (!lost) {
      sink(std::span<const std::uint8_t>(m_buffer.data(), static_cast<std::size_t>(got.length)));
    }
  }
  return lost ? EventsStatus::Lost : EventsStatus::Ok;
}

}  // namespace orv::linux_if
