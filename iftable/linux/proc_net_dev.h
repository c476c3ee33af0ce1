#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "iftable/linux/link_row.h"

// /proc/net/dev, the fallback when netlink cannot be used: names and
// counters only.
namespace orv::linux_if {

// Parses the whole file. Links come in file order with index 0 (the
// caller numbers them). nullopt when the text is not that file: a missing
// header, a line without a name, fewer than 16 counters, or a counter
// that is not a number.
std::optional<std::vector<LinkInfo>> ParseProcNetDev(std::string_view text);

}  // namespace orv::linux_if
