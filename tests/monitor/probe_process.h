#pragma once

// What the live tests of the window share: the window probe run inside a
// network namespace the test made, and its output read back as ticks.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orv::test {

// Runs a command through the shell, for the few that need its globbing or
// whose output the test reads. Its standard output; empty when it could
// not run.
std::string Capture(const std::string& command);

// The clock the probe stamps its ticks with, in ns.
std::int64_t NowNs();

// One tick as the probe printed it.
struct Tick {
  long number = 0;
  std::int64_t end = 0;  // steady clock when the tick had finished, ns
  std::map<std::string, std::string> labels;
  std::vector<std::string> entries;
  int index = -2;
};

// The probe's output comes in pieces, so a tick is only taken once its
// "end" line has arrived; anything before the first "tick" line is
// ignored.
class TickParser {
 public:
  // The tick this line completes, if it does.
  std::optional<Tick> Line(std::string line);

 private:
  Tick m_partial;
  bool m_inTick = false;
};

// The probe's output read back, one tick at a time.
class ProbeTicks {
 public:
  explicit ProbeTicks(QProcess& probe) : m_probe(probe) {}

  // Reads until one more tick is complete and appends it to `ticks`;
  // false when none completes in time.
  bool ReadTick(int timeoutMs = 5000);
  // Takes in everything the probe writes until `deadline` (NowNs()).
  void ReadUntil(std::int64_t deadline);
  // Reads ticks until one ran wholly after `after` (the tick before it
  // ended later), so all its table reads came after that moment. Its
  // position in `ticks`.
  std::optional<std::size_t> TickAfter(std::int64_t after, int timeoutMs = 10000);

  std::vector<Tick> ticks;

 private:
  // Appends what complete lines have arrived; true when a tick completed.
  bool TakeLines();

  QProcess& m_probe;
  TickParser m_parser;
};

// Starts the probe inside `ns`. Its settings store is `config`, so no
// position stored by an earlier run is read and entry 0 is chosen.
::testing::AssertionResult StartProbe(QProcess& probe, const QTemporaryDir& config,
                                      const std::string& ns);

}  // namespace orv::test
