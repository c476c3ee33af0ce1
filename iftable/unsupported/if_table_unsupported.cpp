#include "iftable/if_table.h"
#include "platform/utf8.h"

namespace orv {

// A system with no source of the table: the reader takes "not supported"
// as a system without the service and lists no interfaces.
GetIfTableFn SystemIfTable() {
  return [](std::uint8_t*, std::uint32_t*, std::int32_t) { return kStatusNotSupported; };
}

DecodeDescriptionFn SystemDescriptionDecoder() {
  return [](std::span<const std::uint8_t> bytes) { return DecodeUtf8(bytes); };
}

}  // namespace orv
