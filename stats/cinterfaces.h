#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/collection.h"
#include "stats/cinterface.h"

namespace orv {

// The interface records of one table load, in table order, from 1.
// Failures of the inner collection (no such position or key) go to the
// caller unchanged.
class CInterfaces {
 public:
  using Record = std::shared_ptr<CInterface>;

  // Takes over the caller's reference: objInterface is empty afterwards.
  Record Add(Record& objInterface);
  Record Item(std::int32_t vntIndexKey) const;
  Record Item(const std::string& vntIndexKey) const;
  std::int32_t Count() const noexcept;
  void Remove(std::int32_t vntIndexKey);
  void Remove(const std::string& vntIndexKey);

  // Position order.
  auto begin() const { return m_items.begin(); }
  auto end() const { return m_items.end(); }

 private:
  Collection<Record> m_items;
};

}  // namespace orv
