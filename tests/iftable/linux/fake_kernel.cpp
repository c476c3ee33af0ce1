#include "tests/iftable/linux/fake_kernel.h"

#include <linux/if_link.h>
#include <linux/rtnetlink.h>

#include <algorithm>

#include "tests/iftable/linux/netlink_msg.h"

namespace orv::linux_if {

using test::Msg;

std::vector<std::uint8_t> NewLinkBytes(const LinkInfo& l) {
  Msg m(RTM_NEWLINK, 0);
  m.Info(static_cast<std::int32_t>(l.index), l.arphrdType, l.flags).Str(IFLA_IFNAME, l.name);
  if (!l.alias.empty()) m.Str(IFLA_IFALIAS, l.alias);
  m.U32(IFLA_MTU, l.mtu).U32(IFLA_TXQLEN, l.txQueueLen).U8(IFLA_OPERSTATE, l.operState);
  if (l.carrier) m.U8(IFLA_CARRIER, *l.carrier ? 1 : 0);
  m.Attr(IFLA_ADDRESS, l.addr.data(), std::min<std::size_t>(l.addrLen, l.addr.size()));
  return m.Bytes();
}

std::vector<std::uint8_t> DelLinkBytes(std::uint32_t index) {
  Msg m(RTM_DELLINK, 0);
  m.Info(static_cast<std::int32_t>(index)).Str(IFLA_IFNAME, "gone");
  return m.Bytes();
}

std::vector<std::vector<std::uint8_t>> StatsReply(const std::vector<LinkInfo>& links,
                                                  std::uint32_t seq, std::uint32_t port) {
  std::vector<std::vector<std::uint8_t>> out(1);
  for (const auto& l : links) {
    Msg m(RTM_NEWSTATS);
    m.Seq(seq).Port(port).StatsHead(l.index);
    if (l.stats) {
      const LinkStats& s = *l.stats;
      std::uint64_t w[24] = {s.rxPackets, s.txPackets, s.rxBytes,   s.txBytes,  s.rxErrors,
                             s.txErrors,  s.rxDropped, s.txDropped, s.multicast};
      w[22] = s.rxNoHandler;
      m.Attr(IFLA_STATS_LINK_64, w, sizeof w);
    }
    const auto b = m.Bytes();
    out.back().insert(out.back().end(), b.begin(), b.end());
    if (out.back().size() > 2000) out.emplace_back();
  }
  const auto done = Msg(NLMSG_DONE).Seq(seq).Port(port).I32(0).Bytes();
  out.back().insert(out.back().end(), done.begin(), done.end());
  return out;
}

}  // namespace orv::linux_if
