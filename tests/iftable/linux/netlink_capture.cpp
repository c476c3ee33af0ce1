// Records the kernel's raw reply to one RTM_GETLINK dump as a hex fixture
// on standard output: the sequence number and port the reply answers, then
// every datagram as it came from recv(). Run by
// scripts/capture-netlink-fixtures inside a namespace it made.
#include <cstdio>
#include <span>

#include "iftable/linux/netlink_parse.h"
#include "iftable/linux/netlink_socket.h"

int main() {
  using namespace orv::linux_if;
  NetlinkSocket socket;
  if (!socket.Open()) {
    std::fprintf(stderr, "netlink_capture: cannot open a route socket\n");
    return 1;
  }
  const std::uint32_t seq = 1;
  LinkDumpParser parser(seq, socket.portId());
  std::printf("# raw RTM_GETLINK dump reply, one datagram per block\nseq %u\nport %u\n", seq,
              socket.portId());
  const auto result = socket.DumpLinks(seq, [&](std::span<const std::uint8_t> datagram) {
    std::printf("datagram %zu\n", datagram.size());
    for (std::size_t i = 0; i < datagram.size(); ++i) {
      std::printf("%02x%s", datagram[i], (i % 32 == 31 || i + 1 == datagram.size()) ? "\n" : "");
    }
    const auto progress = parser.Feed(datagram);
    return NetlinkSocket::SinkAnswer{progress == DumpProgress::More,
                                     progress == DumpProgress::Done};
  });
  if (result != SocketResult::Ok) {
    std::fprintf(stderr, "netlink_capture: the dump failed\n");
    return 1;
  }
  std::fprintf(stderr, "netlink_capture: %zu links\n", parser.entries().size());
  return 0;
}
