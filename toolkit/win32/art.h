#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/win32/png_art.h"

namespace orv::win32 {

// The art's transparent colour. The build turns the 1x PNG art's
// transparent pixels into this colour when it makes the resource bitmap;
// drawing leaves pixels of it out.
inline constexpr COLORREF kArtTransparent = RGB(255, 0, 255);

// A picture box's art at the screen's resolution. At 96 dpi (and below,
// scaled) the 1x bitmap, with its transparent colour; above, the 2x
// drawing, with its alpha, scaled to the resolution by area averaging:
// as it is at 192 dpi, reduced between, enlarged above. Without a 2x
// drawing the 1x one is scaled.
class PictureArt {
 public:
  // Owns the 1x bitmap, which may be null. twoX makes the 2x drawing's
  // pixels when a resolution above 96 dpi first asks for them (decoding
  // them costs the window's start at 96 dpi nothing); it may be empty or
  // give no pixels, and then the 1x art is scaled.
  PictureArt(HBITMAP oneX, std::function<ArtPixels()> twoX);
  ~PictureArt();
  PictureArt(const PictureArt&) = delete;
  PictureArt& operator=(const PictureArt&) = delete;

  // Draws the art for the resolution at the top-left of dc.
  void Draw(HDC dc, int dpi);

 private:
  void DrawOneX(HDC dc, int dpi) const;
  // The 2x drawing scaled for dpi, premultiplied, made when first asked.
  HBITMAP ScaledTwoX(int dpi);

  HBITMAP m_oneX;
  std::function<ArtPixels()> m_makeTwoX;
  // The 2x drawing's pixels, top row first, premultiplied 0xAARRGGBB.
  std::vector<std::uint32_t> m_twoXPixels;
  int m_twoXWidth = 0;
  int m_twoXHeight = 0;
  HBITMAP m_scaled = nullptr;
  int m_scaledDpi = 0;
  int m_scaledWidth = 0;
  int m_scaledHeight = 0;
};

}  // namespace orv::win32
