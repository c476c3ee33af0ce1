#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// A NETLINK_ROUTE socket that asks the kernel for its link table.
namespace orv::linux_if {

enum class SocketResult {
  Ok,           // the sink saw the end of the dump
  Unavailable,  // netlink cannot be opened or the request cannot be sent
  IoFailure,    // receiving failed or timed out part-way
  Truncated,    // a datagram did not fit the buffer (the buffer has grown)
  SinkFailed,   // the sink refused the bytes
};

class NetlinkSocket {
 public:
  // What the sink says after each datagram: true = wants more, false =
  // finished (either the dump is complete or it gave up; see `ok`).
  struct SinkAnswer {
    bool more;
    bool ok;
  };
  using Sink = std::function<SinkAnswer(std::span<const std::uint8_t>)>;

  NetlinkSocket() = default;
  ~NetlinkSocket();
  NetlinkSocket(const NetlinkSocket&) = delete;
  NetlinkSocket& operator=(const NetlinkSocket&) = delete;

  // Opens lazily; false when the kernel refuses a route socket.
  bool Open();
  void Close();
  std::uint32_t portId() const { return m_portId; }

  // Sends one RTM_GETLINK dump request with this sequence number and
  // hands every datagram that the kernel sends back to the sink until the
  // sink is finished. After any failure the socket is closed, so that
  // left-over parts of a broken dump can never be taken for a later one.
  SocketResult DumpLinks(std::uint32_t seq, const Sink& sink);
  // The same for RTM_GETSTATS, asking only for the 64-bit link counters.
  SocketResult DumpStats(std::uint32_t seq, const Sink& sink);

 private:
  SocketResult Dump(const void* request, std::size_t length, const Sink& sink);

  int m_fd = -1;
  std::uint32_t m_portId = 0;
  std::vector<std::uint8_t> m_buffer;
};

// One of the socket's dumps, DumpLinks or DumpStats.
using DumpCall = SocketResult (NetlinkSocket::*)(std::uint32_t seq, const NetlinkSocket::Sink&);

enum class EventsStatus {
  Ok,           // every pending notification was handed over
  Lost,         // some were lost (or the socket is new): the table is unknown
  Unavailable,  // no notification socket can be had
};

// A non-blocking NETLINK_ROUTE socket that belongs to the RTNLGRP_LINK
// group: the kernel queues a message on it for every link change.
class NetlinkLinkEvents {
 public:
  using Sink = std::function<void(std::span<const std::uint8_t>)>;

  // Room for a burst of changes (a thousand links going up at once)
  // before the kernel drops notifications.
  static constexpr int kDefaultQueueBytes = 4 * 1024 * 1024;

  explicit NetlinkLinkEvents(int queueBytes = kDefaultQueueBytes) : m_queueBytes(queueBytes) {}
  ~NetlinkLinkEvents();
  NetlinkLinkEvents(const NetlinkLinkEvents&) = delete;
  NetlinkLinkEvents& operator=(const NetlinkLinkEvents&) = delete;

  // Hands every datagram queued now to the sink and returns without
  // waiting. Opens the socket when it is not open; a socket opened in this
  // call reports Lost, since nothing before it was heard.
  EventsStatus Drain(const Sink& sink);
  void Close();

 private:
  bool Open();

  int m_queueBytes;
  int m_fd = -1;
  std::vector<std::uint8_t> m_buffer;
};

}  // namespace orv::linux_if
