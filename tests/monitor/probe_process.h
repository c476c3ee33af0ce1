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

// Starts the probe inside `ns`. Its settings store is `config`, so no
// position stored by an earlier run is read and entry 0 is chosen.
::testing::AssertionResult StartProbe(QProcess& probe, const QTemporaryDir& config,
                                      const std::string& ns);

}  // namespace orv::test
