#include "iftable/linux/netlink_parse.h"

#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>

namespace orv::linux_if {

namespace {

// Headers are copied out, never cast in place: a datagram buffer gives no
// alignment promise for hand-made or recorded input.
template <class T>
T Read(std::span<const std::uint8_t> bytes, std::size_t offset = 0) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

constexpr std::size_t Align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

bool ReadU32(std::span<const std::uint8_t> data, std::uint32_t& out) {
  if (data.size() < sizeof(std::uint32_t)) return false;
  out = Read<std::uint32_t>(data);
  return true;
}

bool ReadU8(std::span<const std::uint8_t> data, std::uint8_t& out) {
  if (data.empty()) return false;
  out = data[0];
  return true;
}

// A string attribute: the bytes before the first zero. The kernel always
// terminates them; an unterminated one is still taken as its full length.
std::string ReadString(std::span<const std::uint8_t> data) {
  std::size_t n = 0;
  while (n < data.size() && data[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(data.data()), n);
}

// The fields of rtnl_link_stats64 we use, by their position (8 bytes each).
enum Stat64 : std::size_t {
  kRxPackets = 0,
  kTxPackets = 1,
  kRxBytes = 2,
  kTxBytes = 3,
  kRxErrors = 4,
  kTxErrors = 5,
  kRxDropped = 6,
  kTxDropped = 7,
  kMulticast = 8,
  kRxNoHandler = 22,
};

template <class Word>
bool ReadStats(std::span<const std::uint8_t> data, LinkStats& s) {
  const std::size_t words = data.size() / sizeof(Word);
  if (words <= kMulticast) return false;
  const auto at = [&](std::size_t i) -> std::uint64_t {
    return Read<Word>(data, i * sizeof(Word));
  };
  s.rxPackets = at(kRxPackets);
  s.txPackets = at(kTxPackets);
  s.rxBytes = at(kRxBytes);
  s.txBytes = at(kTxBytes);
  s.rxErrors = at(kRxErrors);
  s.txErrors = at(kTxErrors);
  s.rxDropped = at(kRxDropped);
  s.txDropped = at(kTxDropped);
  s.multicast = at(kMulticast);
  s.rxNoHandler = words > kRxNoHandler ? at(kRxNoHandler) : 0;
  return true;
}

// Walks the attributes that follow a message's fixed header of `head`
// bytes. `on` gets (type, data) and says whether the attribute was sound.
// False when an attribute's length does not fit or `on` refuses it.
template <class OnAttribute>
bool WalkAttributes(std::span<const std::uint8_t> payload, std::size_t head, OnAttribute&& on) {
  std::size_t pos = Align4(head);
  while (pos < payload.size()) {
    const auto rest = payload.subspan(pos);
    if (rest.size() < sizeof(rtattr)) return false;
    const auto attr = Read<rtattr>(rest);
    if (attr.rta_len < sizeof(rtattr) || attr.rta_len > rest.size()) return false;
    // The top two bits mark nested and byte-order flags, not the type.
    const std::uint16_t type = attr.rta_type & NLA_TYPE_MASK;
    if (!on(type, rest.subspan(sizeof(rtattr), attr.rta_len - sizeof(rtattr)))) return false;
    pos += Align4(attr.rta_len);
  }
  return true;
}

// The attributes of one link message seen so far.
struct LinkAttributesSeen {
  bool name = false;
  bool stats64 = false;
};

// One attribute of a link message into the link. False when its payload
// is too short for its type; attributes not used here are passed over.
bool ReadLinkAttribute(std::uint16_t type, std::span<const std::uint8_t> data, LinkInfo& out,
                       LinkAttributesSeen& seen) {
  switch (type) {
    case IFLA_IFNAME:
      out.name = ReadString(data);
      seen.name = true;
      return true;
    case IFLA_IFALIAS:
      out.alias = ReadString(data);
      return true;
    case IFLA_MTU:
      return ReadU32(data, out.mtu);
    case IFLA_TXQLEN:
      return ReadU32(data, out.txQueueLen);
    case IFLA_OPERSTATE:
      return ReadU8(data, out.operState);
    case IFLA_CARRIER: {
      std::uint8_t carrier = 0;
      if (!ReadU8(data, carrier)) return false;
      out.carrier = carrier != 0;
      return true;
    }
    case IFLA_ADDRESS:
      out.addrLen = static_cast<std::uint32_t>(data.size());
      out.addr = {};
      std::memcpy(out.addr.data(), data.data(), std::min(data.size(), out.addr.size()));
      return true;
    case IFLA_STATS64: {
      LinkStats s;
      if (!ReadStats<std::uint64_t>(data, s)) return false;
      out.stats = s;
      seen.stats64 = true;
      return true;
    }
    case IFLA_STATS: {
      // The 32-bit counters only where the kernel sent no 64-bit ones.
      LinkStats s;
      if (!ReadStats<std::uint32_t>(data, s)) return false;
      if (!seen.stats64) out.stats = s;
      return true;
    }
    default:
      return true;
  }
}

}  // namespace

bool ParseNewLink(std::span<const std::uint8_t> payload, LinkInfo& out) {
  if (payload.size() < sizeof(ifinfomsg)) return false;
  const auto info = Read<ifinfomsg>(payload);
  out = LinkInfo{};
  if (info.ifi_index <= 0) return false;
  out.index = static_cast<std::uint32_t>(info.ifi_index);
  out.arphrdType = info.ifi_type;
  out.flags = info.ifi_flags;

  LinkAttributesSeen seen;
  const bool sound = WalkAttributes(payload, sizeof(ifinfomsg), [&](std::uint16_t type, auto data) {
    return ReadLinkAttribute(type, data, out, seen);
  });
  if (!sound) return false;
  // A link without a name, or with one no row can hold, is not a link the
  // kernel would send.
  return seen.name && !out.name.empty() && out.name.size() < kNameUnits;
}

namespace {

// Walks the messages of one datagram. `on` gets (header, payload) and
// says whether to go on. False when a message length does not fit.
template <class OnMessage>
bool WalkMessages(std::span<const std::uint8_t> datagram, OnMessage&& on) {
  std::size_t pos = 0;
  while (pos < datagram.size()) {
    const auto rest = datagram.subspan(pos);
    if (rest.size() < sizeof(nlmsghdr)) return false;
    const auto hdr = Read<nlmsghdr>(rest);
    if (hdr.nlmsg_len < sizeof(nlmsghdr) || hdr.nlmsg_len > rest.size()) return false;
    if (!on(hdr, rest.subspan(sizeof(nlmsghdr), hdr.nlmsg_len - sizeof(nlmsghdr)))) break;
    pos += std::min<std::size_t>(Align4(hdr.nlmsg_len), rest.size());
  }
  return true;
}

// The kernel reports errors as negated errno values. INT_MIN has no
// positive counterpart, and is no errno anyway.
int ErrnoOf(std::int32_t err) {
  if (err == std::numeric_limits<std::int32_t>::min()) return EINVAL;
  return err < 0 ? -err : err;
}

// The messages every dump reply shares: the end, errors, overruns. nullopt
// for a message that carries data, which the caller parses.
std::optional<DumpProgress> ControlMessage(std::uint16_t type, std::uint16_t flags,
                                           std::span<const std::uint8_t> payload, bool& interrupted,
                                           int& kernelError) {
  if (flags & NLM_F_DUMP_INTR) interrupted = true;
  switch (type) {
    case NLMSG_NOOP:
      return DumpProgress::More;
    case NLMSG_DONE: {
      // Newer kernels put the dump's own result here; older ones may send
      // an empty payload.
      if (payload.size() >= sizeof(std::int32_t)) {
        const auto err = Read<std::int32_t>(payload);
        if (err < 0) {
          kernelError = ErrnoOf(err);
          return DumpProgress::KernelError;
        }
      }
      return DumpProgress::Done;
    }
    case NLMSG_ERROR: {
      if (payload.size() < sizeof(std::int32_t)) return DumpProgress::Malformed;
      const auto err = Read<std::int32_t>(payload);
      if (err == 0) return DumpProgress::More;  // an acknowledgement
      kernelError = ErrnoOf(err);
      return DumpProgress::KernelError;
    }
    case NLMSG_OVERRUN:
      kernelError = ENOBUFS;
      return DumpProgress::KernelError;
    default:
      return std::nullopt;
  }
}

}  // namespace

bool ParseNewStats(std::span<const std::uint8_t> payload, LinkCounters& out) {
  if (payload.size() < sizeof(if_stats_msg)) return false;
  const auto head = Read<if_stats_msg>(payload);
  out = LinkCounters{};
  // The index is an int in the kernel; the top half is no link's.
  if (head.ifindex == 0 || head.ifindex > static_cast<std::uint32_t>(INT32_MAX)) return false;
  out.index = head.ifindex;
  return WalkAttributes(payload, sizeof(if_stats_msg), [&](std::uint16_t type, auto data) {
    if (type != IFLA_STATS_LINK_64) return true;
    // The same rtnl_link_stats64 as IFLA_STATS64 of a link dump, read the
    // same way so that both give equal rows.
    LinkStats s;
    if (!ReadStats<std::uint64_t>(data, s)) return false;
    out.stats = s;
    return true;
  });
}

namespace {

// The data message of each dump and how its payload is read.
template <class Entry>
struct DumpMessage;

template <>
struct DumpMessage<LinkInfo> {
  static constexpr std::uint16_t kType = RTM_NEWLINK;
  static constexpr auto Parse = ParseNewLink;
};

template <>
struct DumpMessage<LinkCounters> {
  static constexpr std::uint16_t kType = RTM_NEWSTATS;
  static constexpr auto Parse = ParseNewStats;
};

}  // namespace

template <class Entry>
DumpProgress DumpParser<Entry>::Feed(std::span<const std::uint8_t> datagram) {
  if (m_state != DumpProgress::More) return m_state;
  const bool framed = WalkMessages(datagram, [&](const nlmsghdr& hdr, auto payload) {
    if (hdr.nlmsg_seq != m_seq || hdr.nlmsg_pid != m_portId) return true;
    if (auto control = ControlMessage(hdr.nlmsg_type, hdr.nlmsg_flags, payload, m_interrupted,
                                      m_kernelError)) {
      m_state = *control;
    } else if (hdr.nlmsg_type == DumpMessage<Entry>::kType) {
      Entry entry;
      if (DumpMessage<Entry>::Parse(payload, entry)) {
        m_entries.push_back(std::move(entry));
      } else {
        m_state = DumpProgress::Malformed;
      }
    }
    return m_state == DumpProgress::More;
  });
  if (!framed) m_state = DumpProgress::Malformed;
  return m_state;
}

template class DumpParser<LinkInfo>;
template class DumpParser<LinkCounters>;

bool ParseLinkEvents(std::span<const std::uint8_t> datagram, std::vector<LinkEvent>& out) {
  bool ok = true;
  // Notifications carry the sequence number and port of whoever made the
  // change, so unlike a dump nothing is filtered on them.
  const bool framed = WalkMessages(datagram, [&](const nlmsghdr& hdr, auto payload) {
    switch (hdr.nlmsg_type) {
      case NLMSG_ERROR:
      case NLMSG_OVERRUN:
        ok = false;
        return false;
      case RTM_NEWLINK:
      case RTM_DELLINK: {
        if (payload.size() < sizeof(ifinfomsg)) {
          ok = false;
          return false;
        }
        const auto info = Read<ifinfomsg>(payload);
        if (info.ifi_family != AF_UNSPEC) return true;
        LinkEvent event;
        if (hdr.nlmsg_type == RTM_DELLINK) {
          event.kind = LinkEvent::Kind::Deleted;
          if (info.ifi_index <= 0) {
            ok = false;
            return false;
          }
          event.link.index = static_cast<std::uint32_t>(info.ifi_index);
        } else if (!ParseNewLink(payload, event.link)) {
          ok = false;
          return false;
        }
        out.push_back(std::move(event));
        return true;
      }
      default:
        return true;
    }
  });
  return framed && ok;
}

}  // namespace orv::linux_if
