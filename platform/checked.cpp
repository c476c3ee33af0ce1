#include "platform/checked.h"

#include <limits>
#include <string>

#include "platform/error.h"

namespace orv::checked {
namespace {

// The operands are widened to 64 bits, where every exact sum, difference
// and product fits; only the range check decides.
template <class Narrow>
Narrow Fit(std::int64_t exact, const char* op) {
  if (exact < std::numeric_limits<Narrow>::min() || exact > std::numeric_limits<Narrow>::max()) {
    throw Error(ErrorCode::Overflow,
                std::string("overflow in ") + op + ": " + std::to_string(exact));
  }
  return static_cast<Narrow>(exact);
}

}  // namespace

std::int16_t Add16(std::int16_t a, std::int16_t b) {
  return Fit<std::int16_t>(std::int64_t{a} + b, "16-bit add");
}
std::int16_t Sub16(std::int16_t a, std::int16_t b) {
  return Fit<std::int16_t>(std::int64_t{a} - b, "16-bit subtract");
}
std::int16_t Mul16(std::int16_t a, std::int16_t b) {
  return Fit<std::int16_t>(std::int64_t{a} * b, "16-bit multiply");
}
std::int16_t Inc16(std::int16_t a) {
  return Fit<std::int16_t>(std::int64_t{a} + 1, "16-bit increment");
}

// Signed overflow is undefined in C++, unsigned arithmetic wraps; the
// conversion back to int32_t is modular since C++20.
std::int32_t WrappingAdd32(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t WrappingSub32(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

}  // namespace orv::checked
