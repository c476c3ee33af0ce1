// The cached Linux table source against the plain one on the same kernel
// state. The input is not netlink bytes but a script of link changes (add,
// change, remove, counters moving, notifications lost or cut short, a link
// appearing while a call runs); a model kernel turns each change into the
// notification the real one would queue, and both sources are asked for
// the table after every step. Whatever the cache did with the
// notifications, its table must be byte for byte the plain source's.

#include <linux/if.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/harnesses.h"
#include "iftable/if_table.h"
#include "iftable/linux/if_table_cached.h"
#include "iftable/linux/if_table_source.h"
#include "iftable/linux/netlink_parse.h"

namespace orv::fuzz {
namespace {

using namespace orv::linux_if;
using Datagram = std::vector<std::uint8_t>;

constexpr std::uint16_t kTypes[] = {1, 772, 801, 65534, 65535, 776};

void PutAttr(Datagram& out, std::uint16_t type, const void* data, std::size_t length) {
  const auto rtaLen = static_cast<std::uint16_t>(4 + length);
  const std::size_t at = out.size();
  out.resize(at + ((rtaLen + 3u) & ~3u), 0);
  std::memcpy(&out[at], &rtaLen, 2);
  std::memcpy(&out[at + 2], &type, 2);
  if (length > 0) std::memcpy(&out[at + 4], data, length);
}

// The kernel's own facts of a link, as the model keeps them.
struct ModelLink {
  std::uint16_t type = 1;
  std::uint32_t flags = 0;
  std::string name;
  std::string alias;
  std::uint32_t mtu = 1500;
  std::uint32_t txQueueLen = 1000;
  std::uint8_t operState = 0;
  std::uint8_t carrier = 0;
  std::vector<std::uint8_t> address;
  LinkStats stats;
};

// One RTM_NEWLINK or RTM_DELLINK message as the kernel writes it.
Datagram Encode(std::uint16_t msgType, std::uint32_t index, const ModelLink& link, bool withStats,
                std::uint8_t family = AF_UNSPEC) {
  Datagram out(NLMSG_HDRLEN, 0);
  ifinfomsg info{};
  info.ifi_family = family;
  info.ifi_type = link.type;
  info.ifi_index = static_cast<int>(index);
  info.ifi_flags = link.flags;
  const std::size_t at = out.size();
  out.resize(at + NLMSG_ALIGN(sizeof info), 0);
  std::memcpy(&out[at], &info, sizeof info);
  PutAttr(out, IFLA_IFNAME, link.name.c_str(), link.name.size() + 1);
  if (!link.alias.empty()) PutAttr(out, IFLA_IFALIAS, link.alias.c_str(), link.alias.size() + 1);
  PutAttr(out, IFLA_MTU, &link.mtu, 4);
  PutAttr(out, IFLA_TXQLEN, &link.txQueueLen, 4);
  PutAttr(out, IFLA_OPERSTATE, &link.operState, 1);
  PutAttr(out, IFLA_CARRIER, &link.carrier, 1);
  if (!link.address.empty()) PutAttr(out, IFLA_ADDRESS, link.address.data(), link.address.size());
  if (withStats) {
    std::uint64_t s[24] = {};
    s[0] = link.stats.rxPackets;
    s[1] = link.stats.txPackets;
    s[2] = link.stats.rxBytes;
    s[3] = link.stats.txBytes;
    s[4] = link.stats.rxErrors;
    s[5] = link.stats.txErrors;
    s[6] = link.stats.rxDropped;
    s[7] = link.stats.txDropped;
    s[8] = link.stats.multicast;
    s[22] = link.stats.rxNoHandler;
    PutAttr(out, IFLA_STATS64, s, sizeof s);
  }
  nlmsghdr hdr{};
  hdr.nlmsg_len = static_cast<std::uint32_t>(out.size());
  hdr.nlmsg_type = msgType;
  std::memcpy(out.data(), &hdr, sizeof hdr);
  return out;
}

class ModelKernel {
 public:
  std::map<std::uint32_t, ModelLink> links;
  std::vector<Datagram> queued;  // notifications not yet drained
  std::vector<bool> cut;         // per queued message: cut short
  bool lost = true;              // a new socket has heard nothing yet
  bool batch = false;            // queued messages go out in one datagram
  std::optional<std::pair<std::uint32_t, ModelLink>> addDuringCall;

  void Notify(std::uint16_t msgType, std::uint32_t index, const ModelLink& link) {
    Queue(Encode(msgType, index, link, false));
  }
  void Queue(Datagram message, bool isCut = false) {
    queued.push_back(std::move(message));
    cut.push_back(isCut);
  }

  // The plain dump: what ParseNewLink makes of the kernel's messages.
  std::vector<LinkInfo> Dump() const {
    std::vector<LinkInfo> out;
    for (const auto& [index, link] : links) {
      const Datagram msg = Encode(RTM_NEWLINK, index, link, true);
      LinkInfo info;
      ORV_FUZZ_CHECK(ParseNewLink(std::span(msg).subspan(NLMSG_HDRLEN), info));
      out.push_back(std::move(info));
    }
    return out;
  }

  EventsStatus Drain(const NetlinkLinkEvents::Sink& sink) {
    // A cut message only ever ends a datagram (the kernel's truncation),
    // so it goes out on its own rather than run into the next message.
    Datagram all;
    for (std::size_t i = 0; i < queued.size(); ++i) {
      if (!batch || cut[i]) {
        if (!all.empty()) sink(all);
        all.clear();
        sink(queued[i]);
      } else {
        all.insert(all.end(), queued[i].begin(), queued[i].end());
      }
    }
    if (!all.empty()) sink(all);
    queued.clear();
    cut.clear();
    const bool wasLost = lost;
    lost = false;
    return wasLost ? EventsStatus::Lost : EventsStatus::Ok;
  }

  std::vector<LinkCounters> Stats() {
    // A link that appears between the drain and the statistics dump: the
    // dump names it, its notification comes with the next drain.
    // Only a new index: a link that changes during the call is rightly
    // shown as it was at the drain, and the next call brings the change.
    if (addDuringCall && links.count(addDuringCall->first) == 0) {
      links[addDuringCall->first] = addDuringCall->second;
      Notify(RTM_NEWLINK, addDuringCall->first, addDuringCall->second);
    }
    addDuringCall.reset();
    std::vector<LinkCounters> out;
    for (const auto& [index, link] : links) out.push_back({index, link.stats});
    return out;
  }
};

// Per-interface facts as sysfs would give them, fixed for an index and a
// name: the two sources may read them at different moments (the plain one
// keeps them up to a second, the cached one reads again on a state
// change), so facts that moved with anything else would part the tables
// without either being wrong.
LinkExtras ExtrasOf(const LinkInfo& link) {
  LinkExtras e;
  e.speedBitsPerSecond = static_cast<std::uint32_t>(link.name.size()) * 100000000u + link.index;
  e.wireless = link.name.size() % 2 == 0;
  return e;
}

ModelLink LinkFrom(Cursor& in, std::uint32_t index) {
  ModelLink link;
  const std::uint8_t a = in.U8();
  const std::uint8_t b = in.U8();
  link.type = kTypes[a % std::size(kTypes)];
  link.name = (a & 0x40) != 0 ? "renamed" + std::to_string(b % 4) + "x" + std::to_string(index)
                              : "link" + std::to_string(index);
  link.alias = (a & 0x80) != 0 ? "alias " + std::to_string(b) : std::string();
  link.flags = ((b & 1) != 0 ? IFF_UP : 0u) | ((b & 2) != 0 ? IFF_LOWER_UP : 0u);
  link.operState = static_cast<std::uint8_t>((b >> 2) % 7);
  link.carrier = (b >> 5) & 1;
  link.mtu = 576u + b * 16u;
  link.address.assign((b >> 6) == 3 ? 10u : (b >> 6) * 3u, static_cast<std::uint8_t>(index));
  return link;
}

std::pair<std::uint32_t, std::vector<std::uint8_t>> TableOf(
    const std::function<std::uint32_t(std::uint8_t*, std::uint32_t*, std::int32_t)>& call) {
  // The table may grow between the size query and the data call; one
  // more round, as any caller would make, settles it.
  std::uint32_t size = 0;
  std::uint32_t status = call(nullptr, &size, 0);
  std::vector<std::uint8_t> buffer;
  for (int round = 0; round < 2 && status == kStatusInsufficientBuffer; ++round) {
    buffer.assign(size, 0);
    status = call(buffer.data(), &size, 0);
  }
  if (status != kStatusSuccess) buffer.clear();
  return {status, buffer};
}

// Where the two tables part, so that a crash report says which row and
// which field of it.
void ReportDifference(const std::vector<std::uint8_t>& cached,
                      const std::vector<std::uint8_t>& plain) {
  std::fprintf(stderr, "cached table %zu bytes, plain %zu bytes\n", cached.size(), plain.size());
  const std::size_t n = std::min(cached.size(), plain.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (cached[i] == plain[i]) continue;
    if (i < kIfTableHeaderSize) {
      std::fprintf(stderr, "row counts differ\n");
    } else {
      const std::size_t row = (i - kIfTableHeaderSize) / kIfRowSize;
      const std::size_t field = (i - kIfTableHeaderSize) % kIfRowSize;
      std::fprintf(stderr,
                   "first difference in row %zu at byte %zu of the row: cached %u, plain %u\n", row,
                   field, cached[i], plain[i]);
    }
    return;
  }
}

}  // namespace

void RunLinkCache(Cursor& in, NetlinkOutcome& outcome) {
  ModelKernel kernel;
  const std::uint8_t config = in.U8();
  kernel.lost = (config & 1) == 0;
  kernel.batch = (config & 2) != 0;
  const bool eventsUnavailable = (config & 4) != 0;
  const bool statsUnavailable = (config & 8) != 0;

  auto clock = std::chrono::steady_clock::time_point{};
  IfTableDeps plainDeps;
  plainDeps.dumpLinks = [&](std::vector<LinkInfo>& out) {
    out = kernel.Dump();
    return DumpStatus::Ok;
  };
  plainDeps.readProcNetDev = [] { return std::optional<std::string>(); };
  plainDeps.readExtras = ExtrasOf;
  plainDeps.nameToIndex = [](const std::string&) { return std::uint32_t{0}; };
  plainDeps.now = [&] { return clock; };

  CachedIfTableDeps cachedDeps;
  cachedDeps.plain = plainDeps;
  cachedDeps.drainEvents = [&](const NetlinkLinkEvents::Sink& sink) {
    if (eventsUnavailable) return EventsStatus::Unavailable;
    return kernel.Drain(sink);
  };
  cachedDeps.dumpStats = [&](std::vector<LinkCounters>& out) {
    if (statsUnavailable) return DumpStatus::Unavailable;
    out = kernel.Stats();
    return DumpStatus::Ok;
  };

  IfTableSource plain(plainDeps);
  CachedIfTableSource cached(cachedDeps);
  const auto compare = [&] {
    const auto mine = TableOf([&](std::uint8_t* t, std::uint32_t* s, std::int32_t o) {
      return cached.GetIfTable(t, s, o);
    });
    // A link added during the cached call is in the kernel now; the
    // plain source sees it too.
    const auto theirs = TableOf([&](std::uint8_t* t, std::uint32_t* s, std::int32_t o) {
      return plain.GetIfTable(t, s, o);
    });
    ORV_FUZZ_CHECK(mine.first == theirs.first);
    if (mine.second != theirs.second) ReportDifference(mine.second, theirs.second);
    ORV_FUZZ_CHECK(mine.second == theirs.second);
    ++outcome.parsed;
  };

  for (int step = 0; step < 64 && !in.empty(); ++step) {
    const std::uint8_t op = in.U8();
    const std::uint32_t index = 1 + in.U8() % 24u;
    switch (op % 8) {
      case 0: {  // a new link, or new facts of one
        ModelLink link = LinkFrom(in, index);
        if (auto it = kernel.links.find(index); it != kernel.links.end())
          link.stats = it->second.stats;
        kernel.links[index] = link;
        kernel.Notify(RTM_NEWLINK, index, link);
        break;
      }
      case 1:  // a link goes
        if (auto it = kernel.links.find(index); it != kernel.links.end()) {
          kernel.Notify(RTM_DELLINK, index, it->second);
          kernel.links.erase(it);
        }
        break;
      case 2:  // traffic
        if (auto it = kernel.links.find(index); it != kernel.links.end()) {
          LinkStats& s = it->second.stats;
          s.rxBytes += in.U32();
          s.txBytes += in.U32();
          s.rxPackets += in.U8();
          s.multicast += in.U8() % 4;
          s.txPackets += in.U8();
        }
        break;
      case 3:  // the socket's queue overflowed: ENOBUFS
        kernel.queued.clear();
        kernel.cut.clear();
        kernel.lost = true;
        break;
      case 4:  // a link appears while the next call runs
        kernel.addDuringCall = {index, LinkFrom(in, index)};
        break;
      case 5: {  // a bridge-port report of a link: no change of the table
        if (auto it = kernel.links.find(index); it != kernel.links.end()) {
          kernel.Queue(Encode(RTM_NEWLINK, index, it->second, false, AF_BRIDGE));
        }
        break;
      }
      case 6:  // time passes and the table is read
        clock += std::chrono::milliseconds(in.U8() * 8);
        compare();
        break;
      default: {  // a change whose notification arrives cut short
        ModelLink link = LinkFrom(in, index);
        if (auto it = kernel.links.find(index); it != kernel.links.end())
          link.stats = it->second.stats;
        kernel.links[index] = link;
        Datagram damaged = Encode(RTM_NEWLINK, index, link, false);
        damaged.resize(1 + in.U8() % (damaged.size() - 1));
        kernel.Queue(std::move(damaged), true);
        break;
      }
    }
  }
  compare();
  outcome.records = static_cast<std::int32_t>(kernel.links.size());
  outcome.statsDumps = cached.counts().statsDumps;
}

}  // namespace orv::fuzz
