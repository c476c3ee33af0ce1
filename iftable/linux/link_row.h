#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "iftable/linux/if_row_writer.h"

// What the kernel tells about one link, and how that becomes a table row.
namespace orv::linux_if {

struct LinkStats {
  std::uint64_t rxPackets = 0;
  std::uint64_t txPackets = 0;
  std::uint64_t rxBytes = 0;
  std::uint64_t txBytes = 0;
  std::uint64_t rxErrors = 0;
  std::uint64_t txErrors = 0;
  std::uint64_t rxDropped = 0;
  std::uint64_t txDropped = 0;
  std::uint64_t multicast = 0;
  std::uint64_t rxNoHandler = 0;  // 0 where the kernel does not count it
};

// Kernel operational states (RFC 2863 as the kernel numbers them).
enum : std::uint8_t {
  kOperUnknown = 0,
  kOperNotPresent = 1,
  kOperDown = 2,
  kOperLowerLayerDown = 3,
  kOperTesting = 4,
  kOperDormant = 5,
  kOperUp = 6,
};

struct LinkInfo {
  std::uint32_t index = 0;
  std::uint16_t arphrdType = 0;
  std::uint32_t flags = 0;  // IFF_* bits
  std::string name;
  std::string alias;
  std::uint32_t mtu = 0;
  std::uint32_t addrLen = 0;  // the kernel's length; only 8 bytes are kept
  std::array<std::uint8_t, kPhysAddrBytes> addr{};
  std::uint8_t operState = kOperUnknown;
  std::optional<bool> carrier;
  std::optional<LinkStats> stats;
  std::uint32_t txQueueLen = 0;
  // A row read from /proc/net/dev: names and counters only, so no
  // per-interface facts are looked up for it.
  bool countersOnly = false;
};

// Slow facts that come from per-interface files rather than the dump.
struct LinkExtras {
  std::uint32_t speedBitsPerSecond = 0;
  bool wireless = false;
};

// The table's interface type for an ARPHRD hardware type. A wireless card
// in station mode reports plain Ethernet framing, so `wireless` (from the
// interface's sysfs entry) overrides that.
std::uint32_t MapIfType(std::uint16_t arphrdType, bool wireless);

// The table's operational status:
//   up 5; dormant 3; down and lower-layer-down 2; not present 0; testing 0;
//   unknown 5 when the interface is up and has carrier, else 2.
// Many virtual drivers (loopback, tun, dummy) never set a state and stay
// "unknown"; carrier is then the only honest hint.
std::uint32_t MapOperStatus(std::uint8_t operState, bool adminUp, bool hasCarrier);

// Kernel names and aliases are bytes: the name is decoded here, the
// description is kept as bytes and decoded by the table's reader, both
// with the one UTF-8 decoder, so they show the same text.
IfRow ToIfRow(const LinkInfo& link, const LinkExtras& extras);

// The row's counters from the kernel's 64-bit statistics; ToIfRow takes
// its counters from here too, so whole rows and patched rows agree.
RowCounters MapCounters(const std::optional<LinkStats>& stats);

// The longest prefix of at most maxBytes that does not split a UTF-8
// sequence.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

// Mb/s as the kernel prints it in sysfs ("1000\n", "-1\n") into bits/s,
// capped at 2^32 - 1; anything unreadable or negative gives 0.
std::uint32_t ParseSpeedMbps(std::string_view text);
// The same for the driver's own number (ethtool's u32 Mb/s), which sysfs
// prints as a signed int: SPEED_UNKNOWN and anything past INT_MAX read as
// negative there, so they are 0 here too.
std::uint32_t SpeedFromMbps(std::uint32_t mbps);

}  // namespace orv::linux_if
