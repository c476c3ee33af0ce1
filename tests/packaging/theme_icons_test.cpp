// The theme icons are drawn separately from the window's 32 x 32 icon, and
// the banner for scale 2 separately from the window's banner; these cases
// catch a rendering that was not regenerated with the art, was drawn
// unscaled into a corner, or lost its transparent corners.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdlib>
#include <ostream>
#include <string>

namespace {

QImage LoadArt(const QString& relative) {
  QImageReader reader(QStringLiteral(ORV_SOURCE_DIR "/") + relative, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

QImage WindowIcon() { return LoadArt(QStringLiteral("monitor/resources/icon.png")); }

// 20 and 40 pixels are drawn for the Windows icon file alone.
QImage ThemeIcon(int size) {
  const QString folder = size == 20 || size == 40 ? QStringLiteral("packaging/windows/icons")
                                                  : QStringLiteral("packaging/icons");
  return LoadArt(folder + QStringLiteral("/orvendel-%1.png").arg(size));
}

QImage Banner() { return LoadArt(QStringLiteral("monitor/resources/banner.png")); }
QImage Banner2x() { return LoadArt(QStringLiteral("monitor/resources/banner@2x.png")); }

struct Likeness {
  double shapeAgreement = 0;  // share of pixels both call see-through, or both solid
  double colorDistance = 0;   // mean per-channel distance over pixels solid in both
};

// The picture averaged down to the given size, with premultiplied alpha so
// the colour hidden under clear pixels (magenta in the palettes of the
// window's art) does not bleed in.
QImage AveragedTo(const QImage& image, QSize size) {
  QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (premultiplied.size() != size) {
    premultiplied = premultiplied.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return premultiplied.convertToFormat(QImage::Format_ARGB32);
}

// Compares two renderings of the same art at the smaller one's size. The
// window's art is dithered to 256 colours with one-bit transparency, so
// the two never match exactly.
Likeness Compare(const QImage& rendering, const QImage& reference) {
  const QSize size = rendering.width() < reference.width() ? rendering.size() : reference.size();
  const QImage a = AveragedTo(rendering, size);
  const QImage b = AveragedTo(reference, size);
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
  l.colorDistance = solid == 0 ? 255.0 : static_cast<double>(distance) / (3.0 * solid);
  return l;
}

// Measured: the renderings from 48 px up agree on 96 % of the pixels (they
// part only along the antialiased rim, which the window icon cuts at half
// alpha), those at 16 and 24 px, where the rim is a larger share, on 91 and
// 92 %; all differ by 1 to 4.6 levels per channel. The same art mirrored or
// turned upside down differs by 23 and 40 at every size.
constexpr double kShapeAgreement = 0.93;
constexpr double kSmallShapeAgreement = 0.89;
constexpr double kColorDistance = 8.0;

struct IconSize {
  int size;
  double shapeAgreement;  // the least share the rendering must agree on
};

// Names each case by its size, in test names and messages.
void PrintTo(const IconSize& icon, std::ostream* os) { *os << icon.size; }

class ThemeIconTest : public ::testing::TestWithParam<IconSize> {};

TEST_P(ThemeIconTest, IsTheWindowIconAtItsSize) {
  const int size = GetParam().size;
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
  EXPECT_GE(l.shapeAgreement, GetParam().shapeAgreement) << size;
  EXPECT_LE(l.colorDistance, kColorDistance) << size;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ThemeIconTest,
    ::testing::Values(IconSize{16, kSmallShapeAgreement}, IconSize{20, kSmallShapeAgreement},
                      IconSize{24, kSmallShapeAgreement}, IconSize{40, kShapeAgreement},
                      IconSize{48, kShapeAgreement}, IconSize{64, kShapeAgreement},
                      IconSize{128, kShapeAgreement}, IconSize{256, kShapeAgreement}),
    [](const auto& info) { return std::to_string(info.param.size); });

// Measured: the banner drawn at twice the size, averaged down, differs from
// the dithered window banner by 7.8 levels per channel (its gradients and
// lettering carry more dither than the icon), mirrored or upside down by 37
// and 46; both agree on the shape everywhere but the rounded corners.
constexpr double kBannerColorDistance = 12.0;

TEST(Banner2x, IsTheBannerAtTwiceItsSize) {
  const QImage banner = Banner();
  const QImage large = Banner2x();
  ASSERT_FALSE(banner.isNull()) << "banner.png missing or unreadable";
  ASSERT_FALSE(large.isNull()) << "banner@2x.png missing or unreadable";

  EXPECT_EQ(large.size(), banner.size() * 2);
  ASSERT_TRUE(large.hasAlphaChannel());
  EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(large.pixel(large.width() - 1, large.height() - 1)), 0);
  EXPECT_EQ(qAlpha(large.pixel(large.width() / 2, large.height() / 2)), 255);

  const Likeness l = Compare(large, banner);
  EXPECT_GE(l.shapeAgreement, kShapeAgreement);
  EXPECT_LE(l.colorDistance, kBannerColorDistance);
  EXPECT_GT(Compare(large.mirrored(true, false), banner).colorDistance, kBannerColorDistance);
}

// The comparison must be able to tell the art from a near miss, or the case
// above would pass whatever the files held.
TEST(ThemeIconComparison, RejectsRenderingsThatAreNotTheArt) {
  const QImage reference = WindowIcon();
  const QImage large = ThemeIcon(256);
  ASSERT_FALSE(large.isNull());

  EXPECT_GT(Compare(large.mirrored(true, false), reference).colorDistance, kColorDistance);
  EXPECT_GT(Compare(large.mirrored(false, true), reference).colorDistance, kColorDistance);

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
  EXPECT_LE(same.colorDistance, kColorDistance);
}

}  // namespace
