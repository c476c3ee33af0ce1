#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/picture_surface.h"
#include "toolkit/win32/art.h"

namespace orv::win32 {

// The window class of picture boxes; registered once per process.
inline constexpr wchar_t kPictureClass[] = L"OrvendelPicture";
void RegisterPictureClass(HINSTANCE instance);

// A picture box: a window of kPictureClass whose image lives in a memory
// bitmap the size of its inner area (inside the sunken client edge). The
// image is kept, so a repaint never needs the program, and drawing only
// marks the window for the next paint.
class Win32PictureBox final : public PictureSurface {
 public:
  // art, when given, is drawn at the top-left of the inner area under
  // everything else, at the box's resolution.
  Win32PictureBox(HWND hwnd, Color backColor, std::unique_ptr<PictureArt> art);
  ~Win32PictureBox() override;
  Win32PictureBox(const Win32PictureBox&) = delete;
  Win32PictureBox& operator=(const Win32PictureBox&) = delete;

  bool AutoRedraw() const override { return m_autoRedraw; }
  void AutoRedraw(bool on) override { m_autoRedraw = on; }
  void Cls() override;
  std::int16_t DrawWidth() const override { return 1; }
  std::int16_t ScaleMode() const override { return m_scaleMode; }
  void ScaleMode(std::int16_t mode) override;
  Color BackColor() const override { return m_backColor; }
  void BackColor(Color color) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  void Line(std::int16_t flags, float x1, float y1, float x2, float y2, Color color) override;

  HWND Handle() const { return m_hwnd; }
  // Places it in its container's pixels, at the screen resolution twips
  // are converted at.
  void Place(RECT rect, int dpi);
  // A pixel of the kept image, 0x00BBGGRR.
  Color PixelAt(int x, int y) const;

  // Between HoldUpdates and SendChanges (the form brackets each timer
  // tick with them) drawing marks nothing for the screen; SendChanges then
  // paints only the rectangle of pixels that differ from the image last
  // sent, at once, and nothing when the tick drew the same image again.
  // The image is still drawn whole; only what the screen is sent shrinks.
  // Holds nest.
  void HoldUpdates() { ++m_holds; }
  void SendChanges();
  // How many times the window has been painted (its WM_PAINT, or the
  // changes sent at once): what a test counts.
  int Paints() const { return m_paints; }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  void Resize(int width, int height);
  void FillBackground();
  void Paint();
  void PaintNow(const RECT& rect);
  // Marks the window for the next paint, once between two paints.
  void Invalidate();
  void SelectPen(Color color);

  HWND m_hwnd;
  Color m_backColor;
  std::unique_ptr<PictureArt> m_art;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_initialBitmap = nullptr;
  const std::uint32_t* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
  HPEN m_pen = nullptr;
  Color m_penColor = 0;
  // Whether anything was drawn since the image was last cleared: a resize
  // keeps only an image that holds drawing.
  bool m_drawn = false;
  // Each invalidation is a call to the window system (under Wine, a round
  // trip to its server); a graph draw makes a hundred lines.
  bool m_invalid = false;
  // The image as last sent to the screen, to compare the next one with.
  std::vector<std::uint32_t> m_sent;
  int m_holds = 0;
  int m_paints = 0;
  bool m_autoRedraw = false;
  std::int16_t m_scaleMode = 1;
  int m_dpi = 96;
};

}  // namespace orv::win32
