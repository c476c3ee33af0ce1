#include "iftable/windows/one_table_per_read.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "iftable/le_fields.h"

namespace orv::windows_if {
namespace {

// The system's slim lock: std::mutex would link the library's error
// reporting (system_error) into the program for a lock that never fails.
class Exclusive {
 public:
  explicit Exclusive(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
  ~Exclusive() { ReleaseSRWLockExclusive(&m_lock); }
  Exclusive(const Exclusive&) = delete;
  Exclusive& operator=(const Exclusive&) = delete;

 private:
  SRWLOCK& m_lock;
};

class KeptTable {
 public:
  KeptTable(GetIfTableFn call, TableEditFn edit)
      : m_call(std::move(call)), m_edit(std::move(edit)) {}

  std::uint32_t Call(std::uint8_t* table, std::uint32_t* size, std::int32_t order) {
    if (size == nullptr) return m_call(table, size, order);
    const Exclusive hold(m_lock);
    const bool kept = std::exchange(m_kept, false) && order == m_order;
    if (!kept || table == nullptr || *size < m_needed) {
      const std::uint32_t status = Fetch(order);
      if (status != kStatusSuccess) {
        // The system's own answer, for a caller of the system's size. A
        // table it gives now is edited as a kept one would be: left whole,
        // this one read would count every filter module again.
        const std::uint32_t answer = m_call(table, size, order);
        if (answer == kStatusSuccess) EditInPlace(table, *size);
        return answer;
      }
    }
    if (table == nullptr || *size < m_needed) {
      *size = m_needed;
      m_kept = true;
      return kStatusInsufficientBuffer;
    }
    std::memcpy(table, m_rows.data(), m_needed);
    return kStatusSuccess;
  }

 private:
  // The whole table into m_rows, growing it as the system asks; m_needed
  // is what the rows take, header included.
  std::uint32_t Fetch(std::int32_t order) {
    std::uint32_t status = kStatusInsufficientBuffer;
    for (int attempt = 0; attempt < 4 && status == kStatusInsufficientBuffer; ++attempt) {
      auto bytes = static_cast<std::uint32_t>(m_rows.size());
      status = m_call(m_rows.empty() ? nullptr : m_rows.data(), &bytes, order);
      if (status == kStatusInsufficientBuffer) {
        // A table that does not grow when asked to is not one to keep.
        if (bytes <= m_rows.size()) return kStatusInsufficientBuffer;
        m_rows.resize(bytes);
      }
    }
    if (status != kStatusSuccess || m_rows.size() < kIfTableHeaderSize) return status;
    const std::uint64_t needed =
        kIfTableHeaderSize + std::uint64_t{le::U32(m_rows, 0)} * kIfRowSize;
    // A count the buffer cannot hold: the system's answer is not a table.
    if (needed > m_rows.size()) return kStatusInsufficientBuffer;
    m_needed = static_cast<std::uint32_t>(needed);
    if (m_edit) m_needed = std::min(m_edit(std::span(m_rows.data(), m_needed)), m_needed);
    m_order = order;
    return kStatusSuccess;
  }

  // A table the system wrote straight into a caller's buffer of `size`
  // bytes: edited where its count fits the buffer, else left as the
  // system gave it, for the reader to refuse.
  void EditInPlace(std::uint8_t* table, std::uint32_t size) const {
    if (!m_edit || table == nullptr || size < kIfTableHeaderSize) return;
    const std::uint64_t rows =
        kIfTableHeaderSize + std::uint64_t{le::U32(std::span(table, size), 0)} * kIfRowSize;
    if (rows <= size) m_edit(std::span(table, static_cast<std::size_t>(rows)));
  }

  const GetIfTableFn m_call;
  const TableEditFn m_edit;
  SRWLOCK m_lock = SRWLOCK_INIT;
  std::vector<std::uint8_t> m_rows;
  std::uint32_t m_needed = 0;
  std::int32_t m_order = 0;
  bool m_kept = false;
};

}  // namespace

GetIfTableFn OneTablePerRead(GetIfTableFn call, TableEditFn edit) {
  auto kept = std::make_shared<KeptTable>(std::move(call), std::move(edit));
  return [kept](std::uint8_t* table, std::uint32_t* size, std::int32_t order) {
    return kept->Call(table, size, order);
  };
}

}  // namespace orv::windows_if
