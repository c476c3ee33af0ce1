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

HBITMAP BottomUpDib(UINT width, UINT height, void*& bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = static_cast<LONG>(height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// PixelFormat32bppARGB is straight alpha, laid out as a 32-bit DIB's
// pixels are; GDI+ converts whatever the file holds into it.
HBITMAP CopyPixels(GpBitmap* image) {
  UINT width = 0;
  UINT height = 0;
  if (GdipGetImageWidth(image, &width) != Gdiplus::Ok ||
      GdipGetImageHeight(image, &height) != Gdiplus::Ok || width == 0 || height == 0 ||
      width > kMaxSide || height > kMaxSide) {
    return nullptr;
  }
  const GpRect whole{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  BitmapData locked{};
  if (GdipBitmapLockBits(image, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                         &locked) != Gdiplus::Ok) {
    return nullptr;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
  void* bits = nullptr;
  HBITMAP dib = nullptr;
  if (locked.Scan0 != nullptr && locked.Width == width && locked.Height == height &&
      static_cast<std::size_t>(std::abs(locked.Stride)) >= rowBytes) {
    dib = BottomUpDib(width, height, bits);
  }
  for (UINT y = 0; dib != nullptr && y < height; ++y) {
    std::memcpy(static_cast<unsigned char*>(bits) + (height - 1 - y) * rowBytes,
                static_cast<const unsigned char*>(locked.Scan0) +
                    static_cast<std::ptrdiff_t>(y) * locked.Stride,
                rowBytes);
  }
  GdipBitmapUnlockBits(image, &locked);
  return dib;
}

HBITMAP Decode(IStream* stream) {
  GpBitmap* image = nullptr;
  if (GdipCreateBitmapFromStream(stream, &image) != Gdiplus::Ok || image == nullptr) {
    return nullptr;
  }
  HBITMAP dib = CopyPixels(image);
  GdipDisposeImage(image);
  return dib;
}

}  // namespace

HBITMAP DecodePngArt(const void* data, std::size_t size) {
  if (data == nullptr || size == 0) return nullptr;
  IStream* stream = StreamOver(data, size);
  if (stream == nullptr) return nullptr;
  // Started for this one picture and shut down after it: the window
  // decodes its art once, and GDI+ keeps a thread while it runs.
  ULONG_PTR token = 0;
  const Gdiplus::GdiplusStartupInput input;
  HBITMAP dib = nullptr;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
    dib = Decode(stream);
    Gdiplus::GdiplusShutdown(token);
  }
  stream->Release();
  return dib;
}

HBITMAP LoadPngArt(HINSTANCE instance, const wchar_t* name) {
  HRSRC found = FindResourceW(instance, name, RT_RCDATA);
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(instance, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  return DecodePngArt(data, SizeofResource(instance, found));
}

}  // namespace orv::win32
