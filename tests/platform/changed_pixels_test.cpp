#include "platform/changed_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace orv {
namespace {

constexpr int kWidth = 7;
constexpr int kHeight = 5;
// Rows two pixels longer than the image, as a toolkit's padded rows are;
// the padding never counts.
constexpr int kStride = kWidth + 2;

struct Image {
  std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(kStride * kHeight, 0x101010);
  void Set(int x, int y, std::uint32_t value) { pixels[y * kStride + x] = value; }
};

PixelBox Take(const Image& image, std::vector<std::uint32_t>& sent) {
  return TakeChangedPixels(image.pixels.data(), kWidth, kHeight, kStride, sent);
}

void ExpectBox(const PixelBox& box, int left, int top, int right, int bottom) {
  EXPECT_EQ(box.left, left);
  EXPECT_EQ(box.top, top);
  EXPECT_EQ(box.right, right);
  EXPECT_EQ(box.bottom, bottom);
}

TEST(ChangedPixelsTest, NothingSentYetIsTheWholeImageAndTheSameImageAgainIsNothing) {
  Image image;
  std::vector<std::uint32_t> sent;
  ExpectBox(Take(image, sent), 0, 0, kWidth, kHeight);
  EXPECT_TRUE(Take(image, sent).Empty());
  // A copy of another size is no copy of this image.
  sent.resize(3);
  ExpectBox(Take(image, sent), 0, 0, kWidth, kHeight);
}

TEST(ChangedPixelsTest, BoxHoldsEveryChangedPixelAndNoMore) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> changed;
    PixelBox box;
  };
  const Case cases[] = {
      {"one pixel", {{3, 2}}, {3, 2, 4, 3}},
      {"corners", {{0, 0}, {kWidth - 1, kHeight - 1}}, {0, 0, kWidth, kHeight}},
      {"two rows, apart", {{5, 1}, {1, 3}}, {1, 1, 6, 4}},
      {"last column only", {{kWidth - 1, 0}, {kWidth - 1, 4}}, {kWidth - 1, 0, kWidth, 5}},
  };
  for (const Case& c : cases) {
    Image image;
    std::vector<std::uint32_t> sent;
    Take(image, sent);
    for (auto [x, y] : c.changed) image.Set(x, y, 0x00FF00);
    // The padding changes too, and must not widen the box.
    for (int y = 0; y < kHeight; ++y) image.pixels[y * kStride + kWidth] = 0xABCDEF;
    SCOPED_TRACE(c.what);
    ExpectBox(Take(image, sent), c.box.left, c.box.top, c.box.right, c.box.bottom);
    EXPECT_TRUE(Take(image, sent).Empty()) << "the copy was not brought up to date";
  }
}

TEST(ChangedPixelsTest, ChangingBackIsAChangeToo) {
  Image image;
  std::vector<std::uint32_t> sent;
  Take(image, sent);
  image.Set(2, 2, 0xFFFFFF);
  Take(image, sent);
  image.Set(2, 2, 0x101010);
  ExpectBox(Take(image, sent), 2, 2, 3, 3);
}

TEST(ChangedPixelsTest, AnEmptyImageHasNothingToSend) {
  std::vector<std::uint32_t> sent(4, 0);
  EXPECT_TRUE(TakeChangedPixels(nullptr, 0, 0, 0, sent).Empty());
  EXPECT_TRUE(sent.empty());
}

}  // namespace
}  // namespace orv
