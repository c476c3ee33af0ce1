#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace orv {

// Ordered collection whose positions count from 1. Entries may carry a
// text key; a position or key with no entry fails with OutOfRange.
template <class T>
class Collection {
 public:
  using value_type = T;

  void Add(T value, std::optional<std::string> key = std::nullopt) {
    if (key && Find(*key) != m_entries.end()) {
      throw Error(ErrorCode::InvalidCall, "key is already associated with an element");
    }
    m_entries.push_back({std::move(key), std::move(value)});
  }

  std::int32_t Count() const noexcept { return static_cast<std::int32_t>(m_entries.size()); }

  const T& Item(std::int32_t position) const { return m_entries[Index(position)].value; }
  T& Item(std::int32_t position) { return m_entries[Index(position)].value; }
  const T& Item(const std::string& key) const { return FindOrThrow(key)->value; }

  void Remove(std::int32_t position) { m_entries.erase(m_entries.begin() + Index(position)); }
  void Remove(const std::string& key) { m_entries.erase(FindOrThrow(key)); }

  // Position order, for iteration over the whole collection.
  auto begin() const { return ValueIterator{m_entries.begin()}; }
  auto end() const { return ValueIterator{m_entries.end()}; }

 private:
  struct Entry {
    std::optional<std::string> key;
    T value;
  };
  using Entries = std::vector<Entry>;

  struct ValueIterator {
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = const T&;
    typename Entries::const_iterator it;
    const T& operator*() const { return it->value; }
    ValueIterator& operator++() {
      ++it;
      return *this;
    }
    bool operator==(const ValueIterator&) const = default;
  };

  std::size_t Index(std::int32_t position) const {
    if (position < 1 || position > Count()) {
      throw Error(ErrorCode::OutOfRange, "subscript out of range");
    }
    return static_cast<std::size_t>(position - 1);
  }
  typename Entries::const_iterator Find(const std::string& key) const {
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const Entry& e) { return e.key && *e.key == key; });
  }
  typename Entries::const_iterator FindOrThrow(const std::string& key) const {
    auto it = Find(key);
    if (it == m_entries.end()) throw Error(ErrorCode::OutOfRange, "no entry with key " + key);
    return it;
  }

  Entries m_entries;
};

}  // namespace orv
