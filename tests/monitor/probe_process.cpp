#include "tests/monitor/probe_process.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace orv::test {

std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::optional<Tick> TickParser::Line(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (line.rfind("tick ", 0) == 0) {
    m_partial = Tick{};
    m_partial.number = std::stol(line.substr(5));
    m_inTick = true;
    return std::nullopt;
  }
  if (!m_inTick) return std::nullopt;
  if (line == "end") {
    m_inTick = false;
    return m_partial;
  }
  const std::size_t tab = line.find('\t');
  if (tab == std::string::npos) return std::nullopt;
  const std::string key = line.substr(0, tab);
  const std::string value = line.substr(tab + 1);
  if (key == "entry") {
    m_partial.entries.push_back(value);
  } else if (key == "index") {
    m_partial.index = std::stoi(value);
  } else if (key == "time") {
    m_partial.end = std::stoll(value);
  } else {
    m_partial.labels[key] = value;
  }
  return std::nullopt;
}

::testing::AssertionResult StartProbe(QProcess& probe, const QTemporaryDir& config,
                                      const std::string& ns) {
  if (!config.isValid()) return ::testing::AssertionFailure() << "no settings directory";
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("LC_ALL", "C");
  env.insert("HOME", config.path());
  env.insert("XDG_CONFIG_HOME", config.path());
  probe.setProcessEnvironment(env);
  probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  probe.start("ip", {"netns", "exec", QString::fromStdString(ns), ORV_TICKS_PATH});
  if (!probe.waitForStarted(10000)) {
    return ::testing::AssertionFailure()
           << "the probe did not start: " << probe.errorString().toStdString();
  }
  return ::testing::AssertionSuccess();
}

bool ProbeTicks::TakeLines() {
  bool completed = false;
  while (m_probe.canReadLine()) {
    if (auto tick = m_parser.Line(m_probe.readLine().toStdString())) {
      ticks.push_back(*tick);
      completed = true;
    }
  }
  return completed;
}

bool ProbeTicks::ReadTick(int timeoutMs) {
  const std::size_t before = ticks.size();
  const std::int64_t deadline = NowNs() + std::int64_t{timeoutMs} * 1000000;
  for (;;) {
    // One tick a call: lines of the next stay for the next call.
    while (ticks.size() == before && m_probe.canReadLine()) {
      if (auto tick = m_parser.Line(m_probe.readLine().toStdString())) ticks.push_back(*tick);
    }
    if (ticks.size() > before) return true;
    const std::int64_t left = (deadline - NowNs()) / 1000000;
    if (left <= 0 || m_probe.state() == QProcess::NotRunning) return false;
    m_probe.waitForReadyRead(static_cast<int>(std::min<std::int64_t>(left, 100)));
  }
}

void ProbeTicks::ReadUntil(std::int64_t deadline) {
  for (;;) {
    TakeLines();
    const std::int64_t left = (deadline - NowNs()) / 1000000;
    if (left <= 0 || m_probe.state() == QProcess::NotRunning) return;
    m_probe.waitForReadyRead(static_cast<int>(std::min<std::int64_t>(left, 50)));
  }
}

std::optional<std::size_t> ProbeTicks::TickAfter(std::int64_t after, int timeoutMs) {
  const std::int64_t deadline = NowNs() + std::int64_t{timeoutMs} * 1000000;
  for (;;) {
    if (ticks.size() >= 2 && ticks[ticks.size() - 2].end > after) return ticks.size() - 1;
    const std::int64_t left = (deadline - NowNs()) / 1000000;
    if (left <= 0 || !ReadTick(static_cast<int>(left))) return std::nullopt;
  }
}

}  // namespace orv::test
