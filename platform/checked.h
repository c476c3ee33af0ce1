#pragma once

#include <cstdint>

// Integer arithmetic of the two widths the program computes in. Checked
// 16-bit operations throw Error(Overflow) when the exact result does not
// fit; 32-bit operations wrap modulo 2^32, as the kernel's counters do.
namespace orv::checked {

std::int16_t Add16(std::int16_t a, std::int16_t b);
std::int16_t Sub16(std::int16_t a, std::int16_t b);
std::int16_t Mul16(std::int16_t a, std::int16_t b);
std::int16_t Inc16(std::int16_t a);

// Modulo 2^32, the result reinterpreted as signed.
std::int32_t WrappingAdd32(std::int32_t a, std::int32_t b) noexcept;
std::int32_t WrappingSub32(std::int32_t a, std::int32_t b) noexcept;

}  // namespace orv::checked
