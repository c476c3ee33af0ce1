#include "stats/cip_helper.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "iftable/le_fields.h"
#include "platform/checked.h"
#include "platform/error.h"
#include "platform/utf8.h"

namespace orv {
namespace {

// A real table is a few hundred KiB at most (1000 interfaces are 860 KB);
// a size far beyond that is a broken source, and allocating what it asks
// for would only trade a wrong table for an out-of-memory abort.
constexpr std::uint32_t kMaxTableSize = 64u * 1024u * 1024u;

using namespace if_row;

using Bytes = std::span<const std::uint8_t>;

// The name's length first, so the text is made in one allocation.
std::u16string ReadName(Bytes row) {
  std::size_t units = 0;
  while (units < kNameUnits && le::U16(row, kName + 2 * units) != u'\0') ++units;
  std::u16string name(units, u'\0');
  for (std::size_t unit = 0; unit < units; ++unit) name[unit] = le::U16(row, kName + 2 * unit);
  return name;
}

std::u16string ReadAddress(Bytes row, std::int32_t length) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  const std::size_t count = std::min(static_cast<std::size_t>(length), kPhysAddrBytes);
  std::u16string address;
  address.reserve(3 * count);
  for (std::size_t j = 0; j < count; ++j) {
    if (j > 0) address.push_back(u'-');
    const std::uint8_t b = row[kPhysAddr + j];
    address.push_back(kHex[b >> 4]);
    address.push_back(kHex[b & 0x0F]);
  }
  return address;
}

// The row holds the text in the system's ANSI code page, which the
// decoder given knows.
std::u16string ReadDescription(Bytes row, const DecodeDescriptionFn& decode) {
  const std::int32_t length = le::I32(row, kDescrLen);
  const std::size_t count =
      length <= 0 ? 0 : std::min(static_cast<std::size_t>(length), kDescrBytes);
  return decode(row.subspan(kDescr, count));
}

// The row carries no wall-clock time, only the system's up-time in
// hundredths of a second at the last status change. Turning that into a
// calendar date would need the boot time, read at a different moment from
// the table and so never quite the same instant. The record keeps the
// up-time itself as a day count instead: exact, cheap, and reversible
// (multiply by 8,640,000). The field is a tick count, so it is taken as
// unsigned: after 248 days of up-time it must not turn negative.
double ReadLastChange(Bytes row) {
  return static_cast<double>(le::U32(row, kLastChange)) / 100.0 / 86400.0;
}

std::shared_ptr<CInterface> ReadRow(Bytes row, const DecodeDescriptionFn& decode) {
  auto record = std::make_shared<CInterface>();
  record->InterfaceDescription(ReadDescription(row, decode));
  const std::int32_t physAddrLen = le::I32(row, kPhysAddrLen);
  if (physAddrLen > 0) record->AdapterAddress(ReadAddress(row, physAddrLen));
  record->OutputQueueLength(le::I32(row, kOutQLen));
  record->OutgoingErrors(le::I32(row, kOutErrors));
  record->DiscardedOutgoingPackets(le::I32(row, kOutDiscards));
  record->NonunicastPacketsSent(le::I32(row, kOutNUcastPkts));
  record->UnicastPacketsSent(le::I32(row, kOutUcastPkts));
  record->OctetsSent(le::I32(row, kOutOctets));
  record->UnknownProtocolPackets(le::I32(row, kInUnknownProtos));
  record->IncomingErrors(le::I32(row, kInErrors));
  record->DiscardedIncomingPackets(le::I32(row, kInDiscards));
  record->NonunicastPacketsReceived(le::I32(row, kInNUcastPkts));
  record->MaximumTransmissionUnit(le::I32(row, kMtu));
  record->UnicastPacketsReceived(le::I32(row, kInUcastPkts));
  record->OctetsReceived(le::I32(row, kInOctets));
  record->LastChange(ReadLastChange(row));
  record->OperationalStatus(le::I32(row, kOperStatus));
  record->AdminStatus(le::I32(row, kAdminStatus));
  record->Speed(le::I32(row, kSpeed));
  record->InterfaceType(le::I32(row, kType));
  record->InterfaceIndex(le::I32(row, kIndex));
  record->InterfaceName(ReadName(row));
  return record;
}

}  // namespace

CIpHelper::CIpHelper(GetIfTableFn getIfTable, DecodeDescriptionFn decodeDescription)
    : m_getIfTable(std::move(getIfTable)), m_decodeDescription(std::move(decodeDescription)) {
  if (!m_decodeDescription) {
    m_decodeDescription = [](Bytes bytes) { return DecodeUtf8(bytes); };
  }
}

std::shared_ptr<CInterfaces> CIpHelper::Interfaces() {
  m_interfaces.reset();
  m_interfaces = std::make_shared<CInterfaces>();
  LoadInterfaceTable();
  return m_interfaces;
}

void CIpHelper::Interfaces(std::shared_ptr<CInterfaces> vData) { m_interfaces = std::move(vData); }

double CIpHelper::BytesReceived() const { return static_cast<double>(m_bytesReceived); }

double CIpHelper::BytesSent() const { return static_cast<double>(m_bytesSent); }

void CIpHelper::LoadInterfaceTable() {
  std::uint32_t size = 0;
  m_bytesReceived = 0;
  m_bytesSent = 0;

  // No table call at all, or one that fails outright, is a system without
  // the service.
  if (!m_getIfTable) return;
  std::uint32_t status = kStatusNotSupported;
  if (!Attempt([&] { status = m_getIfTable(nullptr, &size, 0); })) return;
  // Only "not supported" ends the load here: the usual answer to a size
  // query is "buffer too small", and some sources answer 0.
  if (status == kStatusNotSupported) return;
  if (size > kMaxTableSize) return;

  std::vector<std::uint8_t> buffer(size, 0);
  if (!Attempt([&] { status = m_getIfTable(buffer.data(), &size, 0); })) return;
  if (status != kStatusSuccess) return;

  // The source may report fewer bytes than the buffer it was given, never
  // more that we could read: rows are taken only where both agree.
  const Bytes table(buffer.data(), std::min<std::size_t>(size, buffer.size()));
  if (table.size() < kIfTableHeaderSize) return;
  const std::int32_t claimed = le::I32(table, 0);
  if (claimed <= 0) return;
  const std::size_t rowsInBuffer = (table.size() - kIfTableHeaderSize) / kIfRowSize;
  const std::size_t rows = std::min(static_cast<std::size_t>(claimed), rowsInBuffer);

  for (std::size_t i = 0; i < rows; ++i) {
    const Bytes row = table.subspan(kIfTableHeaderSize + i * kIfRowSize, kIfRowSize);
    std::shared_ptr<CInterface> objInterface = ReadRow(row, m_decodeDescription);
    // Modulo 2^32, like the counters themselves: a saturating or skipping
    // sum would jump by gigabytes whenever one counter crosses 2^31, while
    // the modular difference of two such totals is the true byte count.
    m_bytesReceived = checked::WrappingAdd32(m_bytesReceived, objInterface->OctetsReceived());
    m_bytesSent = checked::WrappingAdd32(m_bytesSent, objInterface->OctetsSent());
    m_interfaces->Add(objInterface);
  }
}

}  // namespace orv
