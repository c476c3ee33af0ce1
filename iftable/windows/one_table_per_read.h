#pragma once

#include <cstdint>
#include <functional>
#include <span>

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
// own, but for what `edit` makes of each table the system gives: it
// rewrites the whole table (header and rows, its count checked against the
// bytes) in place and returns the bytes it now takes, and the caller is
// given that table and its size. Copies of the function share one kept
// table, safe from several threads; the edit runs under their lock.
using TableEditFn = std::function<std::uint32_t(std::span<std::uint8_t> table)>;
GetIfTableFn OneTablePerRead(GetIfTableFn call, TableEditFn edit = {});

}  // namespace orv::windows_if
