#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orv {

// Text in the system's ANSI code page, which is UTF-8 on every platform we
// build for, as UTF-16. Each maximal ill-formed part (a stray continuation
// byte, a sequence cut short, an overlong form, a surrogate, a value past
// U+10FFFF) becomes one U+FFFD, so a description cut at its 256-byte limit
// in the middle of a character still decodes everything before it. A zero
// byte is an ordinary character and does not end the text.
std::u16string DecodeAnsiText(std::span<const std::uint8_t> bytes);

}  // namespace orv
