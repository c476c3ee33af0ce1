#include "platform/exact_decimal.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace orv {
namespace {

// An unsigned integer of any size in base 10^9, least significant limb
// first. Only what the expansion needs: multiplying by a small factor and
// printing. The library's own exact conversion carries 170 kB of tables
// into a statically linked program; this is a few hundred bytes, and the
// labels' numbers need a few limbs at most.
class BigDecimal {
 public:
  explicit BigDecimal(std::uint64_t value) {
    do {
      m_limbs.push_back(static_cast<std::uint32_t>(value % kBase));
      value /= kBase;
    } while (value != 0);
  }

  // factor at most 2^31, so limb * factor + carry fits in 64 bits.
  void Multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : m_limbs) {
      const std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product % kBase);
      carry = product / kBase;
    }
    while (carry != 0) {
      m_limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
  }

  void MultiplyByPowerOf(std::uint32_t base, int chunkExponent, std::uint32_t chunk, int exponent) {
    for (; exponent >= chunkExponent; exponent -= chunkExponent) Multiply(chunk);
    for (; exponent > 0; --exponent) Multiply(base);
  }

  // At least `width` digits, zeros in front.
  std::string Digits(std::size_t width) const {
    std::string out;
    for (std::size_t i = m_limbs.size(); i-- > 0;) {
      const std::string limb = std::to_string(m_limbs[i]);
      if (i + 1 != m_limbs.size()) out.append(9 - limb.size(), '0');
      out += limb;
    }
    if (out.size() < width) out.insert(0, width - out.size(), '0');
    return out;
  }

 private:
  static constexpr std::uint32_t kBase = 1'000'000'000;
  std::vector<std::uint32_t> m_limbs;
};

}  // namespace

ExactDecimal ExactDigits(double magnitude) {
  int exp2 = 0;
  const double fraction = std::frexp(magnitude, &exp2);
  // magnitude = mantissa * 2^shift exactly: frexp keeps every bit.
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int shift = exp2 - 53;
  ExactDecimal d;
  if (shift >= 0) {
    BigDecimal whole(mantissa);
    whole.MultiplyByPowerOf(2, 31, std::uint32_t{1} << 31, shift);
    d.int_digits = whole.Digits(1);
    return d;
  }
  const int places = -shift;
  const std::uint64_t whole = places < 64 ? mantissa >> places : 0;
  const std::uint64_t rest = places < 64 ? mantissa - (whole << places) : mantissa;
  d.int_digits = BigDecimal(whole).Digits(1);
  if (rest == 0) return d;
  // rest / 2^places = rest * 5^places / 10^places: `places` digits.
  BigDecimal scaled(rest);
  scaled.MultiplyByPowerOf(5, 13, 1'220'703'125, places);
  d.frac_digits = scaled.Digits(static_cast<std::size_t>(places));
  d.frac_digits.erase(d.frac_digits.find_last_not_of('0') + 1);
  return d;
}

}  // namespace orv
