// The theme icons are drawn separately from the window's 32 x 32 icon; these
// cases catch a larger rendering that was not regenerated with the art, was
// drawn unscaled into a corner, or lost its transparent corners.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdlib>

namespace {

QImage LoadArt(const QString& relative) {
  QImageReader reader(QStringLiteral(ORV_SOURCE_DIR "/") + relative, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

QImage WindowIcon() { return LoadArt(QStringLiteral("monitor/resources/icon.png")); }

QImage ThemeIcon(int size) {
  return LoadArt(QStringLiteral("packaging/icons/orvendel-%1.png").arg(size));
}

struct Likeness {
  double shapeAgreement = 0;  // share of pixels both call see-through, or both solid
  double colourDistance = 0;  // mean per-channel distance over pixels solid in both
};

// Compares a larger rendering, averaged down to the window icon's size, with
// the window icon. The window icon is dithered to 256 colours with one-bit
// transparency, so the two never match exactly.
Likeness Compare(const QImage& large, const QImage& small) {
  // Averaged with premultiplied alpha, so the colour hidden under clear
  // pixels (magenta in the window icon's palette) does not bleed in.
  const QImage a = large.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                       .scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_ARGB32);
  const QImage b = small.convertToFormat(QImage::Format_ARGB32);
  int agree = 0;
  int solid = 0;
  long distance = 0;
  for (int y = 0; y < b.height(); ++y) {
    for (int x = 0; x < b.width(); ++x) {
      const QRgb pa = a.pixel(x, y);
      const QRgb pb = b.pixel(x, y);
      const bool solidA = qAlpha(pa) >= 128;
      const bool solidB = qAlpha(pb) >= 128;
      if (solidA == solidB) ++agree;
      if (solidA && solidB) {
        ++solid;
        distance += std::abs(qRed(pa) - qRed(pb)) + std::abs(qGreen(pa) - qGreen(pb)) +
                    std::abs(qBlue(pa) - qBlue(pb));
      }
    }
  }
  Likeness l;
  l.shapeAgreement = static_cast<double>(agree) / (b.width() * b.height());
  l.colourDistance = solid == 0 ? 255.0 : static_cast<double>(distance) / (3.0 * solid);
  return l;
}

// Measured: the renderings agree on 96 % of the pixels (they part only
// along the antialiased rim, which the window icon cuts at half alpha) and
// differ by 1 to 3.3 levels per channel; the same art mirrored or turned
// upside down differs by 24 and 42.
constexpr double kShapeAgreement = 0.93;
constexpr double kColourDistance = 8.0;

class ThemeIconTest : public ::testing::TestWithParam<int> {};

TEST_P(ThemeIconTest, IsTheWindowIconAtItsSize) {
  const int size = GetParam();
  const QImage icon = ThemeIcon(size);
  ASSERT_FALSE(icon.isNull()) << "orvendel-" << size << ".png missing or unreadable";
  const QImage reference = WindowIcon();
  ASSERT_EQ(reference.size(), QSize(32, 32));

  EXPECT_EQ(icon.size(), QSize(size, size));
  ASSERT_TRUE(icon.hasAlphaChannel());
  // The rounded tile leaves the corners clear and fills the middle.
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);

  const Likeness l = Compare(icon, reference);
  EXPECT_GE(l.shapeAgreement, kShapeAgreement) << size;
  EXPECT_LE(l.colourDistance, kColourDistance) << size;
}

INSTANTIATE_TEST_SUITE_P(Sizes, ThemeIconTest, ::testing::Values(48, 64, 128, 256));

// The comparison must be able to tell the art from a near miss, or the case
// above would pass whatever the files held.
TEST(ThemeIconComparison, RejectsRenderingsThatAreNotTheArt) {
  const QImage reference = WindowIcon();
  const QImage large = ThemeIcon(256);
  ASSERT_FALSE(large.isNull());

  EXPECT_GT(Compare(large.mirrored(true, false), reference).colourDistance, kColourDistance);
  EXPECT_GT(Compare(large.mirrored(false, true), reference).colourDistance, kColourDistance);

  // The 32-pixel drawing pasted into the corner of a large canvas.
  QImage corner(256, 256, QImage::Format_ARGB32);
  corner.fill(Qt::transparent);
  const QImage small = reference.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) corner.setPixel(x, y, small.pixel(x, y));
  }
  EXPECT_LT(Compare(corner, reference).shapeAgreement, kShapeAgreement);

  // The 32-pixel drawing blown up is the art, and passes.
  const QImage blown = reference.scaled(256, 256, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  const Likeness same = Compare(blown, reference);
  EXPECT_GE(same.shapeAgreement, kShapeAgreement);
  EXPECT_LE(same.colourDistance, kColourDistance);
}

}  // namespace
