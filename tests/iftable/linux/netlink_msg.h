#pragma once

#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <sys/socket.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// A builder of netlink messages for tests.
namespace orv::linux_if::test {

inline constexpr std::uint32_t kSeq = 7;
inline constexpr std::uint32_t kPort = 4242;

// Builds netlink datagrams byte by byte, so that damaged ones can be made
// where the kernel would never make them.
class Msg {
 public:
  explicit Msg(std::uint16_t type = RTM_NEWLINK, std::uint16_t flags = NLM_F_MULTI)
      : m_type(type), m_flags(flags) {}

  Msg& Info(std::int32_t index, std::uint16_t arphrd = ARPHRD_ETHER, std::uint32_t iff = 0,
            std::uint8_t family = AF_UNSPEC) {
    ifinfomsg info{};
    info.ifi_family = family;
    info.ifi_index = index;
    info.ifi_type = arphrd;
    info.ifi_flags = iff;
    Raw(&info, sizeof info);
    return *this;
  }
  // The head of an RTM_NEWSTATS message.
  Msg& StatsHead(std::uint32_t index,
                 std::uint32_t filter = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64)) {
    if_stats_msg head{};
    head.ifindex = index;
    head.filter_mask = filter;
    return Raw(&head, sizeof head);
  }
  Msg& Attr(std::uint16_t type, const void* data, std::size_t len) {
    const auto rtaLen = static_cast<std::uint16_t>(sizeof(rtattr) + len);
    return AttrWithLen(type, data, len, rtaLen);
  }
  // rta_len as given, whatever the data's real length.
  Msg& AttrWithLen(std::uint16_t type, const void* data, std::size_t len, std::uint16_t rtaLen) {
    rtattr a{};
    a.rta_len = rtaLen;
    a.rta_type = type;
    Raw(&a, sizeof a);
    Raw(data, len);
    Pad();
    return *this;
  }
  Msg& Str(std::uint16_t type, const std::string& s) { return Attr(type, s.c_str(), s.size() + 1); }
  Msg& U32(std::uint16_t type, std::uint32_t v) { return Attr(type, &v, sizeof v); }
  Msg& U8(std::uint16_t type, std::uint8_t v) { return Attr(type, &v, 1); }
  Msg& I32(std::int32_t v) { return Raw(&v, sizeof v); }
  Msg& Raw(const void* data, std::size_t len) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_body.insert(m_body.end(), p, p + len);
    return *this;
  }
  Msg& Pad() {
    while (m_body.size() % 4) m_body.push_back(0);
    return *this;
  }
  Msg& Seq(std::uint32_t seq) {
    m_seq = seq;
    return *this;
  }
  Msg& Port(std::uint32_t port) {
    m_port = port;
    return *this;
  }
  Msg& Len(std::uint32_t len) {
    m_len = len;
    return *this;
  }

  std::vector<std::uint8_t> Bytes() const {
    nlmsghdr h{};
    h.nlmsg_len = m_len ? m_len : static_cast<std::uint32_t>(sizeof h + m_body.size());
    h.nlmsg_type = m_type;
    h.nlmsg_flags = m_flags;
    h.nlmsg_seq = m_seq;
    h.nlmsg_pid = m_port;
    std::vector<std::uint8_t> out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    out.insert(out.end(), m_body.begin(), m_body.end());
    return out;
  }

 private:
  std::uint16_t m_type;
  std::uint16_t m_flags;
  std::uint32_t m_seq = kSeq;
  std::uint32_t m_port = kPort;
  std::uint32_t m_len = 0;
  std::vector<std::uint8_t> m_body;
};

}  // namespace orv::linux_if::test
