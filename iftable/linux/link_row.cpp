#include "iftable/linux/link_row.h"

#include <linux/if.h>
#include <linux/if_arp.h>

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/utf8.h"

namespace orv::linux_if {

namespace {

constexpr std::uint32_t kTypeOther = 1;
constexpr std::uint32_t kTypeEthernet = 6;
constexpr std::uint32_t kTypePpp = 23;
constexpr std::uint32_t kTypeLoopback = 24;
constexpr std::uint32_t kTypeIeee80211 = 71;
constexpr std::uint32_t kTypeTunnel = 131;

constexpr std::uint32_t kOperNonOperational = 0;
constexpr std::uint32_t kOperDisconnected = 2;
constexpr std::uint32_t kOperConnecting = 3;
constexpr std::uint32_t kOperOperational = 5;

std::uint32_t Low32(std::uint64_t v) { return static_cast<std::uint32_t>(v); }

// The table's speed field is 32 bits of bits/s: 4.29 Gb/s and faster links
// all read as the largest value.
std::uint32_t BitsPerSecondCapped(std::uint64_t mbps) {
  constexpr std::uint64_t kCap = std::numeric_limits<std::uint32_t>::max();
  return mbps > kCap / 1000000 ? static_cast<std::uint32_t>(kCap)
                               : static_cast<std::uint32_t>(mbps * 1000000);
}

}  // namespace

std::uint32_t MapIfType(std::uint16_t arphrdType, bool wireless) {
  switch (arphrdType) {
    case ARPHRD_ETHER:
      return wireless ? kTypeIeee80211 : kTypeEthernet;
    case ARPHRD_LOOPBACK:
      return kTypeLoopback;
    case ARPHRD_IEEE80211:
    case ARPHRD_IEEE80211_PRISM:
    case ARPHRD_IEEE80211_RADIOTAP:
      return kTypeIeee80211;
    case ARPHRD_PPP:
      return kTypePpp;
    case ARPHRD_TUNNEL:
    case ARPHRD_TUNNEL6:
    case ARPHRD_SIT:
    case ARPHRD_IPGRE:
    case ARPHRD_IP6GRE:
    case ARPHRD_NONE:  // tun devices and other layer-3 tunnels
      return kTypeTunnel;
    default:
      return kTypeOther;
  }
}

std::uint32_t MapOperStatus(std::uint8_t operState, bool adminUp, bool hasCarrier) {
  switch (operState) {
    case kOperUp:
      return kOperOperational;
    case kOperDormant:
      return kOperConnecting;
    case kOperDown:
    case kOperLowerLayerDown:
      return kOperDisconnected;
    case kOperNotPresent:
    case kOperTesting:
      return kOperNonOperational;
    default:
      return adminUp && hasCarrier ? kOperOperational : kOperDisconnected;
  }
}

IfRow ToIfRow(const LinkInfo& link, const LinkExtras& extras) {
  IfRow row;
  row.name = DecodeUtf8(link.name);
  row.index = link.index;
  row.type = MapIfType(link.arphrdType, extras.wireless);
  row.mtu = link.mtu;
  row.speed = extras.speedBitsPerSecond;
  row.physAddrLen = std::min<std::uint32_t>(link.addrLen, kPhysAddrBytes);
  row.physAddr = link.addr;
  const bool adminUp = (link.flags & IFF_UP) != 0;
  row.adminStatus = adminUp ? 1 : 2;
  const bool carrier = link.carrier.value_or((link.flags & IFF_LOWER_UP) != 0);
  row.operStatus = MapOperStatus(link.operState, adminUp, carrier);
  row.counters = MapCounters(link.stats);
  row.outQLen = link.txQueueLen;
  row.descr = std::string(CutUtf8(link.alias.empty() ? link.name : link.alias, kDescrBytes));
  return row;
}

RowCounters MapCounters(const std::optional<LinkStats>& stats) {
  RowCounters c;
  if (!stats) return c;
  const LinkStats& s = *stats;
  c.inOctets = Low32(s.rxBytes);
  // The kernel counts multicast inside rx_packets; a driver that counts
  // multicast but not packets must not give a wrapped-around unicast.
  c.inUcastPkts = Low32(s.rxPackets > s.multicast ? s.rxPackets - s.multicast : 0);
  c.inNUcastPkts = Low32(s.multicast);
  c.inDiscards = Low32(s.rxDropped);
  c.inErrors = Low32(s.rxErrors);
  c.inUnknownProtos = Low32(s.rxNoHandler);
  c.outOctets = Low32(s.txBytes);
  // The kernel keeps no count of multicast sent.
  c.outUcastPkts = Low32(s.txPackets);
  c.outNUcastPkts = 0;
  c.outDiscards = Low32(s.txDropped);
  c.outErrors = Low32(s.txErrors);
  return c;
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t cut = maxBytes;
  // Step back over continuation bytes to the start of the split sequence.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut);
}

std::uint32_t SpeedFromMbps(std::uint32_t mbps) {
  if (mbps > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) return 0;
  return BitsPerSecondCapped(mbps);
}

std::uint32_t ParseSpeedMbps(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  if (text.empty() || text.front() == '-') return 0;
  std::uint64_t mbps = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), mbps);
  if (ec == std::errc::result_out_of_range) return std::numeric_limits<std::uint32_t>::max();
  if (ec != std::errc() || end != text.data() + text.size()) return 0;
  return BitsPerSecondCapped(mbps);
}

}  // namespace orv::linux_if
