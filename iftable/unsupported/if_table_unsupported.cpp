#include "iftable/if_table.h"

namespace orv {

// A system with no source of the table: the reader takes "not supported"
// as a system without the service and lists no interfaces.
GetIfTableFn SystemIfTable() {
  return [](std::uint8_t*, std::uint32_t*, std::int32_t) { return kStatusNotSupported; };
}

}  // namespace orv
