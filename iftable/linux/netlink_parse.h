#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "iftable/linux/link_row.h"

// The replies to the RTM_GETLINK and RTM_GETSTATS dump requests, parsed
// from the bytes the kernel sent. Pure: they see only the bytes, so
// recorded replies and hand-made damaged ones can be fed to them.
namespace orv::linux_if {

enum class DumpProgress {
  More,         // the dump goes on in a later datagram
  Done,         // NLMSG_DONE seen; entries() is complete
  Malformed,    // a length or size that does not fit: the reply is unusable
  KernelError,  // NLMSG_ERROR or a failed NLMSG_DONE; see kernelError()
};

// Parses the payload of one RTM_NEWLINK message (ifinfomsg and its
// attributes). False when any length in it does not fit.
bool ParseNewLink(std::span<const std::uint8_t> payload, LinkInfo& out);

// The 64-bit counters of one link from an RTM_GETSTATS reply.
struct LinkCounters {
  std::uint32_t index = 0;
  std::optional<LinkStats> stats;  // absent when the kernel sent none
};

// Parses the payload of one RTM_NEWSTATS message (if_stats_msg and its
// attributes); only IFLA_STATS_LINK_64 is read. False when a length in
// it does not fit or the index is not a link's.
bool ParseNewStats(std::span<const std::uint8_t> payload, LinkCounters& out);

// The reply to one dump request, one Entry per data message: LinkInfo
// from RTM_NEWLINK, LinkCounters from RTM_NEWSTATS.
template <class Entry>
class DumpParser {
 public:
  // Messages are accepted only with this sequence number and port id;
  // anything else is an answer to another request and is passed over.
  DumpParser(std::uint32_t seq, std::uint32_t portId) : m_seq(seq), m_portId(portId) {}

  // Feeds one datagram. After Done, Malformed or KernelError the parser
  // takes nothing more (it keeps returning that result).
  DumpProgress Feed(std::span<const std::uint8_t> datagram);

  const std::vector<Entry>& entries() const { return m_entries; }
  std::vector<Entry> TakeEntries() { return std::move(m_entries); }
  // The kernel flagged the dump as inconsistent (the table changed while
  // it was being dumped); the caller should dump again.
  bool interrupted() const { return m_interrupted; }
  // errno the kernel reported (positive), for KernelError.
  int kernelError() const { return m_kernelError; }

 private:
  std::uint32_t m_seq;
  std::uint32_t m_portId;
  DumpProgress m_state = DumpProgress::More;
  bool m_interrupted = false;
  int m_kernelError = 0;
  std::vector<Entry> m_entries;
};

// Feed is defined for these two in netlink_parse.cpp.
extern template class DumpParser<LinkInfo>;
extern template class DumpParser<LinkCounters>;
using LinkDumpParser = DumpParser<LinkInfo>;
using StatsDumpParser = DumpParser<LinkCounters>;

// One change of the link table, as RTNLGRP_LINK announces it.
struct LinkEvent {
  enum class Kind { New, Deleted };
  Kind kind = Kind::New;
  LinkInfo link;  // for Deleted only the index is meaningful
};

// Parses one datagram from a link-notification socket and appends its
// events. Messages of another address family (bridge port reports carry
// AF_BRIDGE) describe no link of the table and are passed over. False
// when a length does not fit or the kernel reports an error or overrun in
// the stream: the events since the last good state are then not known.
bool ParseLinkEvents(std::span<const std::uint8_t> datagram, std::vector<LinkEvent>& out);

}  // namespace orv::linux_if
