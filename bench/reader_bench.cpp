// A full load of the interface table by the reader: both table calls, the
// row decoding and the new collection, on synthetic tables served from a
// prebuilt buffer, so the figures are the reader's own cost. The per-row
// counter shows whether that cost stays linear in the number of rows.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "iftable/if_table.h"
#include "stats/cip_helper.h"

namespace {

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Rows like a host with many virtual links: an 8-to-10-character name, a
// six-byte address, a description of about twenty bytes and counters that
// differ from row to row.
std::vector<std::uint8_t> SyntheticTable(std::uint32_t rows) {
  std::vector<std::uint8_t> table(orv::kIfTableHeaderSize + rows * orv::kIfRowSize, 0);
  Put32(table, 0, rows);
  for (std::uint32_t i = 0; i < rows; ++i) {
    const std::size_t row = orv::kIfTableHeaderSize + static_cast<std::size_t>(i) * orv::kIfRowSize;
    const std::string name = "veth" + std::to_string(100000 + i);
    for (std::size_t u = 0; u < name.size(); ++u)
      table[row + 2 * u] = static_cast<std::uint8_t>(name[u]);
    Put32(table, row + orv::if_row::kIndex, i + 1);      // index
    Put32(table, row + orv::if_row::kType, 6);           // Ethernet
    Put32(table, row + orv::if_row::kMtu, 1500);         // MTU
    Put32(table, row + orv::if_row::kSpeed, 10000000u);  // speed
    Put32(table, row + orv::if_row::kPhysAddrLen, 6);    // address length
    for (std::size_t j = 0; j < 6; ++j)
      table[row + orv::if_row::kPhysAddr + j] = static_cast<std::uint8_t>(0x02 + i * 7 + j);
    Put32(table, row + orv::if_row::kAdminStatus, 1);           // admin up
    Put32(table, row + orv::if_row::kOperStatus, 5);            // operational
    Put32(table, row + orv::if_row::kLastChange, 360000u + i);  // last change
    for (std::size_t f = orv::if_row::kInOctets; f < orv::if_row::kDescrLen; f += 4)
      Put32(table, row + f, 0x10000u * i + static_cast<std::uint32_t>(f));
    const std::string descr = "Virtual Ethernet " + std::to_string(i);
    Put32(table, row + orv::if_row::kDescrLen, static_cast<std::uint32_t>(descr.size()));
    std::memcpy(&table[row + orv::if_row::kDescr], descr.data(), descr.size());
  }
  return table;
}

// The table call of the contract over a fixed buffer: the size query
// answers "buffer too small" with the size, the data call copies.
orv::GetIfTableFn ServeTable(std::shared_ptr<const std::vector<std::uint8_t>> table) {
  return [table](std::uint8_t* out, std::uint32_t* size, std::int32_t) -> std::uint32_t {
    const auto needed = static_cast<std::uint32_t>(table->size());
    if (out == nullptr || *size < needed) {
      *size = needed;
      return orv::kStatusInsufficientBuffer;
    }
    std::memcpy(out, table->data(), needed);
    return orv::kStatusSuccess;
  };
}

void BM_ReaderLoad(benchmark::State& state) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  orv::CIpHelper reader(
      ServeTable(std::make_shared<const std::vector<std::uint8_t>>(SyntheticTable(rows))));
  for (auto _ : state) {
    std::shared_ptr<orv::CInterfaces> records = reader.Interfaces();
    benchmark::DoNotOptimize(records.get());
    if (records->Count() != static_cast<std::int32_t>(rows)) {
      state.SkipWithError("the reader lost rows");
      break;
    }
  }
  benchmark::DoNotOptimize(reader.BytesReceived());
  state.counters["rows"] = rows;
  // Seconds per row (shown as ns/us): flat across sizes means linear.
  state.counters["per_row"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReaderLoad)->Arg(3)->Arg(100)->Arg(1000)->Arg(4096)->Unit(benchmark::kMicrosecond);

}  // namespace
