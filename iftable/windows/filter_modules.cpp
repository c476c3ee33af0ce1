#include "iftable/windows/filter_modules.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "iftable/if_table.h"
#include "iftable/le_fields.h"

namespace orv::windows_if {
namespace {

class FilterModuleRows {
 public:
  explicit FilterModuleRows(FilterMarksFn marks) : m_marks(std::move(marks)) {}

  std::uint32_t LeaveOut(std::span<std::uint8_t> table) {
    const std::uint32_t count = le::U32(table, 0);
    UpdateMarks(SortedIndexes(table, count));
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint8_t* row = RowAt(table, i);
      if (std::binary_search(m_filters.begin(), m_filters.end(),
                             le::U32(RowSpan(row), if_row::kIndex))) {
        continue;
      }
      if (kept != i) std::memmove(RowAt(table, kept), row, kIfRowSize);
      ++kept;
    }
    le::PutU32(table, 0, kept);
    return kIfTableHeaderSize + kept * kIfRowSize;
  }

 private:
  static std::uint8_t* RowAt(std::span<std::uint8_t> table, std::uint32_t i) {
    return table.data() + kIfTableHeaderSize + std::size_t{i} * kIfRowSize;
  }
  static std::span<const std::uint8_t> RowSpan(const std::uint8_t* row) {
    return {row, kIfRowSize};
  }

  static std::vector<std::uint32_t> SortedIndexes(std::span<std::uint8_t> table,
                                                  std::uint32_t count) {
    std::vector<std::uint32_t> indexes;
    indexes.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      indexes.push_back(le::U32(RowSpan(RowAt(table, i)), if_row::kIndex));
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
  }

  void UpdateMarks(std::vector<std::uint32_t> indexes) {
    if (m_askedFor && *m_askedFor == indexes) return;
    std::optional<std::vector<std::uint32_t>> marks;
    if (m_marks) marks = m_marks();
    if (!marks) {
      m_filters.clear();
      m_askedFor.reset();
      return;
    }
    m_filters = std::move(*marks);
    std::sort(m_filters.begin(), m_filters.end());
    m_askedFor = std::move(indexes);
  }

  const FilterMarksFn m_marks;
  std::optional<std::vector<std::uint32_t>> m_askedFor;
  std::vector<std::uint32_t> m_filters;
};

}  // namespace

TableEditFn LeaveOutFilterModules(FilterMarksFn marks) {
  auto rows = std::make_shared<FilterModuleRows>(std::move(marks));
  return [rows](std::span<std::uint8_t> table) { return rows->LeaveOut(table); };
}

}  // namespace orv::windows_if
