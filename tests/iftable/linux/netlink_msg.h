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
      : type_(type), flags_(flags) {}

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
    body_.insert(body_.end(), p, p + len);
    return *this;
  }
  Msg& Pad() {
    while (body_.size() % 4) body_.push_back(0);
    return *this;
  }
  Msg& Seq(std::uint32_t seq) { seq_ = seq; return *this; }
  Msg& Port(std::uint32_t port) { port_ = port; return *this; }
  Msg& Len(std::uint32_t len) { len_ = len; return *this; }

  std::vector<std::uint8_t> Bytes() const {
    nlmsghdr h{};
    h.nlmsg_len = len_ ? len_ : static_cast<std::uint32_t>(sizeof h + body_.size());
    h.nlmsg_type = type_;
    h.nlmsg_flags = flags_;
    h.nlmsg_seq = seq_;
    h.nlmsg_pid = port_;
    std::vector<std::uint8_t> out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
  }

 private:
  std::uint16_t type_;
  std::uint16_t flags_;
  std::uint32_t seq_ = kSeq;
  std::uint32_t port_ = kPort;
  std::uint32_t len_ = 0;
  std::vector<std::uint8_t> body_;
};

}  // namespace orv::linux_if::test
