#pragma once

// A kernel the table-source tests play: its links, the netlink bytes it
// would send for them, and the dependencies both sources are built on,
// counting what each source asks of it.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "iftable/linux/if_table_cached.h"
#include "iftable/linux/if_table_source.h"

namespace orv::linux_if {

// The notification the kernel sends for a link in this state.
std::vector<std::uint8_t> NewLinkBytes(const LinkInfo& l);
std::vector<std::uint8_t> DelLinkBytes(std::uint32_t index);
// The statistics reply for these links, as datagrams.
std::vector<std::vector<std::uint8_t>> StatsReply(const std::vector<LinkInfo>& links,
                                                  std::uint32_t seq, std::uint32_t port);

// A kernel the test controls. `links` is the truth that dumps report;
// notifications are queued by hand, as the kernel would queue them.
struct FakeKernel {
  std::vector<LinkInfo> links;
  DumpStatus linkDump = DumpStatus::Ok;
  std::optional<std::string> procText;
  std::vector<std::vector<std::uint8_t>> queued;
  EventsStatus eventsStatus = EventsStatus::Ok;
  bool eventsLostOnce = false;
  DumpStatus statsStatus = DumpStatus::Ok;
  // What the statistics dump names instead of `links`, when set.
  std::optional<std::vector<LinkInfo>> statsLinks;
  std::map<std::string, std::uint32_t> speeds;  // bits/s by name
  std::set<std::string> wireless;
  // What a name resolves to; 0, as for a name the system lacks, elsewhere.
  std::map<std::string, std::uint32_t> indexes;
  int dumps = 0;
  int fullReads = 0;  // speed and wireless, not the speed alone
  int statsDumps = 0;
  int extrasReads = 0;
  std::chrono::steady_clock::time_point now{};
  std::uint32_t seq = 0;

  IfTableDeps Plain() {
    IfTableDeps d;
    d.dumpLinks = [this](std::vector<LinkInfo>& out) {
      ++dumps;
      if (linkDump == DumpStatus::Ok) out = links;
      return linkDump;
    };
    d.readProcNetDev = [this] { return procText; };
    d.readExtras = [this](const LinkInfo& l) {
      ++extrasReads;
      LinkExtras e;
      e.speedBitsPerSecond = speeds.count(l.name) ? speeds[l.name] : 0;
      e.wireless = wireless.count(l.name) > 0;
      return e;
    };
    d.nameToIndex = [this](const std::string& name) {
      return indexes.count(name) ? indexes[name] : 0u;
    };
    d.now = [this] { return now; };
    return d;
  }

  CachedIfTableDeps Cached() {
    CachedIfTableDeps d;
    d.plain = Plain();
    d.plain.readExtras = [this, read = d.plain.readExtras](const LinkInfo& l) {
      ++fullReads;
      return read(l);
    };
    d.plain.readSpeed = [this](const LinkInfo& l) {
      ++extrasReads;
      return speeds.count(l.name) ? speeds[l.name] : 0u;
    };
    d.drainEvents = [this](const NetlinkLinkEvents::Sink& sink) {
      if (eventsStatus == EventsStatus::Unavailable) return eventsStatus;
      for (const auto& datagram : queued) sink(datagram);
      queued.clear();
      if (eventsLostOnce) {
        eventsLostOnce = false;
        return EventsStatus::Lost;
      }
      return eventsStatus;
    };
    d.dumpStats = [this](std::vector<LinkCounters>& out) {
      ++statsDumps;
      if (statsStatus != DumpStatus::Ok) return statsStatus;
      StatsDumpParser parser(++seq, 99);
      DumpProgress p = DumpProgress::More;
      for (const auto& datagram : StatsReply(statsLinks.value_or(links), seq, 99)) {
        p = parser.Feed(datagram);
      }
      if (p != DumpProgress::Done) return DumpStatus::Malformed;
      out = parser.TakeEntries();
      return DumpStatus::Ok;
    };
    return d;
  }

  void Notify(const LinkInfo& l) { queued.push_back(NewLinkBytes(l)); }
  LinkInfo& Link(std::uint32_t index) {
    return *std::find_if(links.begin(), links.end(),
                         [&](const LinkInfo& l) { return l.index == index; });
  }
};

}  // namespace orv::linux_if
