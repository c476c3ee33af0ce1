// Prints what the interface-table reader sees on this machine, one line per
// record and then the two totals: the diagnostic to attach to bug reports.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "iftable/if_table.h"
#include "platform/checked.h"
#include "stats/cip_helper.h"
#include "tools/if_dump_text.h"

#ifdef _WIN32
#include "iftable/windows/if_table_windows.h"
#endif

namespace {

constexpr const char* kUsage =
    "usage: orv-ifdump [--help]\n"
    "Loads the interface table once and prints one line per interface\n"
    "(position, index, type, operational and admin status, MTU, speed in\n"
    "bit/s, physical address, received and sent octets as unsigned 32-bit\n"
    "counters, name, description), then the received and sent totals.\n"
    "On Windows the rows of NDIS filter modules, which the window leaves out\n"
    "and does not count, are shown too, marked as such.\n";

// The rows the window leaves out: on Windows those the system marks as
// filter modules, read from the whole table; elsewhere none.
struct Dump {
  orv::GetIfTableFn table;
  std::vector<std::uint32_t> leftOut;
};

Dump SystemDump() {
#ifdef _WIN32
  return {orv::windows_if::WholeSystemIfTable(),
          orv::windows_if::SystemFilterMarks()().value_or(std::vector<std::uint32_t>{})};
#else
  return {orv::SystemIfTable(), {}};
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "orv-ifdump: unknown argument '%s'\n%s", argv[1], kUsage);
    return 2;
  }

  const Dump dump = SystemDump();
  orv::CIpHelper reader(dump.table, orv::SystemDescriptionDecoder());
  const auto interfaces = reader.Interfaces();
  std::int32_t position = 0;
  // The totals the window shows: those of the rows it counts.
  std::int32_t received = 0;
  std::int32_t sent = 0;
  for (const auto& record : *interfaces) {
    std::string line = orv::ifdump::FormatRecord(++position, *record);
    const auto index = static_cast<std::uint32_t>(record->InterfaceIndex());
    if (std::find(dump.leftOut.begin(), dump.leftOut.end(), index) != dump.leftOut.end()) {
      line += " filter module: left out";
    } else {
      received = orv::checked::WrappingAdd32(received, record->OctetsReceived());
      sent = orv::checked::WrappingAdd32(sent, record->OctetsSent());
    }
    std::puts(line.c_str());
  }
  if (position == 0) std::puts("no interfaces: the table is empty or could not be read");
  std::puts(orv::ifdump::FormatTotals(received, sent).c_str());
  return 0;
}
