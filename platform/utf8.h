#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orv {

// UTF-8 bytes as UTF-16. Each maximal ill-formed part (a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate,
// a value past U+10FFFF) becomes one U+FFFD, as Unicode and WHATWG decode
// it: E0 80 80 is three parts, since no valid sequence starts E0 80. A
// text cut in the middle of a character still decodes everything before
// it. A zero byte is an ordinary character and does not end the text.
std::u16string DecodeUtf8(std::span<const std::uint8_t> bytes);
std::u16string DecodeUtf8(std::string_view text);

}  // namespace orv
