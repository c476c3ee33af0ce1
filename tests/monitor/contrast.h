#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <map>

namespace orv::test {

// WCAG 2 relative luminance of an sRGB colour.
inline double Luminance(QRgb c) {
  const auto linear = [](int channel) {
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
}

inline double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a reader sees of a text region on screen: its background is the
// colour most of the region shows, its text the pixel that stands out most
// from it (the glyphs' cores; their anti-aliased edges only lie between).
// A region where nothing stands out reads 1:1.
struct TextContrast {
  QRgb background = 0;
  QRgb text = 0;
  double ratio = 1;
};

inline TextContrast MeasureText(const QImage& shot, const QRect& region) {
  std::map<QRgb, int> counts;
  const QRect inside = region.intersected(shot.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) ++counts[shot.pixel(x, y) & 0xFFFFFF];
  }
  TextContrast result;
  if (counts.empty()) return result;
  result.background =
      std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
      })->first;
  result.text = result.background;
  for (const auto& [colour, n] : counts) {
    const double ratio = Contrast(colour, result.background);
    if (ratio > result.ratio) result = {result.background, colour, ratio};
  }
  return result;
}

}  // namespace orv::test
