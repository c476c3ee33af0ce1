// The reader walks the table by the offsets of iftable/if_table.h alone;
// the SDK's own structures must agree with every one of them, or the rows
// the system writes would be read askew. Checked when this compiles.

// winsock2 before windows.h, or the old winsock header gets in first.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>

#include "iftable/if_table.h"

namespace orv::if_row {

#define ORV_FIELD_AT(field, offset, bytes)                                 \
  static_assert(offsetof(MIB_IFROW, field) == (offset), #field " offset"); \
  static_assert(sizeof(MIB_IFROW::field) == (bytes), #field " width")

static_assert(sizeof(MIB_IFROW) == kIfRowSize, "MIB_IFROW is 860 bytes");
static_assert(offsetof(MIB_IFTABLE, dwNumEntries) == 0, "entry count at byte 0");
static_assert(sizeof(MIB_IFTABLE::dwNumEntries) == kIfTableHeaderSize, "4-byte entry count");
static_assert(offsetof(MIB_IFTABLE, table) == kIfTableHeaderSize, "rows start at byte 4");
static_assert(sizeof(MIB_IFTABLE::table[0]) == kIfRowSize, "rows follow one another unpadded");

ORV_FIELD_AT(wszName, kName, 2 * kNameUnits);
ORV_FIELD_AT(dwIndex, kIndex, 4);
ORV_FIELD_AT(dwType, kType, 4);
ORV_FIELD_AT(dwMtu, kMtu, 4);
ORV_FIELD_AT(dwSpeed, kSpeed, 4);
ORV_FIELD_AT(dwPhysAddrLen, kPhysAddrLen, 4);
ORV_FIELD_AT(bPhysAddr, kPhysAddr, kPhysAddrBytes);
ORV_FIELD_AT(dwAdminStatus, kAdminStatus, 4);
ORV_FIELD_AT(dwOperStatus, kOperStatus, 4);
ORV_FIELD_AT(dwLastChange, kLastChange, 4);
ORV_FIELD_AT(dwInOctets, kInOctets, 4);
ORV_FIELD_AT(dwInUcastPkts, kInUcastPkts, 4);
ORV_FIELD_AT(dwInNUcastPkts, kInNUcastPkts, 4);
ORV_FIELD_AT(dwInDiscards, kInDiscards, 4);
ORV_FIELD_AT(dwInErrors, kInErrors, 4);
ORV_FIELD_AT(dwInUnknownProtos, kInUnknownProtos, 4);
ORV_FIELD_AT(dwOutOctets, kOutOctets, 4);
ORV_FIELD_AT(dwOutUcastPkts, kOutUcastPkts, 4);
ORV_FIELD_AT(dwOutNUcastPkts, kOutNUcastPkts, 4);
ORV_FIELD_AT(dwOutDiscards, kOutDiscards, 4);
ORV_FIELD_AT(dwOutErrors, kOutErrors, 4);
ORV_FIELD_AT(dwOutQLen, kOutQLen, 4);
ORV_FIELD_AT(dwDescrLen, kDescrLen, 4);
ORV_FIELD_AT(bDescr, kDescr, kDescrBytes);

#undef ORV_FIELD_AT

}  // namespace orv::if_row
