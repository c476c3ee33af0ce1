#include "iftable/linux/if_table_source.h"

#include <fcntl.h>
#include <linux/ethtool.h>
#include <linux/netlink.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>
#include <unordered_set>

#include "iftable/le_fields.h"
#include "iftable/linux/if_row_writer.h"
#include "iftable/linux/netlink_dump.h"
#include "iftable/linux/netlink_parse.h"
#include "iftable/linux/netlink_socket.h"
#include "iftable/linux/proc_net_dev.h"

namespace orv::linux_if {

IfTableSource::IfTableSource(IfTableDeps deps) : m_deps(std::move(deps)) {}

std::uint32_t IfTableSource::Collect(std::vector<LinkInfo>& links) {
  links.clear();
  switch (m_deps.dumpLinks(links)) {
    case DumpStatus::Ok:
      break;
    case DumpStatus::Malformed:
      return kStatusInvalidData;
    case DumpStatus::Failed:
      return kStatusGenFailure;
    case DumpStatus::Unavailable: {
      const auto text = m_deps.readProcNetDev();
      if (!text) return kStatusNotSupported;
      auto parsed = ParseProcNetDev(*text);
      if (!parsed) return kStatusInvalidData;
      links = std::move(*parsed);
      // Real indexes when every name resolves to a distinct one; the line
      // order otherwise, so that no two rows ever share an index.
      std::unordered_set<std::uint32_t> seen;
      bool real = true;
      for (auto& link : links) {
        link.index = m_deps.nameToIndex ? m_deps.nameToIndex(link.name) : 0;
        if (link.index == 0 || !seen.insert(link.index).second) real = false;
      }
      for (std::size_t i = 0; i < links.size(); ++i) {
        if (!real) links[i].index = static_cast<std::uint32_t>(i + 1);
        links[i].arphrdType = 0xFFFF;  // unknown: the row type is "other"
        links[i].countersOnly = true;
      }
      break;
    }
  }
  SortByIndexLaterWins(links);
  return kStatusSuccess;
}

LinkExtras IfTableSource::ExtrasFor(const LinkInfo& link,
                                    std::chrono::steady_clock::time_point now) {
  auto& slot = m_extras[link.index];
  const bool fresh = slot.seenIn != 0 && slot.name == link.name && now >= slot.readAt &&
                     now - slot.readAt < kExtrasMaxAge;
  if (!fresh) {
    slot.name = link.name;
    slot.extras = m_deps.readExtras ? m_deps.readExtras(link) : LinkExtras{};
    slot.readAt = now;
  }
  slot.seenIn = m_generation;
  return slot.extras;
}

std::uint32_t IfTableSource::GetIfTable(std::uint8_t* table, std::uint32_t* size,
                                        std::int32_t /*order*/) {
  if (size == nullptr) return kStatusInvalidParameter;
  std::vector<LinkInfo> links;
  if (const auto status = Collect(links); status != kStatusSuccess) return status;
  const std::uint32_t needed = IfTableSize(links.size());
  if (needed == 0) return kStatusGenFailure;
  if (table == nullptr || *size < needed) {
    *size = needed;
    return kStatusInsufficientBuffer;
  }

  ++m_generation;
  const auto now = m_deps.now ? m_deps.now() : std::chrono::steady_clock::now();
  le::PutU32(std::span(table, kIfTableHeaderSize), 0, static_cast<std::uint32_t>(links.size()));
  std::uint8_t* at = table + kIfTableHeaderSize;
  for (const auto& link : links) {
    const LinkExtras extras = link.countersOnly ? LinkExtras{} : ExtrasFor(link, now);
    WriteIfRow(std::span<std::uint8_t, kIfRowSize>(at, kIfRowSize), ToIfRow(link, extras));
    at += kIfRowSize;
  }
  // Forget interfaces that are gone, so the cache cannot grow without end.
  std::erase_if(m_extras, [&](const auto& entry) { return entry.second.seenIn != m_generation; });
  return kStatusSuccess;
}

// ---- the real sources ----------------------------------------------------

struct NetlinkLinkDumper::State {
  NetlinkSocket socket;
  std::uint32_t seq = 0;
};

NetlinkLinkDumper::NetlinkLinkDumper() : m_state(std::make_unique<State>()) {}
NetlinkLinkDumper::~NetlinkLinkDumper() = default;

DumpStatus NetlinkLinkDumper::operator()(std::vector<LinkInfo>& links) {
  return RunDump(m_state->socket, m_state->seq, &NetlinkSocket::DumpLinks, links,
                 // The kernel itself refusing the dump means netlink is of no use
                 // here (a filter, a policy): that is what the fallback is for.
                 [](int) { return DumpStatus::Unavailable; });
}

namespace {

bool ReadSmallFile(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buf[64];
  ssize_t n;
  do {
    n = ::read(fd, buf, sizeof buf);
  } while (n < 0 && errno == EINTR);
  ::close(fd);
  if (n < 0) return false;
  out.assign(buf, static_cast<std::size_t>(n));
  return true;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

namespace {

// The name goes into a path: never follow one that could leave the
// interface's own directory.
bool SafeName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::uint32_t ReadSysfsSpeed(const LinkInfo& link) {
  if (!SafeName(link.name)) return 0;
  std::string text;
  // Reading fails with EINVAL for links that have no speed (loopback, a
  // link that is down): that is "unknown", 0.
  if (!ReadSmallFile("/sys/class/net/" + link.name + "/speed", text)) return 0;
  return ParseSpeedMbps(text);
}

bool ReadWireless(const LinkInfo& link) {
  if (link.arphrdType != ARPHRD_ETHER || !SafeName(link.name)) return false;
  const std::string dir = "/sys/class/net/" + link.name + "/";
  return Exists(dir + "wireless") || Exists(dir + "phy80211");
}

}  // namespace

DriverSpeedReader::DriverSpeedReader() {
  m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (m_fd < 0) m_fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
}

DriverSpeedReader::~DriverSpeedReader() {
  if (m_fd >= 0) ::close(m_fd);
}

std::uint32_t DriverSpeedReader::operator()(const LinkInfo& link) {
  if (m_fd < 0) return ReadSysfsSpeed(link);
  // sysfs shows a speed only while the link is up.
  if ((link.flags & IFF_UP) == 0 || link.name.empty() || link.name.size() >= IFNAMSIZ) return 0;
  ethtool_cmd cmd{};
  cmd.cmd = ETHTOOL_GSET;
  ifreq req{};
  std::memcpy(req.ifr_name, link.name.data(), link.name.size());
  req.ifr_data = reinterpret_cast<char*>(&cmd);
  int rc;
  do {
    rc = ::ioctl(m_fd, SIOCETHTOOL, &req);
  } while (rc < 0 && errno == EINTR);
  // No speed from the driver (loopback, virtual links): unknown, as in sysfs.
  if (rc < 0) return 0;
  return SpeedFromMbps(ethtool_cmd_speed(&cmd));
}

std::optional<std::string> ReadProcNetDevFile() {
  const int fd = ::open("/proc/net/dev", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text;
  char buf[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return text;
}

IfTableDeps SystemDeps() {
  IfTableDeps deps;
  deps.dumpLinks = [dumper = std::make_shared<NetlinkLinkDumper>()](std::vector<LinkInfo>& links) {
    return (*dumper)(links);
  };
  deps.readProcNetDev = ReadProcNetDevFile;
  auto speed = std::make_shared<DriverSpeedReader>();
  deps.readExtras = [speed](const LinkInfo& link) {
    LinkExtras extras;
    extras.speedBitsPerSecond = (*speed)(link);
    extras.wireless = ReadWireless(link);
    return extras;
  };
  deps.readSpeed = [speed](const LinkInfo& link) { return (*speed)(link); };
  deps.nameToIndex = [](const std::string& name) -> std::uint32_t {
    return ::if_nametoindex(name.c_str());
  };
  deps.now = [] { return std::chrono::steady_clock::now(); };
  return deps;
}

}  // namespace orv::linux_if
