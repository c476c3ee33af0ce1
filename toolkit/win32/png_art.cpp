#include "toolkit/win32/png_art.h"

#include <objidl.h>

#include <gdiplus.h>

#include <cstdlib>
#include <cstring>

namespace orv::win32 {
namespace {

using namespace Gdiplus::DllExports;
using Gdiplus::BitmapData;
using Gdiplus::GpBitmap;
using Gdiplus::GpRect;

// Far beyond any art; keeps a damaged header from asking for gigabytes.
constexpr UINT kMaxSide = 16384;

// GDI+ reads images from streams, and a resource's memory is no HGLOBAL a
// stream could own: the stream gets a copy.
IStream* StreamOver(const void* data, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return nullptr;
  void* to = GlobalLock(memory);
  if (to == nullptr) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(to, data, size);
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  return stream;
}

// PixelFormat32bppARGB is straight alpha, one 32-bit word a pixel; GDI+
// converts whatever the file holds into it.
ArtPixels CopyPixels(GpBitmap* image) {
  UINT width = 0;
  UINT height = 0;
  if (GdipGetImageWidth(image, &width) != Gdiplus::Ok ||
      GdipGetImageHeight(image, &height) != Gdiplus::Ok || width == 0 || height == 0 ||
      width > kMaxSide || height > kMaxSide) {
    return {};
  }
  const GpRect whole{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  BitmapData locked{};
  if (GdipBitmapLockBits(image, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                         &locked) != Gdiplus::Ok) {
    return {};
  }
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
  ArtPixels pixels;
  if (locked.Scan0 != nullptr && locked.Width == width && locked.Height == height &&
      static_cast<std::size_t>(std::abs(locked.Stride)) >= rowBytes) {
    pixels.width = static_cast<int>(width);
    pixels.height = static_cast<int>(height);
    pixels.argb.resize(static_cast<std::size_t>(width) * height);
  }
  for (UINT y = 0; !pixels.empty() && y < height; ++y) {
    std::memcpy(&pixels.argb[static_cast<std::size_t>(y) * width],
                static_cast<const unsigned char*>(locked.Scan0) +
                    static_cast<std::ptrdiff_t>(y) * locked.Stride,
                rowBytes);
  }
  GdipBitmapUnlockBits(image, &locked);
  return pixels;
}

ArtPixels Decode(IStream* stream) {
  GpBitmap* image = nullptr;
  if (GdipCreateBitmapFromStream(stream, &image) != Gdiplus::Ok || image == nullptr) {
    return {};
  }
  ArtPixels pixels = CopyPixels(image);
  GdipDisposeImage(image);
  return pixels;
}

}  // namespace

ArtPixels DecodePngArt(const void* data, std::size_t size) {
  if (data == nullptr || size == 0) return {};
  IStream* stream = StreamOver(data, size);
  if (stream == nullptr) return {};
  // Started for this one picture and shut down after it: the window
  // decodes its art once, and GDI+ keeps a thread while it runs.
  ULONG_PTR token = 0;
  const Gdiplus::GdiplusStartupInput input;
  ArtPixels pixels;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
    pixels = Decode(stream);
    Gdiplus::GdiplusShutdown(token);
  }
  stream->Release();
  return pixels;
}

ArtPixels LoadPngArt(HINSTANCE instance, const wchar_t* name) {
  HRSRC found = FindResourceW(instance, name, RT_RCDATA);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(instance, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  return DecodePngArt(data, SizeofResource(instance, found));
}

}  // namespace orv::win32
