#pragma once

// Shared pieces of the fuzz harnesses: a cursor over the input bytes and
// the check that turns a broken property into a crash libFuzzer records.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

namespace orv::fuzz {

using Bytes = std::span<const std::uint8_t>;

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "fuzz property broken at %s:%d: %s\n", file, line, what);
  std::abort();
}

// Takes fields off the front of the input. Reads past the end give zeros,
// so that every input, however short, is a valid run.
class Cursor {
 public:
  explicit Cursor(Bytes bytes) : m_bytes(bytes) {}

  std::uint8_t U8() {
    if (m_bytes.empty()) return 0;
    const std::uint8_t b = m_bytes[0];
    m_bytes = m_bytes.subspan(1);
    return b;
  }
  std::uint16_t U16() {
    const std::uint16_t lo = U8();
    return static_cast<std::uint16_t>(lo | U8() << 8);
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    return lo | static_cast<std::uint32_t>(U16()) << 16;
  }
  // At most n bytes.
  Bytes Take(std::size_t n) {
    if (n > m_bytes.size()) n = m_bytes.size();
    const Bytes out = m_bytes.first(n);
    m_bytes = m_bytes.subspan(n);
    return out;
  }
  Bytes Rest() { return Take(m_bytes.size()); }
  bool empty() const { return m_bytes.empty(); }

 private:
  Bytes m_bytes;
};

// Input bytes as UTF-16 text. A first byte of 0x01 makes the rest little-
// endian code unit pairs (any unit, lone surrogates included); otherwise
// every byte is one unit, so plain ASCII seeds read as themselves.
inline std::u16string TextFrom(Bytes bytes) {
  std::u16string text;
  if (!bytes.empty() && bytes[0] == 0x01) {
    for (std::size_t i = 1; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    }
  } else {
    for (std::uint8_t b : bytes) text.push_back(static_cast<char16_t>(b));
  }
  return text;
}

}  // namespace orv::fuzz

#define ORV_FUZZ_CHECK(cond) \
  ((cond) ? static_cast<void>(0) : ::orv::fuzz::Fail(#cond, __FILE__, __LINE__))
