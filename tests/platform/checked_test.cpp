#include "platform/checked.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "platform/error.h"

namespace orv::checked {
namespace {

constexpr std::int16_t kMax16 = std::numeric_limits<std::int16_t>::max();
constexpr std::int16_t kMin16 = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

// nullopt: the operation must throw Error(Overflow).
template <class T>
struct Case {
  const char* name;
  std::function<T()> op;
  std::optional<T> expected;
};

template <class T>
void RunCases(const std::vector<Case<T>>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.expected) {
      EXPECT_EQ(c.op(), *c.expected);
    } else {
      try {
        T got = c.op();
        ADD_FAILURE() << "no overflow, got " << got;
      } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::Overflow);
      }
    }
  }
}

TEST(Checked16, LimitsOfEveryOperation) {
  RunCases<std::int16_t>({
      {"max+0", [] { return Add16(kMax16, 0); }, kMax16},
      {"max+1", [] { return Add16(kMax16, 1); }, std::nullopt},
      {"min+-1", [] { return Add16(kMin16, -1); }, std::nullopt},
      {"min+max", [] { return Add16(kMin16, kMax16); }, -1},
      {"max+max", [] { return Add16(kMax16, kMax16); }, std::nullopt},
      {"min-1", [] { return Sub16(kMin16, 1); }, std::nullopt},
      {"max-(-1)", [] { return Sub16(kMax16, -1); }, std::nullopt},
      {"0-min", [] { return Sub16(0, kMin16); }, std::nullopt},
      {"-1-min", [] { return Sub16(-1, kMin16); }, kMax16},
      {"min-0", [] { return Sub16(kMin16, 0); }, kMin16},
      {"min*-1", [] { return Mul16(kMin16, -1); }, std::nullopt},
      {"max*-1", [] { return Mul16(kMax16, -1); }, static_cast<std::int16_t>(-kMax16)},
      {"181*181", [] { return Mul16(181, 181); }, 32761},
      {"182*181", [] { return Mul16(182, 181); }, std::nullopt},
      {"256*128", [] { return Mul16(256, 128); }, std::nullopt},
      {"-256*128", [] { return Mul16(-256, 128); }, kMin16},
      {"min*0", [] { return Mul16(kMin16, 0); }, 0},
      {"inc max-1", [] { return Inc16(kMax16 - 1); }, kMax16},
      {"inc max", [] { return Inc16(kMax16); }, std::nullopt},
      {"inc -1", [] { return Inc16(-1); }, 0},
      {"inc min", [] { return Inc16(kMin16); }, static_cast<std::int16_t>(kMin16 + 1)},
  });
}

// The reader sums unsigned kernel counters bit for bit in a signed total.
TEST(Wrapping32, WrapsModulo2To32) {
  struct {
    std::int32_t a, b, sum, diff;
  } cases[] = {
      {1, 2, 3, -1},
      {kMax32, 1, kMin32, kMax32 - 1},
      {kMin32, -1, kMax32, kMin32 + 1},
      {kMin32, kMin32, 0, 0},
      {-1, -1, -2, 0},
      {0, kMin32, kMin32, kMin32},
      {kMax32, kMax32, -2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
    EXPECT_EQ(WrappingAdd32(c.a, c.b), c.sum);
    EXPECT_EQ(WrappingSub32(c.a, c.b), c.diff);
  }
  // 0xFFFFFFFF + 0x00000002 in unsigned counters is 1.
  EXPECT_EQ(WrappingAdd32(static_cast<std::int32_t>(0xFFFFFFFFu), 2), 1);
}

}  // namespace
}  // namespace orv::checked
