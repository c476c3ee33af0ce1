#pragma once

// A stand-in for the interface-table reader whose tables the test sets:
// descriptions and the two byte totals, or a table that cannot be read.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "stats/cinterfaces.h"
#include "stats/interface_reader.h"

namespace orv::test {

struct Table {
  std::vector<std::u16string> descriptions;
  // The kernel's counters are unsigned and wrap at 2^32.
  std::uint32_t received = 0;
  std::uint32_t sent = 0;
  // Interfaces() throws Error, as a reader that failed outright would.
  bool throws = false;
};

inline Table Interfaces(std::size_t n, std::uint32_t received = 0, std::uint32_t sent = 0) {
  Table t;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string digits = std::to_string(i);
    t.descriptions.push_back(u"if" + std::u16string(digits.begin(), digits.end()));
  }
  t.received = received;
  t.sent = sent;
  return t;
}

// The table a reader gives when the system table cannot be had.
inline Table Unreadable() { return Table{}; }

class ScriptedReader : public InterfaceReader {
 public:
  // Every following read gives this table.
  void Set(Table table) {
    m_queue.clear();
    m_current = std::move(table);
  }
  // The next reads give these tables, one each, then the last one stays.
  void Then(Table table) { m_queue.push_back(std::move(table)); }

  std::shared_ptr<CInterfaces> Interfaces() override {
    ++reads;
    if (!m_queue.empty()) {
      m_current = std::move(m_queue.front());
      m_queue.pop_front();
    }
    m_received = 0;
    m_sent = 0;
    if (m_current.throws) throw Error(ErrorCode::NotFound, "scripted table failure");
    auto collection = std::make_shared<CInterfaces>();
    for (const auto& d : m_current.descriptions) {
      auto record = std::make_shared<CInterface>();
      record->InterfaceDescription(d);
      collection->Add(record);
    }
    m_received = static_cast<std::int32_t>(m_current.received);
    m_sent = static_cast<std::int32_t>(m_current.sent);
    return collection;
  }
  double BytesReceived() const override { return m_received; }
  double BytesSent() const override { return m_sent; }

  int reads = 0;

 private:
  Table m_current;
  std::deque<Table> m_queue;
  std::int32_t m_received = 0;
  std::int32_t m_sent = 0;
};

}  // namespace orv::test
