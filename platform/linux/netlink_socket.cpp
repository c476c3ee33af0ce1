#include "platform/linux/netlink_socket.h"

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

}  // namespace

NetlinkSocket::~NetlinkSocket() { Close(); }

void NetlinkSocket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  portId_ = 0;
}

bool NetlinkSocket::Open() {
  if (fd_ >= 0) return true;
  const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd < 0) return false;
  const timeval timeout{kReceiveTimeoutSeconds, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  socklen_t len = sizeof local;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0 ||
      len != sizeof local || local.nl_family != AF_NETLINK) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  portId_ = local.nl_pid;
  if (buffer_.size() < kInitialBuffer) buffer_.resize(kInitialBuffer);
  return true;
}

SocketResult NetlinkSocket::DumpLinks(std::uint32_t seq, const Sink& sink) {
  struct {
    nlmsghdr hdr;
    ifinfomsg info;
  } request{};
  request.hdr.nlmsg_len = sizeof request;
  request.hdr.nlmsg_type = RTM_GETLINK;
  request.hdr.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.hdr.nlmsg_seq = seq;
  request.info.ifi_family = AF_UNSPEC;
  return Dump(&request, sizeof request, sink);
}

SocketResult NetlinkSocket::DumpStats(std::uint32_t seq, const Sink& sink) {
  struct {
    nlmsghdr hdr;
    if_stats_msg stats;
  } request{};
  request.hdr.nlmsg_len = sizeof request;
  request.hdr.nlmsg_type = RTM_GETSTATS;
  request.hdr.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.hdr.nlmsg_seq = seq;
  request.stats.family = AF_UNSPEC;
  request.stats.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
  return Dump(&request, sizeof request, sink);
}

SocketResult NetlinkSocket::Dump(const void* request, std::size_t length, const Sink& sink) {
  if (!Open()) return SocketResult::Unavailable;

  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  for (;;) {
    const ssize_t sent =
        ::sendto(fd_, request, length, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel);
    if (sent == static_cast<ssize_t>(length)) break;
    if (sent < 0 && errno == EINTR) continue;
    Close();
    return SocketResult::Unavailable;
  }

  for (;;) {
    sockaddr_nl from{};
    iovec iov{buffer_.data(), buffer_.size()};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    // MSG_TRUNC makes the kernel return the datagram's full length even
    // when it did not fit, so the buffer can be sized for the next try.
    const ssize_t got = ::recvmsg(fd_, &msg, MSG_TRUNC);
    if (got < 0) {
      if (errno == EINTR) continue;
      Close();
      return SocketResult::IoFailure;
    }
    if (static_cast<std::size_t>(got) > buffer_.size() || (msg.msg_flags & MSG_TRUNC)) {
      buffer_.resize(static_cast<std::size_t>(got) + 4096);
      Close();
      return SocketResult::Truncated;
    }
    // Only the kernel (port 0) answers a dump; a datagram from any other
    // sender is not part of it.
    if (msg.msg_namelen != sizeof from || from.nl_pid != 0) continue;
    const SinkAnswer answer =
        sink(std::span<const std::uint8_t>(buffer_.data(), static_cast<std::size_t>(got)));
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
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool NetlinkLinkEvents::Open() {
  const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (fd < 0) return false;
  // Beyond the unprivileged cap only root's forced size applies; a smaller
  // queue only means more refreshes.
  const int queue = queueBytes_;
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
  fd_ = fd;
  if (buffer_.size() < kInitialBuffer) buffer_.resize(kInitialBuffer);
  return true;
}

EventsStatus NetlinkLinkEvents::Drain(const Sink& sink) {
  bool lost = false;
  if (fd_ < 0) {
    if (!Open()) return EventsStatus::Unavailable;
    lost = true;
  }
  for (int datagrams = 0;; ++datagrams) {
    if (datagrams == kMaxDatagramsPerDrain) return EventsStatus::Lost;
    sockaddr_nl from{};
    iovec iov{buffer_.data(), buffer_.size()};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    const ssize_t got = ::recvmsg(fd_, &msg, MSG_TRUNC | MSG_DONTWAIT);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;
      // ENOBUFS: the queue overflowed and the kernel dropped messages. The
      // socket stays usable; what is still queued is drained and dropped.
      if (errno == ENOBUFS) {
        lost = true;
        continue;
      }
      // Anything else: start over on a new socket, so that no change
      // between now and the next call goes unheard.
      Close();
      return Open() ? EventsStatus::Lost : EventsStatus::Unavailable;
    }
    if (static_cast<std::size_t>(got) > buffer_.size() || (msg.msg_flags & MSG_TRUNC)) {
      buffer_.resize(static_cast<std::size_t>(got) + 4096);
      lost = true;
      continue;
    }
    if (msg.msg_namelen != sizeof from || from.nl_pid != 0) continue;
    if (!lost) sink(std::span<const std::uint8_t>(buffer_.data(), static_cast<std::size_t>(got)));
  }
  return lost ? EventsStatus::Lost : EventsStatus::Ok;
}

}  // namespace orv::linux_if
