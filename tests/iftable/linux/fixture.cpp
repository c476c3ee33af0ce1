#include "tests/iftable/linux/fixture.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Path(const std::string& name) { return std::string(ORV_FIXTURE_DIR) + "/" + name; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

NetlinkFixture LoadNetlinkFixture(const std::string& name) {
  std::ifstream in(Path(name));
  if (!in) throw std::runtime_error("no fixture " + name);
  NetlinkFixture f;
  std::string line;
  std::size_t expected = 0;
  bool haveSeq = false;
  bool havePort = false;
  const auto finish = [&] {
    if (!f.datagrams.empty() && f.datagrams.back().size() != expected) {
      throw std::runtime_error("datagram of the wrong length in " + name);
    }
  };
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "seq") {
      words >> f.seq;
      haveSeq = true;
    } else if (key == "port") {
      words >> f.port;
      havePort = true;
    } else if (key == "datagram") {
      finish();
      words >> expected;
      f.datagrams.emplace_back();
    } else {
      if (f.datagrams.empty() || line.size() % 2 != 0)
        throw std::runtime_error("bad hex in " + name);
      for (std::size_t i = 0; i < line.size(); i += 2) {
        const int hi = HexDigit(line[i]);
        const int lo = HexDigit(line[i + 1]);
        if (hi < 0 || lo < 0) throw std::runtime_error("bad hex in " + name);
        f.datagrams.back().push_back(static_cast<std::uint8_t>(hi << 4 | lo));
      }
    }
  }
  finish();
  if (!haveSeq || !havePort || f.datagrams.empty()) throw std::runtime_error("incomplete " + name);
  return f;
}

std::string LoadTextFixture(const std::string& name) {
  std::ifstream in(Path(name), std::ios::binary);
  if (!in) throw std::runtime_error("no fixture " + name);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
