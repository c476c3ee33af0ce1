#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "iftable/if_table.h"
#include "iftable/linux/link_row.h"

// The interface-table call over the kernel's link table, with its sources
// passed in so that tests can stand in for the kernel.
namespace orv::linux_if {

// Statuses beyond the three of the table contract.
inline constexpr std::uint32_t kStatusInvalidData = 13;       // a malformed kernel reply
inline constexpr std::uint32_t kStatusGenFailure = 31;        // receiving the reply failed
inline constexpr std::uint32_t kStatusInvalidParameter = 87;  // no size pointer

enum class DumpStatus {
  Ok,
  Unavailable,  // this source cannot be used here: try the fallback
  Malformed,    // the reply could not be trusted: kStatusInvalidData
  Failed,       // the reply broke off: kStatusGenFailure
};

struct IfTableDeps {
  // The kernel's link table by netlink.
  std::function<DumpStatus(std::vector<LinkInfo>&)> dumpLinks;
  // The text of /proc/net/dev, nullopt when it cannot be read.
  std::function<std::optional<std::string>()> readProcNetDev;
  // Per-interface facts from sysfs; only asked when a table is filled.
  std::function<LinkExtras(const LinkInfo&)> readExtras;
  // The speed alone, for a link whose other facts are known (whether it
  // is wireless does not change while it keeps its name). Optional: when
  // unset, readExtras is asked.
  std::function<std::uint32_t(const LinkInfo&)> readSpeed;
  // The ifindex of a name, 0 when unknown (fallback only).
  std::function<std::uint32_t(const std::string&)> nameToIndex;
  std::function<std::chrono::steady_clock::time_point()> now;
};

// Ifindex order, one entry per index. A dump can repeat a link that moved
// between hash buckets while it ran; the later report wins.
template <class Entry>
void SortByIndexLaterWins(std::vector<Entry>& entries) {
  const auto byIndex = [](const Entry& a, const Entry& b) { return a.index < b.index; };
  if (!std::is_sorted(entries.begin(), entries.end(), byIndex)) {
    std::stable_sort(entries.begin(), entries.end(), byIndex);
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (kept > 0 && entries[kept - 1].index == entries[i].index) {
      entries[kept - 1] = std::move(entries[i]);
    } else {
      if (kept != i) entries[kept] = std::move(entries[i]);
      ++kept;
    }
  }
  entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end());
}

// The plain source: every call dumps the whole link table.
class IfTableSource {
 public:
  // Per-interface facts are read again after this long.
  static constexpr std::chrono::milliseconds kExtrasMaxAge{1000};

  explicit IfTableSource(IfTableDeps deps);

  // The GetIfTable contract: a null table or a *size below what the table
  // needs gives kStatusInsufficientBuffer with the need stored in *size;
  // otherwise the table is written and kStatusSuccess returned (*size is
  // left as it was). Rows are always in ifindex order, whatever `order`.
  std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, std::int32_t order);

 private:
  struct CachedExtras {
    std::string name;
    LinkExtras extras;
    std::chrono::steady_clock::time_point readAt;
    std::uint64_t seenIn = 0;
  };

  std::uint32_t Collect(std::vector<LinkInfo>& links);
  LinkExtras ExtrasFor(const LinkInfo& link, std::chrono::steady_clock::time_point now);

  IfTableDeps m_deps;
  std::unordered_map<std::uint32_t, CachedExtras> m_extras;
  std::uint64_t m_generation = 0;
};

// The netlink link dump of this process's network namespace. Holds one
// socket across calls; retries a dump the kernel marked as interrupted.
class NetlinkLinkDumper {
 public:
  NetlinkLinkDumper();
  ~NetlinkLinkDumper();
  DumpStatus operator()(std::vector<LinkInfo>& links);

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// The speed the driver reports, by ioctl on a socket of this process's
// network namespace: what sysfs shows, without the path walk and three
// system calls per read. Falls back to the sysfs file when no socket can
// be had.
class DriverSpeedReader {
 public:
  DriverSpeedReader();
  ~DriverSpeedReader();
  DriverSpeedReader(const DriverSpeedReader&) = delete;
  DriverSpeedReader& operator=(const DriverSpeedReader&) = delete;
  std::uint32_t operator()(const LinkInfo& link);

 private:
  int m_fd = -1;
};
std::optional<std::string> ReadProcNetDevFile();

IfTableDeps SystemDeps();

}  // namespace orv::linux_if
