#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "iftable/windows/one_table_per_read.h"

namespace orv::windows_if {

// The interface indexes the system marks as NDIS filter modules (from
// GetIfTable2's rows), or nothing when it cannot say: the call is missing
// or failed.
using FilterMarksFn = std::function<std::optional<std::vector<std::uint32_t>>()>;

// Since Windows Vista, GetIfTable lists every filter module bound to an
// adapter (packet scheduler, WFP and Wi-Fi filters, capture drivers) as a
// row of its own repeating the adapter's address and octet counters, so
// summing the rows counts an adapter three to five times. The edit
// returned leaves out every row whose index the marks name, moving the
// others up in their order and lowering the row count; a row the marks do
// not name is kept, and without marks the table stays whole. The marks are
// asked for only when the table's set of indexes differs from the one they
// were last asked for (a failed ask is repeated at the next table): under
// Wine each ask is another whole enumeration of the interfaces. The table
// is a header and its rows, as many as the count says, all inside it.
TableEditFn LeaveOutFilterModules(FilterMarksFn marks);

}  // namespace orv::windows_if
