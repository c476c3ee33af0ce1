#include "toolkit/win32/art.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace orv::win32 {
namespace {

constexpr int kBaseDpi = 96;
constexpr int kTwoXDpi = 192;

std::uint32_t Premultiplied(std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  const auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (scale((argb >> 16) & 0xFF) << 16) | (scale((argb >> 8) & 0xFF) << 8) |
         scale(argb & 0xFF);
}

std::vector<std::uint32_t> PremultipliedPixels(const ArtPixels& art) {
  std::vector<std::uint32_t> pixels(art.argb.size());
  std::transform(art.argb.begin(), art.argb.end(), pixels.begin(), Premultiplied);
  return pixels;
}

// The source pixels one destination pixel covers along an axis, and how
// much of it each covers; the weights add up to one.
struct Taps {
  int first = 0;
  std::vector<float> weights;
};

std::vector<Taps> AreaTaps(int from, int to) {
  const double scale = static_cast<double>(from) / to;
  std::vector<Taps> taps(static_cast<std::size_t>(to));
  for (int d = 0; d < to; ++d) {
    const double lo = d * scale;
    const double hi = std::min((d + 1) * scale, static_cast<double>(from));
    Taps& t = taps[static_cast<std::size_t>(d)];
    t.first = static_cast<int>(std::floor(lo));
    for (int s = t.first; s < from && s < hi; ++s) {
      const double covered = std::min(hi, s + 1.0) - std::max(lo, static_cast<double>(s));
      t.weights.push_back(static_cast<float>(covered / (hi - lo)));
    }
  }
  return taps;
}

// Area-averaged resampling of premultiplied pixels: rows first, then
// columns.
std::vector<std::uint32_t> Resample(const std::vector<std::uint32_t>& in, int inWidth, int inHeight,
                                    int outWidth, int outHeight) {
  const std::vector<Taps> across = AreaTaps(inWidth, outWidth);
  const std::vector<Taps> down = AreaTaps(inHeight, outHeight);
  std::vector<float> rows(static_cast<std::size_t>(inHeight) * outWidth * 4, 0.0f);
  for (int y = 0; y < inHeight; ++y) {
    for (int x = 0; x < outWidth; ++x) {
      const Taps& t = across[static_cast<std::size_t>(x)];
      float* sum = &rows[(static_cast<std::size_t>(y) * outWidth + x) * 4];
      for (std::size_t k = 0; k < t.weights.size(); ++k) {
        const std::uint32_t p = in[static_cast<std::size_t>(y) * inWidth + t.first + k];
        for (int c = 0; c < 4; ++c) sum[c] += t.weights[k] * ((p >> (8 * c)) & 0xFF);
      }
    }
  }
  std::vector<std::uint32_t> out(static_cast<std::size_t>(outWidth) * outHeight);
  for (int y = 0; y < outHeight; ++y) {
    const Taps& t = down[static_cast<std::size_t>(y)];
    for (int x = 0; x < outWidth; ++x) {
      float sum[4] = {};
      for (std::size_t k = 0; k < t.weights.size(); ++k) {
        const float* p = &rows[((t.first + k) * outWidth + x) * 4];
        for (int c = 0; c < 4; ++c) sum[c] += t.weights[k] * p[c];
      }
      std::uint32_t pixel = 0;
      for (int c = 0; c < 4; ++c) {
        const auto v = static_cast<std::uint32_t>(std::clamp(std::lround(sum[c]), 0L, 255L));
        pixel |= v << (8 * c);
      }
      out[static_cast<std::size_t>(y) * outWidth + x] = pixel;
    }
  }
  return out;
}

HBITMAP TopDownBitmap(const std::vector<std::uint32_t>& pixels, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
  return bitmap;
}

int Scaled(int pixels, int dpi, int atDpi) {
  return std::max(1, static_cast<int>(std::lround(static_cast<double>(pixels) * dpi / atDpi)));
}

}  // namespace

PictureArt::PictureArt(HBITMAP oneX, std::function<ArtPixels()> twoX)
    : m_oneX(oneX), m_makeTwoX(std::move(twoX)) {}

PictureArt::~PictureArt() {
  if (m_scaled != nullptr) DeleteObject(m_scaled);
  if (m_oneX != nullptr) DeleteObject(m_oneX);
}

void PictureArt::Draw(HDC dc, int dpi) {
  const HBITMAP scaled = dpi > kBaseDpi ? ScaledTwoX(dpi) : nullptr;
  if (scaled == nullptr) {
    DrawOneX(dc, dpi);
    return;
  }
  HDC art = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(art, scaled);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, 0, 0, m_scaledWidth, m_scaledHeight, art, 0, 0, m_scaledWidth, m_scaledHeight,
             blend);
  SelectObject(art, old);
  DeleteDC(art);
}

void PictureArt::DrawOneX(HDC dc, int dpi) const {
  if (m_oneX == nullptr) return;
  BITMAP info{};
  GetObjectW(m_oneX, sizeof info, &info);
  HDC art = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(art, m_oneX);
  TransparentBlt(dc, 0, 0, Scaled(info.bmWidth, dpi, kBaseDpi),
                 Scaled(info.bmHeight, dpi, kBaseDpi), art, 0, 0, info.bmWidth, info.bmHeight,
                 kArtTransparent);
  SelectObject(art, old);
  DeleteDC(art);
}

HBITMAP PictureArt::ScaledTwoX(int dpi) {
  if (m_makeTwoX) {
    const ArtPixels twoX = m_makeTwoX();
    m_makeTwoX = nullptr;
    m_twoXPixels = PremultipliedPixels(twoX);
    m_twoXWidth = twoX.width;
    m_twoXHeight = twoX.height;
  }
  if (m_twoXPixels.empty()) return nullptr;
  if (dpi == m_scaledDpi) return m_scaled;
  const int width = Scaled(m_twoXWidth, dpi, kTwoXDpi);
  const int height = Scaled(m_twoXHeight, dpi, kTwoXDpi);
  HBITMAP made = TopDownBitmap(Resample(m_twoXPixels, m_twoXWidth, m_twoXHeight, width, height),
                               width, height);
  // Out of memory: the 1x art, scaled, is drawn instead.
  if (made == nullptr) return nullptr;
  if (m_scaled != nullptr) DeleteObject(m_scaled);
  m_scaled = made;
  m_scaledDpi = dpi;
  m_scaledWidth = width;
  m_scaledHeight = height;
  return m_scaled;
}

}  // namespace orv::win32
