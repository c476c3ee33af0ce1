#include "iftable/linux/if_table_cached.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <span>

#include "iftable/le_fields.h"
#include "iftable/linux/if_row_writer.h"
#include "iftable/linux/netlink_dump.h"

namespace orv::linux_if {

namespace {

std::uint32_t StatusOf(DumpStatus status) {
  switch (status) {
    case DumpStatus::Ok:
      return kStatusSuccess;
    case DumpStatus::Malformed:
      return kStatusInvalidData;
    case DumpStatus::Unavailable:
      return kStatusNotSupported;
    case DumpStatus::Failed:
      break;
  }
  return kStatusGenFailure;
}

// Speed comes from the driver, which re-negotiates when the link changes
// state; a new name is a different sysfs directory. Either way the facts
// read before are no longer the link's.
bool SameInterfaceState(const LinkInfo& a, const LinkInfo& b) {
  return a.name == b.name && a.flags == b.flags && a.operState == b.operState &&
         a.carrier == b.carrier && a.arphrdType == b.arphrdType;
}

bool SameExtras(const LinkExtras& a, const LinkExtras& b) {
  return a.speedBitsPerSecond == b.speedBitsPerSecond && a.wireless == b.wireless;
}

template <class Entries>
auto FindIndex(Entries& entries, std::uint32_t index) {
  return std::lower_bound(entries.begin(), entries.end(), index,
                          [](const auto& e, std::uint32_t i) { return e.info.index < i; });
}

}  // namespace

CachedIfTableSource::CachedIfTableSource(CachedIfTableDeps deps)
    : deps_(std::move(deps)), plain_(deps_.plain) {}

CachedIfTableSource::Counts CachedIfTableSource::counts() const {
  return counts_;
}

std::chrono::milliseconds CachedIfTableSource::ExtrasStagger(std::uint32_t index) {
  // 761 is prime to 1000: consecutive indexes land on distinct
  // milliseconds, spread over the whole second.
  return std::chrono::milliseconds((std::uint64_t{index} * 761u) %
                                   static_cast<std::uint64_t>(kExtrasMaxAge.count()));
}

std::uint32_t CachedIfTableSource::Plain(std::uint8_t* table, std::uint32_t* size,
                                         std::int32_t order) {
  ++counts_.plainCalls;
  valid_ = false;
  return plain_.GetIfTable(table, size, order);
}

bool CachedIfTableSource::DrainEvents() {
  events_.clear();
  bool parsed = true;
  const EventsStatus status = deps_.drainEvents
                                  ? deps_.drainEvents([&](std::span<const std::uint8_t> d) {
                                      if (parsed && !ParseLinkEvents(d, events_)) parsed = false;
                                    })
                                  : EventsStatus::Unavailable;
  if (status == EventsStatus::Unavailable) return false;
  if (status == EventsStatus::Lost || !parsed) {
    valid_ = false;
    return true;
  }
  if (valid_) {
    for (auto& event : events_) Apply(event);
  }
  return true;
}

void CachedIfTableSource::Apply(LinkEvent& event) {
  ++counts_.events;
  const auto at = FindIndex(entries_, event.link.index);
  const bool known = at != entries_.end() && at->info.index == event.link.index;
  if (event.kind == LinkEvent::Kind::Deleted) {
    if (known) entries_.erase(at);
    return;
  }
  event.link.stats.reset();
  if (known) {
    if (!SameInterfaceState(at->info, event.link)) at->extrasRead = false;
    at->info = std::move(event.link);
    at->rowBuilt = false;
    return;
  }
  Entry entry;
  entry.info = std::move(event.link);
  entries_.insert(at, std::move(entry));
}

DumpStatus CachedIfTableSource::Refresh() {
  ++counts_.refreshes;
  std::vector<LinkInfo> links;
  const DumpStatus status = deps_.plain.dumpLinks ? deps_.plain.dumpLinks(links)
                                                  : DumpStatus::Unavailable;
  if (status != DumpStatus::Ok) {
    valid_ = false;
    return status;
  }
  SortByIndexLaterWins(links);
  std::vector<Entry> next;
  next.reserve(links.size());
  counters_.clear();
  counters_.reserve(links.size());
  auto old = entries_.begin();
  for (auto& link : links) {
    while (old != entries_.end() && old->info.index < link.index) ++old;
    Entry entry;
    if (old != entries_.end() && old->info.index == link.index &&
        SameInterfaceState(old->info, link)) {
      entry.extras = old->extras;
      entry.extrasRead = old->extrasRead;
      entry.readAt = old->readAt;
      entry.due = old->due;
    }
    counters_.push_back(MapCounters(link.stats));
    link.stats.reset();
    entry.info = std::move(link);
    next.push_back(std::move(entry));
  }
  entries_ = std::move(next);
  valid_ = true;
  return DumpStatus::Ok;
}

bool CachedIfTableSource::MatchCounters() {
  auto& s = stats_;
  SortByIndexLaterWins(s);
  if (s.size() != entries_.size()) return false;
  counters_.resize(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i].index != entries_[i].info.index) return false;
    counters_[i] = MapCounters(s[i].stats);
  }
  return true;
}

void CachedIfTableSource::EnsureExtras(Entry& entry, Clock::time_point now) {
  if (entry.extrasRead && now >= entry.readAt && now < entry.due) return;
  ++counts_.extrasReads;
  const bool first = !entry.extrasRead;
  LinkExtras extras;
  if (!first && deps_.plain.readSpeed) {
    extras = entry.extras;
    extras.speedBitsPerSecond = deps_.plain.readSpeed(entry.info);
  } else if (deps_.plain.readExtras) {
    extras = deps_.plain.readExtras(entry.info);
  }
  entry.readAt = now;
  entry.due = now + kExtrasMaxAge - (first ? ExtrasStagger(entry.info.index)
                                           : std::chrono::milliseconds(0));
  if (first || !SameExtras(extras, entry.extras)) entry.rowBuilt = false;
  entry.extras = extras;
  entry.extrasRead = true;
}

void CachedIfTableSource::WriteRows(std::uint8_t* table) {
  const auto now = deps_.plain.now ? deps_.plain.now() : Clock::now();
  le::PutU32(std::span(table, kIfTableHeaderSize), 0,
             static_cast<std::uint32_t>(entries_.size()));
  std::uint8_t* at = table + kIfTableHeaderSize;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Entry& e = entries_[i];
    const bool withExtras = !e.info.countersOnly;
    if (withExtras) EnsureExtras(e, now);
    if (!e.rowBuilt) {
      e.row = ToIfRow(e.info, withExtras ? e.extras : LinkExtras{});
      e.rowBuilt = true;
    }
    const std::span<std::uint8_t, kIfRowSize> row(at, kIfRowSize);
    WriteIfRow(row, e.row);
    PatchCounters(row, counters_[i]);
    at += kIfRowSize;
  }
}

std::uint32_t CachedIfTableSource::GetIfTable(std::uint8_t* table, std::uint32_t* size,
                                              std::int32_t order) {
  if (size == nullptr) return kStatusInvalidParameter;
  if (statsRefused_ || !DrainEvents()) return Plain(table, size, order);

  bool refreshed = false;
  const auto refresh = [&]() -> std::optional<std::uint32_t> {
    const DumpStatus status = Refresh();
    if (status == DumpStatus::Unavailable) return Plain(table, size, order);
    if (status != DumpStatus::Ok) return StatusOf(status);
    refreshed = true;
    return std::nullopt;
  };
  // The need as the cache knows it; kStatusSuccess when the buffer holds it.
  const auto fits = [&]() -> std::uint32_t {
    const std::uint32_t needed = IfTableSize(entries_.size());
    if (needed == 0) return kStatusGenFailure;
    if (table == nullptr || *size < needed) {
      *size = needed;
      return kStatusInsufficientBuffer;
    }
    return kStatusSuccess;
  };

  if (!valid_) {
    if (const auto done = refresh()) return *done;
  }
  if (const auto status = fits(); status != kStatusSuccess) return status;

  if (!refreshed) {
    ++counts_.statsDumps;
    stats_.clear();
    switch (deps_.dumpStats ? deps_.dumpStats(stats_) : DumpStatus::Unavailable) {
      case DumpStatus::Ok:
        break;
      case DumpStatus::Unavailable:
        statsRefused_ = true;
        return Plain(table, size, order);
      case DumpStatus::Malformed:
        return kStatusInvalidData;
      case DumpStatus::Failed:
        return kStatusGenFailure;
    }
    // A link the cache does not know or one the kernel no longer has: a
    // notification is on its way or was lost. The link dump settles it and
    // brings its own counters.
    if (!MatchCounters()) {
      if (const auto done = refresh()) return *done;
      if (const auto status = fits(); status != kStatusSuccess) return status;
    }
  }
  WriteRows(table);
  return kStatusSuccess;
}

// ---- the real statistics dump ---------------------------------------------

NetlinkStatsDumper::NetlinkStatsDumper() = default;
NetlinkStatsDumper::~NetlinkStatsDumper() = default;

DumpStatus NetlinkStatsDumper::operator()(std::vector<LinkCounters>& out) {
  return RunDump(
      socket_, seq_, &NetlinkSocket::DumpStats, out,
      [](int error) {
        // A kernel without the request, or a policy against it, will not
        // change its mind; anything else may pass.
        switch (error) {
          case EOPNOTSUPP:
          case EPERM:
          case EACCES:
          case EINVAL:
          case EAFNOSUPPORT:
          case EPROTONOSUPPORT:
            return DumpStatus::Unavailable;
          default:
            return DumpStatus::Failed;
        }
      });
}

CachedIfTableDeps SystemCachedDeps() {
  CachedIfTableDeps deps;
  deps.plain = SystemDeps();
  deps.drainEvents = [events = std::make_shared<NetlinkLinkEvents>()](
                         const NetlinkLinkEvents::Sink& sink) { return events->Drain(sink); };
  deps.dumpStats = [dumper = std::make_shared<NetlinkStatsDumper>()](
                       std::vector<LinkCounters>& out) { return (*dumper)(out); };
  return deps;
}

}  // namespace orv::linux_if
