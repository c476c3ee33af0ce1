// Prints what the interface-table reader sees on this machine, one line per
// record and then the two totals: the diagnostic to attach to bug reports.

#include <cstdio>
#include <cstring>

#include "iftable/if_table.h"
#include "stats/cip_helper.h"
#include "tools/if_dump_text.h"

namespace {

constexpr const char* kUsage =
    "usage: orv-ifdump [--help]\n"
    "Loads the interface table once and prints one line per interface\n"
    "(position, index, type, operational and admin status, MTU, speed in\n"
    "bit/s, physical address, received and sent octets as unsigned 32-bit\n"
    "counters, name, description), then the received and sent totals.\n";

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

  orv::CIpHelper reader(orv::SystemIfTable());
  const auto interfaces = reader.Interfaces();
  std::int32_t position = 0;
  for (const auto& record : *interfaces) {
    std::puts(orv::ifdump::FormatRecord(++position, *record).c_str());
  }
  if (position == 0) std::puts("no interfaces: the table is empty or could not be read");
  std::puts(orv::ifdump::FormatTotals(reader.BytesReceived(), reader.BytesSent()).c_str());
  return 0;
}
