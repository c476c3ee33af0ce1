#include "stats/cinterfaces.h"

#include <utility>

namespace orv {

CInterfaces::Record CInterfaces::Add(Record& objInterface) {
  // Copied in, then released: if the append throws, the caller still
  // holds the record.
  m_items.Add(objInterface);
  return std::exchange(objInterface, nullptr);
}

CInterfaces::Record CInterfaces::Item(std::int32_t vntIndexKey) const {
  return m_items.Item(vntIndexKey);
}

CInterfaces::Record CInterfaces::Item(const std::string& vntIndexKey) const {
  return m_items.Item(vntIndexKey);
}

std::int32_t CInterfaces::Count() const noexcept { return m_items.Count(); }

void CInterfaces::Remove(std::int32_t vntIndexKey) { m_items.Remove(vntIndexKey); }

void CInterfaces::Remove(const std::string& vntIndexKey) { m_items.Remove(vntIndexKey); }

}  // namespace orv
