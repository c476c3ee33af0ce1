#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/harnesses.h"
#include "iftable/linux/if_table_source.h"
#include "iftable/linux/link_row.h"
#include "iftable/linux/netlink_parse.h"
#include "iftable/linux/proc_net_dev.h"
#include "platform/error.h"
#include "platform/utf8.h"
#include "stats/cip_helper.h"

namespace orv::fuzz {
namespace {

using namespace orv::linux_if;

void CheckLink(const LinkInfo& link) {
  ORV_FUZZ_CHECK(link.index > 0);
  ORV_FUZZ_CHECK(!link.name.empty() && link.name.size() < kNameUnits);
  ORV_FUZZ_CHECK(link.name.find('\0') == std::string::npos);
}

// The name the reader must show for a link: the row holds 256 units and
// the reader stops at the first zero unit.
std::u16string ShownName(const std::string& name) {
  std::u16string units = DecodeUtf8(name);
  if (units.size() > kNameUnits) units.resize(kNameUnits);
  const std::size_t zero = units.find(u'\0');
  if (zero != std::u16string::npos) units.resize(zero);
  return units;
}

// Feeds the input's datagrams (each a 16-bit length and its bytes) until
// the parser is finished or the input ends, and checks what holds for
// every parser: a finished one takes nothing more, and a kernel error is
// a positive errno.
template <class Parser>
DumpProgress FeedDump(Cursor& in, Parser& parser) {
  DumpProgress progress = DumpProgress::More;
  while (!in.empty() && progress == DumpProgress::More) {
    const std::uint16_t length = in.U16();
    progress = parser.Feed(in.Take(length));
  }
  if (progress != DumpProgress::More) {
    const std::uint8_t nlmsgDone[16] = {16, 0, 0, 0, 3, 0, 0, 0};
    ORV_FUZZ_CHECK(parser.Feed(nlmsgDone) == progress);
  }
  if (progress == DumpProgress::KernelError) ORV_FUZZ_CHECK(parser.kernelError() > 0);
  return progress;
}

void RunStatsDump(Cursor& in, std::uint32_t seq, std::uint32_t port, NetlinkOutcome& outcome) {
  StatsDumpParser parser(seq, port);
  const DumpProgress progress = FeedDump(in, parser);
  // Link indexes are positive ints in the kernel.
  for (const LinkCounters& entry : parser.entries()) {
    ORV_FUZZ_CHECK(entry.index > 0 && entry.index <= 0x7FFFFFFFu);
  }
  outcome.progress = static_cast<int>(progress);
  outcome.parsed = static_cast<std::int32_t>(parser.entries().size());
}

void RunLinkEvents(Cursor& in, NetlinkOutcome& outcome) {
  std::vector<LinkEvent> events;
  while (!in.empty()) {
    const std::uint16_t length = in.U16();
    const std::size_t before = events.size();
    // A datagram that does not parse keeps the events before it.
    (void)ParseLinkEvents(in.Take(length), events);
    ORV_FUZZ_CHECK(events.size() >= before);
  }
  for (const LinkEvent& event : events) {
    ORV_FUZZ_CHECK(event.link.index > 0);
    if (event.kind == LinkEvent::Kind::New) CheckLink(event.link);
  }
  outcome.parsed = static_cast<std::int32_t>(events.size());
}

}  // namespace

NetlinkOutcome RunNetlink(Bytes input) {
  Cursor in(input);
  const std::uint32_t seq = in.U32();
  const std::uint32_t port = in.U32();
  const std::uint8_t mode = in.U8();
  const bool fallback = (mode & 1) != 0;
  LinkExtras extras;
  extras.wireless = (mode & 2) != 0;
  extras.speedBitsPerSecond = (mode & 4) != 0 ? 0xFFFFFFFFu : 1000000000u;

  NetlinkOutcome outcome;
  DumpStatus dumpStatus = DumpStatus::Unavailable;
  std::vector<LinkInfo> links;
  std::string procText;

  // Bits 3-4 of the mode: the datagrams are a link dump (0), a statistics
  // dump (1) or link notifications (2); or the rest is a script of link
  // changes for the cached source (3).
  const int feed = (mode >> 3) & 3;
  if (feed == 1) {
    RunStatsDump(in, seq, port, outcome);
    return outcome;
  }
  if (feed == 2) {
    RunLinkEvents(in, outcome);
    return outcome;
  }
  if (feed == 3) {
    RunLinkCache(in, outcome);
    return outcome;
  }

  if (fallback) {
    const Bytes text = in.Rest();
    procText.assign(text.begin(), text.end());
  } else {
    LinkDumpParser parser(seq, port);
    const DumpProgress progress = FeedDump(in, parser);
    outcome.progress = static_cast<int>(progress);
    switch (progress) {
      case DumpProgress::Done:
        dumpStatus = DumpStatus::Ok;
        break;
      case DumpProgress::Malformed:
        dumpStatus = DumpStatus::Malformed;
        break;
      default:
        dumpStatus = DumpStatus::Failed;
        break;
    }
    for (const LinkInfo& link : parser.entries()) CheckLink(link);
    links = parser.TakeEntries();
    // A lone message payload, as a notification would carry it.
    LinkInfo single;
    if (ParseNewLink(input.subspan(std::min<std::size_t>(9, input.size())), single)) {
      CheckLink(single);
    }
  }

  // The parsed links through the table call and the reader, as the window
  // sees them.
  auto clock = std::chrono::steady_clock::time_point{};
  IfTableDeps deps;
  deps.dumpLinks = [&](std::vector<LinkInfo>& out) {
    out = links;
    return dumpStatus;
  };
  deps.readProcNetDev = [&]() -> std::optional<std::string> {
    if (!fallback) return std::nullopt;
    return procText;
  };
  deps.readExtras = [&](const LinkInfo&) { return extras; };
  deps.nameToIndex = [](const std::string&) { return std::uint32_t{0}; };
  deps.now = [&] { return clock += std::chrono::milliseconds(700); };
  IfTableSource source(std::move(deps));

  std::uint32_t size = 0;
  outcome.status = source.GetIfTable(nullptr, &size, 0);

  // What the reader must show: one row per index, the last report winning,
  // in index order.
  std::map<std::uint32_t, LinkInfo> expected;
  bool tableExpected = dumpStatus == DumpStatus::Ok;
  if (fallback) {
    auto parsed = ParseProcNetDev(procText);
    tableExpected = parsed.has_value();
    if (parsed) {
      for (std::size_t i = 0; i < parsed->size(); ++i) {
        expected[static_cast<std::uint32_t>(i + 1)] = (*parsed)[i];
      }
    }
  } else if (tableExpected) {
    for (const LinkInfo& link : links) expected[link.index] = link;
  }
  ORV_FUZZ_CHECK((outcome.status == kStatusInsufficientBuffer) == tableExpected);

  CIpHelper reader([&](std::uint8_t* table, std::uint32_t* sz, std::int32_t order) {
    return source.GetIfTable(table, sz, order);
  });
  // Twice, so the second load meets the per-interface cache.
  for (int load = 0; load < 2; ++load) {
    const auto records = reader.Interfaces();
    ORV_FUZZ_CHECK(records != nullptr);
    outcome.records = records->Count();
    ORV_FUZZ_CHECK(static_cast<std::size_t>(outcome.records) == expected.size());
    auto want = expected.begin();
    for (const CInterfaces::Record& r : *records) {
      const LinkInfo& link = want->second;
      ORV_FUZZ_CHECK(static_cast<std::uint32_t>(r->InterfaceIndex()) == want->first);
      ORV_FUZZ_CHECK(r->InterfaceName() == ShownName(link.name));
      const std::uint64_t rx = link.stats ? link.stats->rxBytes : 0;
      const std::uint64_t tx = link.stats ? link.stats->txBytes : 0;
      ORV_FUZZ_CHECK(static_cast<std::uint32_t>(r->OctetsReceived()) ==
                     static_cast<std::uint32_t>(rx));
      ORV_FUZZ_CHECK(static_cast<std::uint32_t>(r->OctetsSent()) == static_cast<std::uint32_t>(tx));
      const std::uint32_t speed = fallback ? 0 : extras.speedBitsPerSecond;
      ORV_FUZZ_CHECK(static_cast<std::uint32_t>(r->Speed()) == speed);
      ORV_FUZZ_CHECK(r->InterfaceDescription().size() <= 256);
      ++want;
    }
  }
  return outcome;
}

}  // namespace orv::fuzz
