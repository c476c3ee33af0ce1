#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A recorded netlink reply (see scripts/capture-netlink-fixtures).
struct NetlinkFixture {
  std::uint32_t seq = 0;
  std::uint32_t port = 0;
  std::vector<std::vector<std::uint8_t>> datagrams;
};

// Loads fixtures/<name>; a file that does not load throws, so a test can
// never pass on an empty fixture.
NetlinkFixture LoadNetlinkFixture(const std::string& name);
std::string LoadTextFixture(const std::string& name);
