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
    : m_deps(std::move(deps)), m_plain(m_deps.plain) {}

CachedIfTableSource::Counts CachedIfTableSource::counts() const { return m_counts; }

std::chrono::milliseconds CachedIfTableSource::ExtrasStagger(std::uint32_t index) {
  // 761 is prime to 1000: consecutive indexes land on distinct
  // milliseconds, spread over the whole second.
  return std::chrono::milliseconds((std::uint64_t{index} * 761u) %
                                   static_cast<std::uint64_t>(kExtrasMaxAge.count()));
}

std::uint32_t CachedIfTableSource::Plain(std::uint8_t* table, std::uint32_t* size,
                                         std::int32_t order) {
  ++m_counts.plainCalls;
  m_valid = false;
  return m_plain.GetIfTable(table, size, order);
}

bool CachedIfTableSource::DrainEvents() {
  m_events.clear();
  bool parsed = true;
  const EventsStatus status = m_deps.drainEvents
                                  ? m_deps.drainEvents([&](std::span<const std::uint8_t> d) {
                                      if (parsed && !ParseLinkEvents(d, m_events)) parsed = false;
                                    })
                                  : EventsStatus::Unavailable;
  if (status == EventsStatus::Unavailable) return false;
  if (status == EventsStatus::Lost || !parsed) {
    m_valid = false;
    return true;
  }
  if (m_valid) {
    for (auto& event : m_events) Apply(event);
  }
  return true;
}

void CachedIfTableSource::Apply(LinkEvent& event) {
  ++m_counts.events;
  const auto at = FindIndex(m_entries, event.link.index);
  const bool known = at != m_entries.end() && at->info.index == event.link.index;
  if (event.kind == LinkEvent::Kind::Deleted) {
    if (known) m_entries.erase(at);
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
  m_entries.insert(at, std::move(entry));
}

DumpStatus CachedIfTableSource::Refresh() {
  ++m_counts.refreshes;
  std::vector<LinkInfo> links;
  const DumpStatus status =
      m_deps.plain.dumpLinks ? m_deps.plain.dumpLinks(links) : DumpStatus::Unavailable;
  if (status != DumpStatus::Ok) {
    m_valid = false;
    return status;
  }
  SortByIndexLaterWins(links);
  std::vector<Entry> next;
  next.reserve(links.size());
  m_counters.clear();
  m_counters.reserve(links.size());
  auto old = m_entries.begin();
  for (auto& link : links) {
    while (old != m_entries.end() && old->info.index < link.index) ++old;
    Entry entry;
    if (old != m_entries.end() && old->info.index == link.index &&
        SameInterfaceState(old->info, link)) {
      entry.extras = old->extras;
      entry.extrasRead = old->extrasRead;
      entry.readAt = old->readAt;
      entry.due = old->due;
    }
    m_counters.push_back(MapCounters(link.stats));
    link.stats.reset();
    entry.info = std::move(link);
    next.push_back(std::move(entry));
  }
  m_entries = std::move(next);
  m_valid = true;
  return DumpStatus::Ok;
}

bool CachedIfTableSource::MatchCounters() {
  auto& s = m_stats;
  SortByIndexLaterWins(s);
  if (s.size() != m_entries.size()) return false;
  m_counters.resize(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i].index != m_entries[i].info.index) return false;
    m_counters[i] = MapCounters(s[i].stats);
  }
  return true;
}

void CachedIfTableSource::EnsureExtras(Entry& entry, Clock::time_point now) {
  if (entry.extrasRead && now >= entry.readAt && now < entry.due) return;
  ++m_counts.extrasReads;
  const bool first = !entry.extrasRead;
  LinkExtras extras;
  if (!first && m_deps.plain.readSpeed) {
    extras = entry.extras;
    extras.speedBitsPerSecond = m_deps.plain.readSpeed(entry.info);
  } else if (m_deps.plain.readExtras) {
    extras = m_deps.plain.readExtras(entry.info);
  }
  entry.readAt = now;
  entry.due = now + kExtrasMaxAge -
              (first ? ExtrasStagger(entry.info.index) : std::chrono::milliseconds(0));
  if (first || !SameExtras(extras, entry.extras)) entry.rowBuilt = false;
  entry.extras = extras;
  entry.extrasRead = true;
}

void CachedIfTableSource::WriteRows(std::uint8_t* table) {
  const auto now = m_deps.plain.now ? m_deps.plain.now() : Clock::now();
  le::PutU32(std::span(table, kIfTableHeaderSize), 0, static_cast<std::uint32_t>(m_entries.size()));
  std::uint8_t* at = table + kIfTableHeaderSize;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    Entry& e = m_entries[i];
    const bool withExtras = !e.info.countersOnly;
    if (withExtras) EnsureExtras(e, now);
    if (!e.rowBuilt) {
      e.row = ToIfRow(e.info, withExtras ? e.extras : LinkExtras{});
      e.rowBuilt = true;
    }
    const std::span<std::uint8_t, kIfRowSize> row(at, kIfRowSize);
    WriteIfRow(row, e.row);
    PatchCounters(row, m_counters[i]);
    at += kIfRowSize;
  }
}

std::uint32_t CachedIfTableSource::GetIfTable(std::uint8_t* table, std::uint32_t* size,
                                              std::int32_t order) {
  if (size == nullptr) return kStatusInvalidParameter;
  if (m_statsRefused || !DrainEvents()) return Plain(table, size, order);

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
    const std::uint32_t needed = IfTableSize(m_entries.size());
    if (needed == 0) return kStatusGenFailure;
    if (table == nullptr || *size < needed) {
      *size = needed;
      return kStatusInsufficientBuffer;
    }
    return kStatusSuccess;
  };

  if (!m_valid) {
    if (const auto done = refresh()) return *done;
  }
  if (const auto status = fits(); status != kStatusSuccess) return status;

  if (!refreshed) {
    ++m_counts.statsDumps;
    m_stats.clear();
    switch (m_deps.dumpStats ? m_deps.dumpStats(m_stats) : DumpStatus::Unavailable) {
      case DumpStatus::Ok:
        break;
      case DumpStatus::Unavailable:
        m_statsRefused = true;
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
  return RunDump(m_socket, m_seq, &NetlinkSocket::DumpStats, out, [](int error) {
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
