#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "iftable/linux/if_table_source.h"
#include "iftable/linux/netlink_parse.h"
#include "iftable/linux/netlink_socket.h"

namespace orv::linux_if {

// Runs one dump through a fresh parser on `socket`, with the next
// sequence number each try. A dump the kernel marked as interrupted (the
// table changed under it) or a datagram larger than the buffer is worth
// another try, three at most. A complete dump's entries go to `out`;
// `onKernelError(errno)` says what an error message from the kernel means.
template <class Entry, class OnKernelError>
DumpStatus RunDump(NetlinkSocket& socket, std::uint32_t& seq, DumpCall dump,
                   std::vector<Entry>& out, OnKernelError onKernelError) {
  constexpr int kAttempts = 3;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (!socket.Open()) return DumpStatus::Unavailable;
    DumpParser<Entry> parser(++seq, socket.portId());
    DumpProgress progress = DumpProgress::More;
    const auto result = (socket.*dump)(
        seq, [&](std::span<const std::uint8_t> datagram) -> NetlinkSocket::SinkAnswer {
          progress = parser.Feed(datagram);
          return {progress == DumpProgress::More, progress == DumpProgress::Done};
        });
    switch (result) {
      case SocketResult::Ok:
        if (parser.interrupted()) continue;
        out = parser.TakeEntries();
        return DumpStatus::Ok;
      case SocketResult::Unavailable:
        return DumpStatus::Unavailable;
      case SocketResult::IoFailure:
        return DumpStatus::Failed;
      case SocketResult::Truncated:
        continue;
      case SocketResult::SinkFailed:
        if (progress != DumpProgress::KernelError) return DumpStatus::Malformed;
        return onKernelError(parser.kernelError());
    }
  }
  return DumpStatus::Failed;
}

}  // namespace orv::linux_if
