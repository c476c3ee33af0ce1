#pragma once

#include <cstdint>
#include <memory>

#include "iftable/if_table.h"
#include "stats/cinterfaces.h"
#include "stats/interface_reader.h"

namespace orv {

// Reads the interface table through the given table call into a new
// collection of records on every read of Interfaces, and totals the
// received and sent byte counters of all rows. Descriptions are decoded
// with decodeDescription, UTF-8 where none is given.
class CIpHelper : public InterfaceReader {
 public:
  explicit CIpHelper(GetIfTableFn getIfTable, DecodeDescriptionFn decodeDescription = {});

  std::shared_ptr<CInterfaces> Interfaces() override;
  void Interfaces(std::shared_ptr<CInterfaces> vData);
  double BytesReceived() const override;
  double BytesSent() const override;

 private:
  void LoadInterfaceTable();

  GetIfTableFn m_getIfTable;
  DecodeDescriptionFn m_decodeDescription;
  std::shared_ptr<CInterfaces> m_interfaces;
  std::int32_t m_bytesReceived = 0;
  std::int32_t m_bytesSent = 0;
};

}  // namespace orv
