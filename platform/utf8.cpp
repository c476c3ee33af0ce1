#include "platform/utf8.h"

#include <cstddef>

namespace orv {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

struct LeadInfo {
  int continuation_bytes;   // -1: not a lead byte
  std::uint8_t second_min;  // the second byte's range narrows to exclude
  std::uint8_t second_max;  // overlong forms, surrogates and > U+10FFFF
};

LeadInfo Lead(std::uint8_t b) {
  if (b >= 0xC2 && b <= 0xDF) return {1, 0x80, 0xBF};
  if (b == 0xE0) return {2, 0xA0, 0xBF};
  if (b == 0xED) return {2, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {2, 0x80, 0xBF};
  if (b == 0xF0) return {3, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {3, 0x80, 0xBF};
  if (b == 0xF4) return {3, 0x80, 0x8F};
  return {-1, 0, 0};
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

}  // namespace

std::u16string DecodeUtf8(std::span<const std::uint8_t> bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::uint8_t b = bytes[i];
    if (b < 0x80) {
      out.push_back(static_cast<char16_t>(b));
      ++i;
      continue;
    }
    const LeadInfo lead = Lead(b);
    if (lead.continuation_bytes < 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t cp = b & (0x3F >> lead.continuation_bytes);
    std::size_t j = i + 1;
    bool complete = true;
    for (int k = 0; k < lead.continuation_bytes; ++k, ++j) {
      const std::uint8_t lo = k == 0 ? lead.second_min : 0x80;
      const std::uint8_t hi = k == 0 ? lead.second_max : 0xBF;
      if (j >= bytes.size() || bytes[j] < lo || bytes[j] > hi) {
        complete = false;
        break;
      }
      cp = cp << 6 | (bytes[j] & 0x3F);
    }
    if (complete) {
      AppendCodePoint(out, cp);
    } else {
      // The byte that broke the sequence starts over as a lead byte.
      out.push_back(kReplacement);
    }
    i = j;
  }
  return out;
}

std::u16string DecodeUtf8(std::string_view text) {
  return DecodeUtf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace orv
