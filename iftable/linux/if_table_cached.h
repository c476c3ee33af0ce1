#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "iftable/if_table.h"
#include "iftable/linux/if_table_source.h"
#include "iftable/linux/link_row.h"
#include "iftable/linux/netlink_parse.h"
#include "iftable/linux/netlink_socket.h"

// The interface-table call with the slow facts of every link kept between
// calls. A link-notification socket keeps them current; the counters come
// from one statistics dump per filled table. What it returns is what the
// plain source returns for the same kernel state.
namespace orv::linux_if {

struct CachedIfTableDeps {
  // Full link dumps (the refresh), the /proc/net/dev fallback, the
  // per-interface files and the clock, as the plain source takes them.
  IfTableDeps plain;
  // Hands every pending notification datagram to the sink, without waiting.
  std::function<EventsStatus(const NetlinkLinkEvents::Sink&)> drainEvents;
  // One RTM_GETSTATS dump of the 64-bit link counters.
  std::function<DumpStatus(std::vector<LinkCounters>&)> dumpStats;
};

class CachedIfTableSource {
 public:
  // Per-interface facts are never older than this.
  static constexpr std::chrono::milliseconds kExtrasMaxAge = IfTableSource::kExtrasMaxAge;

  explicit CachedIfTableSource(CachedIfTableDeps deps);

  // The same contract as IfTableSource::GetIfTable.
  std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, std::int32_t order);

  // What the calls so far have cost, for tests and benchmarks.
  struct Counts {
    std::uint64_t refreshes = 0;    // full link dumps asked for
    std::uint64_t statsDumps = 0;   // statistics dumps asked for
    std::uint64_t events = 0;       // notifications applied to the cache
    std::uint64_t plainCalls = 0;   // calls answered by the plain source
    std::uint64_t extrasReads = 0;  // per-interface file reads
  };
  Counts counts() const;

  // The first read of a link's facts is made to expire early by up to
  // this much, by its index, so that links that appear together (all of
  // them, at start) do not all read their files again in the same call.
  static std::chrono::milliseconds ExtrasStagger(std::uint32_t index);

 private:
  using Clock = std::chrono::steady_clock;

  struct Entry {
    LinkInfo info;  // never holds counters: those come with each call
    LinkExtras extras;
    bool extrasRead = false;
    Clock::time_point readAt{};
    Clock::time_point due{};
    bool rowBuilt = false;
    // The row with zero counters. Kept as fields rather than its 860 bytes:
    // written out it is mostly zeros, and at thousands of links reading a
    // byte image back costs more memory traffic than writing it afresh.
    IfRow row;
  };

  std::uint32_t Plain(std::uint8_t* table, std::uint32_t* size, std::int32_t order);
  bool DrainEvents();
  void Apply(LinkEvent& event);
  DumpStatus Refresh();
  bool MatchCounters();
  void EnsureExtras(Entry& entry, Clock::time_point now);
  void WriteRows(std::uint8_t* table);

  CachedIfTableDeps m_deps;
  IfTableSource m_plain;
  std::vector<Entry> m_entries;         // in ifindex order
  std::vector<RowCounters> m_counters;  // this call's, one per entry
  std::vector<LinkCounters> m_stats;    // the last statistics dump
  std::vector<LinkEvent> m_events;
  bool m_valid = false;         // m_entries match the kernel's table
  bool m_statsRefused = false;  // this kernel has no RTM_GETSTATS for us
  Counts m_counts;
};

// The RTM_GETSTATS dump of this process's network namespace. Holds one
// socket across calls; retries a dump the kernel marked as interrupted.
class NetlinkStatsDumper {
 public:
  NetlinkStatsDumper();
  ~NetlinkStatsDumper();
  DumpStatus operator()(std::vector<LinkCounters>& out);

 private:
  NetlinkSocket m_socket;
  std::uint32_t m_seq = 0;
};

CachedIfTableDeps SystemCachedDeps();

}  // namespace orv::linux_if
