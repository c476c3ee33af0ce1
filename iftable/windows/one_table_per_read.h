#pragma once

#include "iftable/if_table.h"

namespace orv::windows_if {

// The table call, asked for the table once per read instead of twice. A
// reader asks for the size (a null or too small buffer), then for the
// table in a buffer of that size; the system builds the whole table for
// each of the two (under Wine, an enumeration through a device driver in
// another process each time). Here the size query fetches the table
// itself and keeps it, and the call right after it, given a buffer large
// enough, gets that copy: the same rows the system gave a moment before.
// Any other call goes to the system. Statuses and sizes are the call's
// own; copies of the function share one kept table, safe from several
// threads.
GetIfTableFn OneTablePerRead(GetIfTableFn call);

}  // namespace orv::windows_if
