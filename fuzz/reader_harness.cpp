#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/harnesses.h"
#include "iftable/if_table.h"
#include "iftable/le_fields.h"
#include "platform/error.h"
#include "stats/cip_helper.h"

namespace orv::fuzz {
namespace {

constexpr std::uint32_t kStatuses[] = {kStatusSuccess, kStatusInsufficientBuffer,
                                       kStatusNotSupported, 87};

// What one of the two table calls does, as the input chooses it.
struct CallPlan {
  std::uint32_t status = kStatusSuccess;
  bool throws = false;
  int sizeMode = 0;  // what is stored in *size; see SizeFor
  std::uint32_t raw = 0;
};

CallPlan PlanFrom(std::uint8_t mode, std::uint32_t raw) {
  CallPlan plan;
  plan.status = kStatuses[mode & 3];
  plan.throws = (mode & 4) != 0;
  plan.sizeMode = (mode >> 3) & 3;
  plan.raw = raw;
  return plan;
}

// 0: the table's own length, 1: that plus the delta, 2: a raw value,
// 3: left as it was.
std::uint32_t SizeFor(const CallPlan& plan, std::uint32_t tableLength, std::int16_t delta,
                      std::uint32_t current) {
  switch (plan.sizeMode) {
    case 0:
      return tableLength;
    case 1:
      return tableLength + static_cast<std::uint32_t>(static_cast<std::int32_t>(delta));
    // Sizes with the top bit set stay as they are (far past any real
    // table); the rest are kept under 64 KiB, as a buffer of a MiB or more
    // per run would leave the fuzzer zeroing memory instead of exploring.
    case 2:
      return (plan.raw & 0x80000000u) != 0 ? plan.raw : plan.raw & 0xFFFFu;
    default:
      return current;
  }
}

}  // namespace

ReaderOutcome RunReader(Bytes input) {
  Cursor in(input);
  const std::uint8_t sizeMode = in.U8();
  const std::uint8_t dataMode = in.U8();
  const auto delta = static_cast<std::int16_t>(in.U16());
  const CallPlan sizeCall = PlanFrom(sizeMode, in.U32());
  const CallPlan dataCall = PlanFrom(dataMode, in.U32());
  const Bytes table = in.Rest();
  const auto tableLength = static_cast<std::uint32_t>(table.size());

  int calls = 0;
  std::uint32_t bufferSize = 0;       // what the reader said its buffer holds
  std::uint32_t reportedSize = 0;     // what the data call stored back
  std::vector<std::uint8_t> written;  // the bytes the data call wrote
  GetIfTableFn fake = [&](std::uint8_t* out, std::uint32_t* size, std::int32_t) -> std::uint32_t {
    ++calls;
    ORV_FUZZ_CHECK(size != nullptr);
    ORV_FUZZ_CHECK(calls <= 2);
    if (calls == 1) {
      ORV_FUZZ_CHECK(out == nullptr);
      if (sizeCall.throws) throw Error(ErrorCode::NotFound, "no table call");
      *size = SizeFor(sizeCall, tableLength, delta, *size);
      return sizeCall.status;
    }
    // An empty buffer may come as a null pointer, never a larger one.
    ORV_FUZZ_CHECK(out != nullptr || *size == 0);
    if (dataCall.throws) throw Error(ErrorCode::NotFound, "no table call");
    bufferSize = *size;
    // The contract lets the call fill all *size bytes; doing so lets the
    // address checker see a buffer smaller than the reader claimed.
    written.assign(bufferSize, 0xA5);
    std::copy_n(table.begin(), std::min<std::size_t>(table.size(), bufferSize), written.begin());
    if (bufferSize > 0) std::memcpy(out, written.data(), bufferSize);
    *size = reportedSize = SizeFor(dataCall, tableLength, delta, *size);
    return dataCall.status;
  };

  CIpHelper reader(fake);
  ReaderOutcome outcome;
  std::shared_ptr<CInterfaces> records;
  try {
    records = reader.Interfaces();
  } catch (const Error&) {
    outcome.threw = true;
    return outcome;
  }
  ORV_FUZZ_CHECK(records != nullptr);
  outcome.records = records->Count();
  outcome.bytesReceived = reader.BytesReceived();
  outcome.bytesSent = reader.BytesSent();

  // Rows only from a data call that succeeded, and only where the buffer
  // and the reported size both hold them.
  std::size_t maxRows = 0;
  if (calls == 2 && !dataCall.throws && dataCall.status == kStatusSuccess) {
    const std::size_t usable = std::min(bufferSize, reportedSize);
    if (usable >= kIfTableHeaderSize) {
      const std::int32_t claimed = le::I32(written, 0);
      maxRows = claimed <= 0 ? 0
                             : std::min<std::size_t>(static_cast<std::size_t>(claimed),
                                                     (usable - kIfTableHeaderSize) / kIfRowSize);
    }
  }
  ORV_FUZZ_CHECK(static_cast<std::size_t>(outcome.records) == maxRows);

  std::uint32_t received = 0;
  std::uint32_t sent = 0;
  std::int32_t position = 0;
  double sink = 0;
  for (const CInterfaces::Record& r : *records) {
    ++position;
    ORV_FUZZ_CHECK(r != nullptr);
    ORV_FUZZ_CHECK(records->Item(position) == r);
    const std::size_t row =
        kIfTableHeaderSize + static_cast<std::size_t>(position - 1) * kIfRowSize;
    ORV_FUZZ_CHECK(r->InterfaceIndex() == le::I32(written, row + if_row::kIndex));
    ORV_FUZZ_CHECK(r->InterfaceType() == le::I32(written, row + if_row::kType));
    ORV_FUZZ_CHECK(r->MaximumTransmissionUnit() == le::I32(written, row + if_row::kMtu));
    ORV_FUZZ_CHECK(r->OctetsReceived() == le::I32(written, row + if_row::kInOctets));
    ORV_FUZZ_CHECK(r->OctetsSent() == le::I32(written, row + if_row::kOutOctets));
    ORV_FUZZ_CHECK(r->OutputQueueLength() == le::I32(written, row + if_row::kOutQLen));
    // The name field is 256 units and ends at the first zero unit.
    const std::u16string name = r->InterfaceName();
    ORV_FUZZ_CHECK(name.size() <= 256);
    ORV_FUZZ_CHECK(name.find(u'\0') == std::u16string::npos);
    for (std::size_t u = 0; u < name.size(); ++u) {
      const auto unit = static_cast<char16_t>(written[row + 2 * u] | written[row + 2 * u + 1] << 8);
      ORV_FUZZ_CHECK(name[u] == unit);
    }
    if (name.size() < 256) {
      ORV_FUZZ_CHECK(written[row + 2 * name.size()] == 0 &&
                     written[row + 2 * name.size() + 1] == 0);
    }
    // 256 description bytes never decode to more than 256 units.
    ORV_FUZZ_CHECK(r->InterfaceDescription().size() <= 256);
    // "XX-XX-..." for at most eight address bytes.
    const std::size_t addr = r->AdapterAddress().size();
    ORV_FUZZ_CHECK(addr == 0 || (addr % 3 == 2 && addr <= 23));
    const double lastChange = r->LastChange();
    ORV_FUZZ_CHECK(std::isfinite(lastChange) && lastChange >= 0 &&
                   lastChange < 4294967296.0 / 8640000.0);
    for (const std::int32_t field :
         {r->OutgoingErrors(), r->DiscardedOutgoingPackets(), r->NonunicastPacketsSent(),
          r->UnicastPacketsSent(), r->UnknownProtocolPackets(), r->IncomingErrors(),
          r->DiscardedIncomingPackets(), r->NonunicastPacketsReceived(),
          r->UnicastPacketsReceived(), r->OperationalStatus(), r->AdminStatus(), r->Speed()}) {
      sink += field;
    }
    received += static_cast<std::uint32_t>(r->OctetsReceived());
    sent += static_cast<std::uint32_t>(r->OctetsSent());
  }
  ORV_FUZZ_CHECK(position == outcome.records);
  // Totals are the modulo-2^32 sums, read back as signed 32-bit values.
  ORV_FUZZ_CHECK(outcome.bytesReceived == static_cast<double>(static_cast<std::int32_t>(received)));
  ORV_FUZZ_CHECK(outcome.bytesSent == static_cast<double>(static_cast<std::int32_t>(sent)));
  ORV_FUZZ_CHECK(std::isfinite(sink));

  // Positions outside 1..Count are the collection's error, nothing worse.
  for (const std::int32_t outside : {0, outcome.records + 1, -1}) {
    bool refused = false;
    try {
      (void)records->Item(outside);
    } catch (const Error& e) {
      refused = e.code() == ErrorCode::OutOfRange;
    }
    ORV_FUZZ_CHECK(refused);
  }
  return outcome;
}

}  // namespace orv::fuzz
