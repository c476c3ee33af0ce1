#include "platform/if_table.h"

// winsock2 before windows.h, or the old winsock header gets in first.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>

namespace orv {

// The reader walks the buffer by these offsets; the platform's own
// structures must agree with them or the rows would be read askew.
static_assert(sizeof(MIB_IFROW) == kIfRowSize, "MIB_IFROW is 860 bytes");
static_assert(offsetof(MIB_IFTABLE, table) == kIfTableHeaderSize, "rows start at byte 4");
static_assert(offsetof(MIB_IFROW, dwIndex) == if_row::kIndex &&
                  offsetof(MIB_IFROW, dwInOctets) == if_row::kInOctets &&
                  offsetof(MIB_IFROW, dwOutOctets) == if_row::kOutOctets &&
                  offsetof(MIB_IFROW, dwDescrLen) == if_row::kDescrLen &&
                  offsetof(MIB_IFROW, bDescr) == if_row::kDescr,
              "MIB_IFROW field offsets");

namespace {

std::uint32_t MapStatus(DWORD status) {
  switch (status) {
    case NO_ERROR:
      return kStatusSuccess;
    case ERROR_INSUFFICIENT_BUFFER:
      return kStatusInsufficientBuffer;
    case ERROR_NOT_SUPPORTED:
      return kStatusNotSupported;
    default:
      // Every other code (invalid parameter, no data...) is a failure the
      // reader treats as such; it keeps its own number.
      return static_cast<std::uint32_t>(status);
  }
}

}  // namespace

GetIfTableFn SystemIfTable() {
  return [](std::uint8_t* table, std::uint32_t* size, std::int32_t order) -> std::uint32_t {
    if (size == nullptr) return ERROR_INVALID_PARAMETER;
    ULONG bytes = *size;
    // A null table asks only for the size; the call treats a null pointer
    // that way on its own.
    const DWORD status =
        ::GetIfTable(reinterpret_cast<PMIB_IFTABLE>(table), &bytes, order != 0 ? TRUE : FALSE);
    *size = static_cast<std::uint32_t>(bytes);
    return MapStatus(status);
  };
}

}  // namespace orv
