#include "iftable/if_table.h"

#include <memory>

#include "iftable/linux/if_table_cached.h"
#include "platform/utf8.h"

namespace orv {

GetIfTableFn SystemIfTable() {
  // Each table call owns its sockets and cache; copies of the function
  // share them.
  auto source = std::make_shared<linux_if::CachedIfTableSource>(linux_if::SystemCachedDeps());
  return [source](std::uint8_t* table, std::uint32_t* size, std::int32_t order) {
    return source->GetIfTable(table, size, order);
  };
}

DecodeDescriptionFn SystemDescriptionDecoder() {
  return [](std::span<const std::uint8_t> bytes) { return DecodeUtf8(bytes); };
}

}  // namespace orv
