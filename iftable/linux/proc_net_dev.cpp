#include "iftable/linux/proc_net_dev.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace orv::linux_if {

namespace {

// Receive: bytes packets errs drop fifo frame compressed multicast;
// transmit: bytes packets errs drop fifo colls carrier compressed.
constexpr std::size_t kColumns = 16;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool ParseLine(std::string_view line, LinkInfo& out) {
  // Interface names cannot hold ':', so the first one ends the name; the
  // kernel pads short names and runs long ones straight into the colon.
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view name = Trim(line.substr(0, colon));
  if (name.empty() || name.size() >= kNameUnits) return false;
  for (char c : name) {
    if (IsBlank(c)) return false;
  }
  std::array<std::uint64_t, kColumns> v{};
  std::string_view rest = line.substr(colon + 1);
  for (std::size_t i = 0; i < kColumns; ++i) {
    rest = Trim(rest);
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v[i]);
    if (ec != std::errc() || (end != rest.data() + rest.size() && !IsBlank(*end))) return false;
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
  }
  // Later kernels may add columns; what follows the 16 known ones is not ours.
  out = LinkInfo{};
  out.name = std::string(name);
  LinkStats s;
  s.rxBytes = v[0];
  s.rxPackets = v[1];
  s.rxErrors = v[2];
  s.rxDropped = v[3];
  s.multicast = v[7];
  s.txBytes = v[8];
  s.txPackets = v[9];
  s.txErrors = v[10];
  s.txDropped = v[11];
  out.stats = s;
  return true;
}

}  // namespace

std::optional<std::vector<LinkInfo>> ParseProcNetDev(std::string_view text) {
  std::vector<LinkInfo> links;
  std::size_t lineNo = 0;
  while (!text.empty()) {
    const auto nl = text.find('\n');
    const std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    ++lineNo;
    if (lineNo <= 2) {
      // The two header lines name the column groups with '|'.
      if (line.find('|') == std::string_view::npos) return std::nullopt;
      continue;
    }
    if (Trim(line).empty()) continue;
    LinkInfo link;
    if (!ParseLine(line, link)) return std::nullopt;
    links.push_back(std::move(link));
  }
  if (lineNo < 2) return std::nullopt;
  return links;
}

}  // namespace orv::linux_if
