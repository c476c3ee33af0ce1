// What the Win32 toolkit itself does: label auto-size, list positions,
// picture-box pixels, PNG art, the alive token and what screen readers
// meet. Needs a display (Wine on Xvfb).
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "msaa_caption.h"
#include "platform/error.h"
#include "toolkit/win32/dpi.h"
#include "toolkit/win32/form_builder.h"
#include "toolkit/win32/label.h"
#include "toolkit/win32/picture_box.h"
#include "toolkit/win32/png_art.h"
#include "toolkit/win32/runtime.h"

namespace orv::win32 {
namespace {

constexpr Color kFace = Rgb(240, 240, 240);
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kTeal = Rgb(0, 128, 128);
constexpr Color kGreen = Rgb(0, 255, 0);

constexpr std::array kControls{
    ControlDescription{.name = "rate",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .rect = {150, 150, 810, 180},
                       .caption = u"下载速率:",
                       .autoSize = true},
    ControlDescription{.name = "fixed",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .rect = {150, 600, 810, 180},
                       .caption = u"x"},
    ControlDescription{.name = "list",
                       .kind = ControlKind::DropDownList,
                       .container = "form",
                       .rect = {150, 900, 3000, 330},
                       .tabIndex = 1},
    ControlDescription{.name = "pic",
                       .kind = ControlKind::PictureBox,
                       .container = "form",
                       .rect = {150, 1500, 1560, 960},
                       .tabIndex = 2,
                       .backColor = kFace},
    // Listed last, first in the tab order.
    ControlDescription{.name = "early",
                       .kind = ControlKind::DropDownList,
                       .container = "form",
                       .rect = {1800, 1500, 1500, 330},
                       .tabIndex = 0},
    ControlDescription{
        .name = "tick", .kind = ControlKind::Timer, .container = "pic", .intervalMs = 10},
};
constexpr FormDescription kForm{.name = "form",
                                .caption = u"toolkit test",
                                .client = {0, 0, 4500, 3000},
                                .backColor = kFace,
                                .font = {u"宋体", 9, false},
                                .controls = kControls};

class Win32ControlsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Win32Form> form = BuildWin32Form(kForm, GetModuleHandleW(nullptr));

  RECT RectOf(std::string_view name) {
    // Child window ids are positions in the description plus one.
    for (std::size_t i = 0; i < kControls.size(); ++i) {
      if (kControls[i].name != name) continue;
      RECT r;
      GetWindowRect(GetDlgItem(form->Handle(), static_cast<int>(i + 1)), &r);
      MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
      return r;
    }
    ADD_FAILURE() << "no control " << name;
    return {};
  }
};

TEST_F(Win32ControlsTest, AutoSizeLabelRefitsToOneLineFromItsCorner) {
  const RECT before = RectOf("rate");
  ASSERT_EQ(before.left, 10);
  ASSERT_EQ(before.right - before.left, 54);  // the layout's size until the text changes

  Label& rate = form->FindLabel("rate");
  rate.Caption(u"下载速率: 12,345.67 Kb/S");
  const RECT grown = RectOf("rate");
  EXPECT_EQ(grown.left, before.left);
  EXPECT_EQ(grown.top, before.top);
  EXPECT_GT(grown.right - grown.left, 2 * (before.right - before.left));
  // One line of a 9-point font at 96 dpi: never two.
  EXPECT_GE(grown.bottom - grown.top, 10);
  EXPECT_LT(grown.bottom - grown.top, 24);

  rate.Caption(u"a");
  const RECT shrunk = RectOf("rate");
  EXPECT_EQ(shrunk.left, before.left);
  EXPECT_LT(shrunk.right - shrunk.left, before.right - before.left);

  Label& fixed = form->FindLabel("fixed");
  const RECT fixedBefore = RectOf("fixed");
  fixed.Caption(u"a much longer caption than the box");
  const RECT fixedAfter = RectOf("fixed");
  EXPECT_EQ(fixedAfter.right - fixedAfter.left, fixedBefore.right - fixedBefore.left);
}

TEST_F(Win32ControlsTest, CaptionKeepsEveryUnit) {
  const std::u16string text{u'\uFEFF', u'a', u'\0', u'b', u'\uFFFE'};
  Label& fixed = form->FindLabel("fixed");
  fixed.Caption(text);
  EXPECT_EQ(fixed.Caption(), text);
}

// What the label draws for its caption, into a bitmap of its size.
std::vector<std::uint32_t> Drawn(const Win32Label& label) {
  RECT r;
  GetClientRect(label.Handle(), &r);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = r.right;
  info.bmiHeader.biHeight = -r.bottom;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.hwndItem = label.Handle();
  item.hDC = dc;
  item.rcItem = r;
  label.Draw(item);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(r.right * r.bottom));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

// As Windows' own controls do: a description whose length counts its
// terminating zero shows no box for it, nor anything after it.
TEST_F(Win32ControlsTest, ALabelShowsItsCaptionUpToItsFirstZeroUnit) {
  auto& fixed = dynamic_cast<Win32Label&>(form->FindLabel("fixed"));
  fixed.Caption(u"ab");
  const std::vector<std::uint32_t> plain = Drawn(fixed);
  fixed.Caption(std::u16string(u"ab\0 ", 4));
  EXPECT_TRUE(Drawn(fixed) == plain);
  fixed.Caption(std::u16string(u"ab\0cd", 5));
  EXPECT_TRUE(Drawn(fixed) == plain);
  fixed.Caption(u"abcd");
  EXPECT_FALSE(Drawn(fixed) == plain) << "the comparison cannot tell texts apart";

  Label& rate = form->FindLabel("rate");
  rate.Caption(u"ab");
  const RECT fitted = RectOf("rate");
  rate.Caption(std::u16string(u"ab\0cdef", 7));
  EXPECT_EQ(RectOf("rate").right, fitted.right) << "refitted to what follows the zero";
}

TEST_F(Win32ControlsTest, ListPositionsOutsideTheEntriesFail) {
  DropDownList& list = form->FindList("list");
  list.AddItem(u"lo");
  list.AddItem(std::u16string(u"e\0th0", 5));
  ASSERT_EQ(list.ListCount(), 2);
  EXPECT_EQ(list.List(1), std::u16string(u"e\0th0", 5));

  struct Case {
    std::int16_t position;
    bool accepted;
  };
  for (const Case c : {Case{-2, false}, Case{-1, true}, Case{0, true}, Case{1, true},
                       Case{2, false}, Case{32767, false}}) {
    SCOPED_TRACE(c.position);
    if (c.accepted) {
      list.ListIndex(c.position);
      EXPECT_EQ(list.ListIndex(), c.position);
    } else {
      try {
        list.ListIndex(c.position);
        ADD_FAILURE() << "accepted";
      } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::InvalidProperty);
      }
    }
  }
  for (const std::int16_t outside : {std::int16_t{-1}, std::int16_t{2}}) {
    EXPECT_THROW(list.List(outside), Error);
  }
  list.ListIndex(1);
  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(Win32ControlsTest, PictureBoxDrawsSegmentsAndBoxesIntoItsKeptImage) {
  auto& pic = dynamic_cast<Win32PictureBox&>(form->FindPicture("pic"));
  pic.ScaleMode(kScaleModePixels);
  // 104 x 64 pixels less the two-pixel sunken edge on each side.
  EXPECT_EQ(pic.ScaleWidth(), 100.0f);
  EXPECT_EQ(pic.ScaleHeight(), 60.0f);
  pic.BackColor(kBlack);
  EXPECT_EQ(pic.PixelAt(50, 30), kBlack);

  pic.Line(kLineSegment, 2, 3, 10, 3, kTeal);
  for (int x = 2; x <= 10; ++x) EXPECT_EQ(pic.PixelAt(x, 3), kTeal) << x;
  EXPECT_EQ(pic.PixelAt(1, 3), kBlack);
  EXPECT_EQ(pic.PixelAt(11, 3), kBlack);

  pic.Line(kLineBox, 20, 10, 30, 15, kGreen);
  for (const auto& [x, y] : {std::pair{20, 10}, std::pair{30, 10}, std::pair{20, 15},
                             std::pair{30, 15}, std::pair{25, 10}, std::pair{30, 12}}) {
    EXPECT_EQ(pic.PixelAt(x, y), kGreen) << x << "," << y;
  }
  EXPECT_EQ(pic.PixelAt(25, 12), kBlack);

  // Far outside the image, a segment is cut to it, not dropped or wrapped.
  pic.Line(kLineSegment, -1e9f, 40, 1e9f, 40, kGreen);
  EXPECT_EQ(pic.PixelAt(0, 40), kGreen);
  EXPECT_EQ(pic.PixelAt(99, 40), kGreen);
  EXPECT_THROW(pic.Line(kLineSegment, 0, 0, std::numeric_limits<float>::quiet_NaN(), 1, kGreen),
               Error);
  EXPECT_THROW(pic.Line(7, 0, 0, 1, 1, kGreen), Error);

  pic.Cls();
  EXPECT_EQ(pic.PixelAt(25, 10), kBlack);
  EXPECT_EQ(pic.PixelAt(5, 3), kBlack);
}

TEST_F(Win32ControlsTest, TokenTurnsFalseWhenTheWindowIsDestroyedFromOutside) {
  bool told = false;
  form->OnDestroyed([&] { told = true; });
  const AliveToken token = form->Token();
  EXPECT_TRUE(token.Alive());
  DestroyWindow(form->Handle());
  EXPECT_FALSE(token.Alive());
  EXPECT_TRUE(told);
  // Controls of a destroyed window are still safe to call.
  form->FindLabel("fixed").Caption(u"gone");
  EXPECT_THROW(form->FindTimer("none"), std::logic_error);
}

// The system timer outlives a switch-off until it fires once more; that
// WM_TIMER must not run the handler. Switched on again, it runs.
TEST_F(Win32ControlsTest, ASwitchedOffTimerNeverRunsItsHandler) {
  Timer& tick = form->FindTimer("tick");
  int runs = 0;
  tick.OnTimer([&] { ++runs; });
  const auto pumpFor = [&](ULONGLONG ms, bool untilRun) {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < ms && !(untilRun && runs > 0)) {
      DoEvents();
      Sleep(5);
    }
  };
  for (int round = 0; round < 3; ++round) {
    tick.Enabled(true);
    tick.Enabled(false);
    EXPECT_FALSE(tick.Enabled());
    pumpFor(100, false);
    EXPECT_EQ(runs, 0) << "round " << round;
  }
  tick.Enabled(true);
  pumpFor(2000, true);
  EXPECT_GT(runs, 0);
}

// A tick redraws its graph whole; the window is painted only when the
// image differs from the one the last tick sent.
TEST_F(Win32ControlsTest, ATickThatDrawsTheSameImagePaintsNothing) {
  form->Show(SW_SHOW);
  auto& pic = dynamic_cast<Win32PictureBox&>(form->FindPicture("pic"));
  pic.ScaleMode(kScaleModePixels);
  Timer& tick = form->FindTimer("tick");
  float row = 10;
  int runs = 0;
  tick.OnTimer([&] {
    pic.Cls();
    pic.Line(kLineSegment, 0, row, 99, row, kGreen);
    ++runs;
  });
  const auto ticks = [&](int count) {
    const int until = runs + count;
    const ULONGLONG start = GetTickCount64();
    while (runs < until && GetTickCount64() - start < 5000) {
      DoEvents();
      Sleep(5);
    }
    DoEvents();
    return runs >= until;
  };
  tick.Enabled(true);
  ASSERT_TRUE(ticks(5));
  const int settled = pic.Paints();
  EXPECT_GT(settled, 0);
  ASSERT_TRUE(ticks(10));
  EXPECT_EQ(pic.Paints(), settled);

  row = 40;
  ASSERT_TRUE(ticks(3));
  tick.Enabled(false);
  EXPECT_GT(pic.Paints(), settled);
  EXPECT_EQ(pic.PixelAt(50, 40), kGreen);
}

// The colour a window shows at a point of its client area.
Color ShownAt(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF shown = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return Rgb(GetRValue(shown), GetGValue(shown), GetBValue(shown));
}

// A tick's changes are on the screen when it ends, with no paint left
// waiting for the message loop; a pixel the tick did not change is not
// sent again.
TEST_F(Win32ControlsTest, ChangesATickSendsAreOnTheScreenAtOnce) {
  form->Show(SW_SHOW);
  auto& pic = dynamic_cast<Win32PictureBox&>(form->FindPicture("pic"));
  pic.ScaleMode(kScaleModePixels);
  pic.BackColor(kBlack);
  UpdateWindow(pic.Handle());
  DoEvents();
  ASSERT_EQ(ShownAt(pic.Handle(), 50, 20), kBlack);

  const int before = pic.Paints();
  pic.HoldUpdates();
  pic.Line(kLineSegment, 0, 20, 99, 20, kGreen);
  pic.SendChanges();
  EXPECT_FALSE(GetUpdateRect(pic.Handle(), nullptr, FALSE)) << "left to a later paint";
  EXPECT_EQ(ShownAt(pic.Handle(), 50, 20), kGreen);
  EXPECT_EQ(pic.Paints(), before + 1);

  // A pixel changed on the screen alone stays: the next tick does not
  // change it in the image, so it is not sent again.
  HDC dc = GetDC(pic.Handle());
  SetPixelV(dc, 50, 40, RGB(255, 0, 0));
  ReleaseDC(pic.Handle(), dc);
  pic.HoldUpdates();
  pic.Line(kLineSegment, 0, 10, 99, 10, kTeal);
  pic.SendChanges();
  EXPECT_EQ(ShownAt(pic.Handle(), 50, 10), kTeal);
  EXPECT_EQ(ShownAt(pic.Handle(), 50, 40), Rgb(255, 0, 0)) << "unchanged pixels sent again";
}

MSG KeyDown(HWND hwnd, WPARAM key) {
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  return msg;
}

TEST_F(Win32ControlsTest, TabMovesTheFocusAmongTheListsInTabIndexOrder) {
  form->Show(SW_SHOW);
  const HWND list = GetDlgItem(form->Handle(), 3);
  const HWND early = GetDlgItem(form->Handle(), 5);
  ASSERT_EQ(GetFocus(), early);
  MSG tab = KeyDown(early, VK_TAB);
  // The picture box between them in tab index takes no focus.
  EXPECT_TRUE(TranslateKeys(tab));
  EXPECT_EQ(GetFocus(), list);
  tab.hwnd = list;
  EXPECT_TRUE(TranslateKeys(tab));
  EXPECT_EQ(GetFocus(), early);
  // Not a form's window: left alone.
  MSG elsewhere = KeyDown(GetDesktopWindow(), VK_TAB);
  EXPECT_FALSE(TranslateKeys(elsewhere));
}

// The keys as they come through a yield: the arrows and F4 work the list,
// Enter and Esc close nothing and keep the focus where it was, and Tab
// moves it on.
TEST_F(Win32ControlsTest, KeysInAYieldWorkTheListAndCloseNothing) {
  form->Show(SW_SHOW);
  const HWND early = GetDlgItem(form->Handle(), 5);
  ASSERT_EQ(GetFocus(), early);
  DropDownList& list = form->FindList("early");
  for (const char16_t* entry : {u"lo", u"eth0", u"eth1"}) list.AddItem(entry);
  list.ListIndex(0);
  const AliveToken token = form->Token();
  struct Case {
    WPARAM key;
    std::int16_t selected;
  };
  for (const Case c : {Case{VK_DOWN, 1}, Case{VK_DOWN, 2}, Case{VK_UP, 1}, Case{VK_RETURN, 1},
                       Case{VK_ESCAPE, 1}, Case{VK_HOME, 0}}) {
    SCOPED_TRACE(c.key);
    PostMessageW(early, WM_KEYDOWN, c.key, 0);
    DoEvents();
    EXPECT_EQ(list.ListIndex(), c.selected);
    EXPECT_EQ(GetFocus(), early);
    EXPECT_TRUE(token.Alive());
  }
  MSG f4 = KeyDown(early, VK_F4);
  EXPECT_TRUE(TranslateKeys(f4));
  EXPECT_NE(SendMessageW(early, CB_GETDROPPEDSTATE, 0, 0), 0);
  MSG escape = KeyDown(early, VK_ESCAPE);
  EXPECT_TRUE(TranslateKeys(escape));
  EXPECT_EQ(SendMessageW(early, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_TRUE(token.Alive());
  PostMessageW(early, WM_KEYDOWN, VK_TAB, 0);
  DoEvents();
  const HWND next = GetDlgItem(form->Handle(), 3);
  EXPECT_EQ(GetFocus(), next);
  // Away and back: the focus returns to the control that had it.
  SendMessageW(form->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(form->Handle());
  EXPECT_EQ(GetFocus(), next);
}

TEST_F(Win32ControlsTest, ANewResolutionPlacesEverythingAgainFromTwips) {
  form->FindLabel("rate").Caption(u"下载速率: 1.00 Kb/S");
  const RECT grownAt96 = RectOf("rate");
  RECT suggested{0, 0, 800, 600};
  SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form->Dpi(), 144);
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 450);
  EXPECT_EQ(client.bottom, 300);
  // A window the description does not fix in size has a sizing border.
  EXPECT_NE(GetWindowLongW(form->Handle(), GWL_STYLE) & WS_THICKFRAME, 0);
  const RECT fixed = RectOf("fixed");
  EXPECT_EQ(fixed.left, 15);
  EXPECT_EQ(fixed.top, 60);
  EXPECT_EQ(fixed.right - fixed.left, 81);
  // A label that refitted refits again, to its text in the larger font.
  const RECT rate = RectOf("rate");
  EXPECT_EQ(rate.left, 15);
  EXPECT_GT(rate.right - rate.left, grownAt96.right - grownAt96.left);
  EXPECT_GT(rate.bottom - rate.top, grownAt96.bottom - grownAt96.top);
  auto& pic = dynamic_cast<Win32PictureBox&>(form->FindPicture("pic"));
  EXPECT_EQ(pic.ScaleWidth(), 1440.0f * 152 / 144);  // twips: (156 - 4) pixels at 144 dpi
}

// Alt+F4 with the focus in a list closes the window, as from the window
// itself; the combo box under Wine keeps the key to itself.
TEST_F(Win32ControlsTest, AltF4WithTheFocusInAListClosesTheWindow) {
  form->Show(SW_SHOW);
  const HWND early = GetDlgItem(form->Handle(), 5);
  ASSERT_EQ(GetFocus(), early);
  const AliveToken token = form->Token();
  constexpr LPARAM kAltDown = LPARAM{1} << 29;
  PostMessageW(early, WM_SYSKEYDOWN, VK_F4, kAltDown | 1);
  DoEvents();
  EXPECT_FALSE(token.Alive());
}

TEST_F(Win32ControlsTest, ClosingInsideAYieldEndsTheWindowAndKeepsTheQuitForTheMainLoop) {
  form->OnDestroyed([] { PostQuitMessage(0); });
  const AliveToken token = form->Token();
  PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  DoEvents();
  EXPECT_FALSE(token.Alive());
  // The yield met the quit request and left it for the main loop.
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
}

// Captions listed apart from what they label and standing a little lower
// than it (as the layout's do), and in a frame of its own
// two labels that overlap, listed in the opposite of reading order.
constexpr std::array kReadControls{
    ControlDescription{.name = "value",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .rect = {1500, 300, 1200, 300},
                       .caption = u"1 KB",
                       .singleBorder = true},
    ControlDescription{.name = "list",
                       .kind = ControlKind::DropDownList,
                       .container = "form",
                       .rect = {1500, 900, 2400, 330},
                       .tabIndex = 0},
    ControlDescription{.name = "pic",
                       .kind = ControlKind::PictureBox,
                       .container = "form",
                       .rect = {150, 1500, 1500, 900},
                       .accessibleName = u"rate graph",
                       .accessibleDescription = u"the last 100 samples"},
    ControlDescription{.name = "box",
                       .kind = ControlKind::Frame,
                       .container = "form",
                       .rect = {1800, 1500, 2400, 1200}},
    ControlDescription{.name = "low",
                       .kind = ControlKind::Label,
                       .container = "box",
                       .rect = {150, 500, 900, 400},
                       .caption = u"low"},
    ControlDescription{.name = "high",
                       .kind = ControlKind::Label,
                       .container = "box",
                       .rect = {150, 300, 900, 400},
                       .caption = u"high"},
    ControlDescription{.name = "listCaption",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .rect = {150, 1000, 1200, 300},
                       .caption = u"list:",
                       .labelFor = "list"},
    ControlDescription{.name = "valueCaption",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .rect = {150, 350, 1200, 300},
                       .caption = u"value:",
                       .labelFor = "value"},
};

std::vector<int> ChildIds(HWND parent) {
  std::vector<int> ids;
  for (HWND w = GetWindow(parent, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    ids.push_back(GetDlgCtrlID(w));
  }
  return ids;
}

TEST(Win32ReadingTest, CaptionsStandJustAboveTheirControlsAndOverlapsKeepTheirStacking) {
  FormDescription form = kForm;
  form.controls = kReadControls;
  const auto built = BuildWin32Form(form, GetModuleHandleW(nullptr));
  const HWND window = built->Handle();
  // Ids are positions in the description plus one.
  const HWND value = GetDlgItem(window, 1);
  const HWND list = GetDlgItem(window, 2);
  EXPECT_EQ(MsaaCaptionOf(list), GetDlgItem(window, 7));
  EXPECT_EQ(MsaaCaptionOf(value), GetDlgItem(window, 8));
  EXPECT_EQ(GetWindow(list, GW_HWNDPREV), GetDlgItem(window, 7));
  EXPECT_EQ(GetWindow(value, GW_HWNDPREV), GetDlgItem(window, 8));
  // Top to bottom, each caption first.
  EXPECT_EQ(ChildIds(window), (std::vector<int>{8, 1, 7, 2, 3, 4}));
  // "low" was listed above "high", and they overlap: that stays.
  EXPECT_EQ(ChildIds(GetDlgItem(window, 4)), (std::vector<int>{5, 6}));

  wchar_t name[32] = {};
  GetWindowTextW(GetDlgItem(window, 3), name, 32);
  EXPECT_STREQ(name, L"rate graph");
}

// The window's icons come at the sides the resolution asks for; the
// system's own application icon stands in for ours, which is a resource
// of the program.
// Labels are owner-drawn by the window that holds them, a frame or the
// form itself; what reaches the screen is what the label draws.
TEST(Win32ReadingTest, LabelsInAFrameAndOnTheFormReachTheScreen) {
  FormDescription form = kForm;
  form.controls = kReadControls;
  const auto built = BuildWin32Form(form, GetModuleHandleW(nullptr));
  built->Show(SW_SHOW);
  for (const std::string_view name : {"low", "value"}) {
    SCOPED_TRACE(name);
    auto& label = dynamic_cast<Win32Label&>(built->FindLabel(name));
    label.Caption(u"MWM 88");
    UpdateWindow(built->Handle());
    DoEvents();
    RECT r;
    GetClientRect(label.Handle(), &r);
    const std::vector<std::uint32_t> drawn = Drawn(label);
    int differ = 0;
    int ink = 0;
    for (int y = 0; y < r.bottom; ++y) {
      for (int x = 0; x < r.right; ++x) {
        const std::uint32_t bgr = drawn[static_cast<std::size_t>(y * r.right + x)] & 0xFFFFFF;
        const Color want = Rgb((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
        if (ShownAt(label.Handle(), x, y) != want) ++differ;
        if (want != kFace) ++ink;
      }
    }
    EXPECT_GT(ink, 0) << "the label draws no text";
    EXPECT_EQ(differ, 0);
  }
}

TEST(Win32IconTest, IconsComeAtTheSideTheResolutionAsksFor) {
  struct Case {
    int metric;
    int dpi;
    int side;
  };
  for (const Case c : {Case{SM_CXICON, 96, 32}, Case{SM_CXICON, 144, 48}, Case{SM_CXICON, 192, 64},
                       Case{SM_CXSMICON, 96, 16}, Case{SM_CXSMICON, 192, 32}}) {
    SCOPED_TRACE(c.dpi);
    ASSERT_EQ(IconSize(c.metric, c.dpi), c.side);
    const HICON icon = LoadIconOfSide(nullptr, IDI_APPLICATION, c.side);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, c.side);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(Win32ReadingTest, ACaptionOfNoControlIsAnError) {
  std::array controls = kReadControls;
  controls[6].labelFor = "nothing";
  FormDescription form = kForm;
  form.controls = controls;
  EXPECT_THROW(BuildWin32Form(form, GetModuleHandleW(nullptr)), std::logic_error);
}

// 2 x 2, straight alpha: red, green at half; blue, orange at a quarter.
constexpr unsigned char kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xb6, 0x0d,
    0x24, 0x00, 0x00, 0x00, 0x17, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xcf, 0xc0, 0xf0,
    0x1f, 0x08, 0x1b, 0x18, 0x80, 0xf4, 0xff, 0x13, 0x29, 0x46, 0x0e, 0x00, 0x3f, 0xcc, 0x07, 0x1a,
    0x22, 0x81, 0x51, 0x80, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

TEST(Win32PngArtTest, ArtDecodesToStraightTopDownPixelsAndDamagedArtToNothing) {
  const ArtPixels art = DecodePngArt(kPng, sizeof kPng);
  EXPECT_EQ(art.width, 2);
  EXPECT_EQ(art.height, 2);
  EXPECT_EQ(art.argb, (std::vector<std::uint32_t>{0xFFFF0000, 0x8000FF00, 0xFF0000FF, 0x40C86432}));

  // Cut after its header, its pixel data bent, or no image at all: the
  // window then draws its 1x art.
  std::vector<unsigned char> bent(std::begin(kPng), std::end(kPng));
  bent[45] ^= 0xFF;
  const std::vector<std::vector<unsigned char>> damaged{
      {std::begin(kPng), std::begin(kPng) + 33}, bent, {'n', 'o', ' ', 'P', 'N', 'G'}, {}};
  for (const auto& data : damaged) {
    EXPECT_TRUE(DecodePngArt(data.data(), data.size()).empty()) << data.size() << " bytes";
  }
}

}  // namespace
}  // namespace orv::win32
