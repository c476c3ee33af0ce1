// A stand-in for the system's iphlpapi.dll, loaded into a test prefix under
// Wine (a DLL override), that answers the two table calls with the table of
// a Windows 10 or 11 laptop instead of Wine's mapping of Linux links:
// adapters with their NDIS filter modules as rows of their own (same
// address, same counters), WAN miniports, tunnels, a Wi-Fi Direct virtual
// adapter, an unplugged Ethernet adapter and the loopback pseudo-interface.
// Descriptions are ANSI bytes whose length counts their terminating zero,
// as the system's are.
//
// The Wi-Fi adapter receives 8,000 and sends 2,000 bytes between two reads
// of GetIfTable at least 50 ms apart (one per sampling tick of the window,
// whose second read of a tick comes within a few milliseconds), for its
// first 50 such steps; then its counters hold still, so totals can be
// checked exactly afterwards.
//
// ORV_STAND_IN_TABLE=codepages gives instead the loopback row and two rows
// whose descriptions are the bytes of "网卡一" in code page 936 and of
// "ñet0" in code page 1252.
// ws2tcpip before iphlpapi.h, which only then declares GetIfTable2.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStepBytesIn = 8000;
constexpr DWORD kStepBytesOut = 2000;
constexpr int kSteps = 50;
constexpr ULONGLONG kStepGapMs = 50;

struct Row {
  DWORD index;
  DWORD type;
  DWORD oper;
  int adapter;  // rows of one adapter share its address and counters; 0: none
  bool filter;
  std::string description;  // ANSI bytes
};

struct Adapter {
  BYTE address[6];
  DWORD in;
  DWORD out;
};

// 1: the Wi-Fi adapter, 2: the unplugged Ethernet one, 3: Wi-Fi Direct,
// 4-6: WAN miniports with filters (IP, IPv6, Network Monitor).
Adapter g_adapters[7] = {
    {},
    {{0x8C, 0xC6, 0x81, 0x2A, 0x5B, 0x11}, 123456789, 23456789},
    {{0x54, 0x05, 0xDB, 0x3C, 0x10, 0x22}, 5000000, 1000000},
    {{0x8E, 0xC6, 0x81, 0x2A, 0x5B, 0x11}, 0, 0},
    {{0x00, 0x00, 0x00, 0x00, 0x00, 0x01}, 0, 0},
    {{0x00, 0x00, 0x00, 0x00, 0x00, 0x02}, 0, 0},
    {{0x00, 0x00, 0x00, 0x00, 0x00, 0x03}, 0, 0},
};
int g_steps = 0;
ULONGLONG g_lastStep = 0;

constexpr DWORD kUp = IF_OPER_STATUS_OPERATIONAL;
constexpr DWORD kDown = IF_OPER_STATUS_NON_OPERATIONAL;
constexpr DWORD kUnplugged = IF_OPER_STATUS_DISCONNECTED;

std::vector<Row> Windows10Rows() {
  const std::string wifi = "Intel(R) Wi-Fi 6 AX201 160MHz";
  const std::string eth = "Intel(R) Ethernet Connection (10) I219-V";
  const std::string direct = "Microsoft Wi-Fi Direct Virtual Adapter";
  return {
      {1, IF_TYPE_SOFTWARE_LOOPBACK, kUp, 0, false, "Software Loopback Interface 1"},
      {2, IF_TYPE_PPP, kDown, 0, false, "WAN Miniport (SSTP)"},
      {3, IF_TYPE_TUNNEL, kDown, 0, false, "WAN Miniport (IKEv2)"},
      {4, IF_TYPE_PPP, kDown, 0, false, "WAN Miniport (L2TP)"},
      {5, IF_TYPE_PPP, kDown, 0, false, "WAN Miniport (PPTP)"},
      {6, IF_TYPE_PPP, kDown, 0, false, "WAN Miniport (PPPOE)"},
      {7, IF_TYPE_ETHERNET_CSMACD, kUp, 4, false, "WAN Miniport (IP)"},
      {8, IF_TYPE_ETHERNET_CSMACD, kUp, 5, false, "WAN Miniport (IPv6)"},
      {9, IF_TYPE_ETHERNET_CSMACD, kUp, 6, false, "WAN Miniport (Network Monitor)"},
      {10, IF_TYPE_ETHERNET_CSMACD, kUnplugged, 2, false, eth},
      {11, IF_TYPE_TUNNEL, kDown, 0, false, "Microsoft Teredo Tunneling Adapter"},
      {12, IF_TYPE_TUNNEL, kDown, 0, false, "Microsoft IP-HTTPS Platform Adapter"},
      {13, IF_TYPE_TUNNEL, kDown, 0, false, "Microsoft 6to4 Adapter"},
      {14, IF_TYPE_IEEE80211, kUp, 1, false, wifi},
      {15, IF_TYPE_IEEE80211, kUnplugged, 3, false, direct},
      {16, IF_TYPE_ETHERNET_CSMACD, kUnplugged, 2, true,
       eth + "-WFP Native MAC Layer LightWeight Filter-0000"},
      {17, IF_TYPE_ETHERNET_CSMACD, kUnplugged, 2, true, eth + "-QoS Packet Scheduler-0000"},
      {18, IF_TYPE_ETHERNET_CSMACD, kUnplugged, 2, true,
       eth + "-WFP 802.3 MAC Layer LightWeight Filter-0000"},
      {19, IF_TYPE_IEEE80211, kUp, 1, true, wifi + "-WFP Native MAC Layer LightWeight Filter-0000"},
      {20, IF_TYPE_IEEE80211, kUp, 1, true, wifi + "-Native WiFi Filter Driver-0000"},
      {21, IF_TYPE_IEEE80211, kUp, 1, true, wifi + "-QoS Packet Scheduler-0000"},
      {22, IF_TYPE_IEEE80211, kUp, 1, true, wifi + "-WFP 802.3 MAC Layer LightWeight Filter-0000"},
      {23, IF_TYPE_IEEE80211, kUnplugged, 3, true,
       direct + "-WFP Native MAC Layer LightWeight Filter-0000"},
      {24, IF_TYPE_IEEE80211, kUnplugged, 3, true, direct + "-Native WiFi Filter Driver-0000"},
      {25, IF_TYPE_IEEE80211, kUnplugged, 3, true, direct + "-QoS Packet Scheduler-0000"},
      {26, IF_TYPE_IEEE80211, kUnplugged, 3, true,
       direct + "-WFP 802.3 MAC Layer LightWeight Filter-0000"},
      {27, IF_TYPE_ETHERNET_CSMACD, kUp, 4, true,
       "WAN Miniport (IP)-WFP Native MAC Layer LightWeight Filter-0000"},
      {28, IF_TYPE_ETHERNET_CSMACD, kUp, 4, true, "WAN Miniport (IP)-QoS Packet Scheduler-0000"},
      {29, IF_TYPE_ETHERNET_CSMACD, kUp, 5, true,
       "WAN Miniport (IPv6)-WFP Native MAC Layer LightWeight Filter-0000"},
      {30, IF_TYPE_ETHERNET_CSMACD, kUp, 5, true, "WAN Miniport (IPv6)-QoS Packet Scheduler-0000"},
      {31, IF_TYPE_ETHERNET_CSMACD, kUp, 6, true,
       "WAN Miniport (Network Monitor)-WFP Native MAC Layer LightWeight Filter-0000"},
      {32, IF_TYPE_ETHERNET_CSMACD, kUp, 6, true,
       "WAN Miniport (Network Monitor)-QoS Packet Scheduler-0000"},
  };
}

std::vector<Row> CodePageRows() {
  return {
      {1, IF_TYPE_SOFTWARE_LOOPBACK, kUp, 0, false, "Software Loopback Interface 1"},
      {2, IF_TYPE_ETHERNET_CSMACD, kUp, 0, false, "\xCD\xF8\xBF\xA8\xD2\xBB"},
      {3, IF_TYPE_ETHERNET_CSMACD, kUp, 0, false,
       "\xF1"
       "et0"},
  };
}

std::vector<Row> Rows() {
  char which[32] = {};
  const DWORD n = GetEnvironmentVariableA("ORV_STAND_IN_TABLE", which, sizeof which);
  if (n > 0 && n < sizeof which && std::strcmp(which, "codepages") == 0) return CodePageRows();
  return Windows10Rows();
}

// The Wi-Fi adapter's traffic since the last read at least kStepGapMs ago.
void Step() {
  const ULONGLONG now = GetTickCount64();
  if (g_lastStep != 0 && now - g_lastStep < kStepGapMs) return;
  g_lastStep = now;
  if (g_steps >= kSteps) return;
  ++g_steps;
  g_adapters[1].in += kStepBytesIn;
  g_adapters[1].out += kStepBytesOut;
}

void FillRow(const Row& r, MIB_IFROW& row) {
  std::memset(&row, 0, sizeof row);
  const std::wstring name =
      L"\\DEVICE\\TCPIP_{4D36E972-E325-11CE-BFC1-08002BE103" + std::to_wstring(10 + r.index) + L"}";
  wcsncpy(row.wszName, name.c_str(), MAX_INTERFACE_NAME_LEN - 1);
  row.dwIndex = r.index;
  row.dwType = r.type;
  row.dwMtu = r.type == IF_TYPE_SOFTWARE_LOOPBACK ? 4294967295u : 1500;
  row.dwSpeed = r.type == IF_TYPE_SOFTWARE_LOOPBACK ? 1073741824 : r.oper == kUp ? 866700000 : 0;
  row.dwAdminStatus = 1;
  row.dwOperStatus = r.oper;
  if (r.adapter != 0) {
    const Adapter& a = g_adapters[r.adapter];
    row.dwPhysAddrLen = 6;
    std::memcpy(row.bPhysAddr, a.address, 6);
    row.dwInOctets = a.in;
    row.dwOutOctets = a.out;
  }
  // The length counts the terminating zero, as the system's tables do.
  const std::size_t length = r.description.size() + 1;
  std::memcpy(row.bDescr, r.description.c_str(), length);
  row.dwDescrLen = static_cast<DWORD>(length);
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI GetIfTable(PMIB_IFTABLE table, PULONG size, BOOL) {
  if (size == nullptr) return ERROR_INVALID_PARAMETER;
  const std::vector<Row> rows = Rows();
  const ULONG needed = static_cast<ULONG>(sizeof(DWORD) + rows.size() * sizeof(MIB_IFROW));
  if (table == nullptr || *size < needed) {
    *size = needed;
    return ERROR_INSUFFICIENT_BUFFER;
  }
  Step();
  table->dwNumEntries = static_cast<DWORD>(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) FillRow(rows[i], table->table[i]);
  return NO_ERROR;
}

__declspec(dllexport) DWORD WINAPI GetIfTable2(PMIB_IF_TABLE2* table) {
  if (table == nullptr) return ERROR_INVALID_PARAMETER;
  const std::vector<Row> rows = Rows();
  const std::size_t bytes = offsetof(MIB_IF_TABLE2, Table) + rows.size() * sizeof(MIB_IF_ROW2);
  auto* t = static_cast<PMIB_IF_TABLE2>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  if (t == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  t->NumEntries = static_cast<ULONG>(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    MIB_IF_ROW2& row = t->Table[i];
    row.InterfaceIndex = rows[i].index;
    row.Type = rows[i].type;
    row.InterfaceAndOperStatusFlags.HardwareInterface = rows[i].adapter != 0 && !rows[i].filter;
    row.InterfaceAndOperStatusFlags.FilterInterface = rows[i].filter;
  }
  *table = t;
  return NO_ERROR;
}

__declspec(dllexport) VOID WINAPI FreeMibTable(PVOID memory) {
  if (memory != nullptr) HeapFree(GetProcessHeap(), 0, memory);
}

}  // extern "C"
