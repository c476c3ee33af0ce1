// The colours the Win32 window paints in at the default scheme, and the
// high-contrast flags as the registry hands them over.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "toolkit/win32/color_scheme.h"

namespace orv::win32 {
namespace {

constexpr Color kFace = Rgb(240, 240, 240);
constexpr Color kGrey = Rgb(64, 64, 64);

constexpr std::array kControls{
    ControlDescription{.name = "frame",
                       .kind = ControlKind::Frame,
                       .container = "form",
                       .backColor = Rgb(200, 220, 240)},
    ControlDescription{.name = "plain", .kind = ControlKind::Label, .container = "frame"},
    ControlDescription{
        .name = "grey", .kind = ControlKind::Label, .container = "form", .foreColor = kGrey},
    ControlDescription{.name = "box",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .foreColor = Rgb(0, 0, 0),
                       .backColor = Rgb(255, 255, 255),
                       .opaque = true},
    ControlDescription{.name = "list", .kind = ControlKind::DropDownList, .container = "form"},
};
// A dark standard scheme, so that no system default can pass for it.
constexpr FormDescription kForm{
    .name = "form",
    .backColor = kFace,
    .colors = {.text = Rgb(10, 20, 30), .face = kFace, .window = Rgb(250, 250, 200)},
    .controls = kControls};

TEST(ColorSchemeTest, BlankCellsTakeTheFormsStandardColorsNotTheSystems) {
  if (HighContrastOn()) GTEST_SKIP() << "the prefix has high contrast on";
  const ColorScheme scheme(kForm);
  struct Case {
    std::size_t control;
    COLORREF text;
    COLORREF back;
  };
  const Case cases[] = {
      {1, RGB(10, 20, 30), RGB(200, 220, 240)},  // the frame's ground behind it
      {2, RGB(64, 64, 64), RGB(240, 240, 240)},
      {3, RGB(0, 0, 0), RGB(255, 255, 255)},
      {4, RGB(10, 20, 30), RGB(250, 250, 200)},  // a list's field: the standard window
  };
  for (const Case& c : cases) {
    const TextColors got = scheme.ColorsOf(kControls[c.control]);
    EXPECT_EQ(got.text, c.text) << kControls[c.control].name;
    EXPECT_EQ(got.back, c.back) << kControls[c.control].name;
  }
  EXPECT_EQ(scheme.Face(), RGB(240, 240, 240));
  EXPECT_FALSE(ColorScheme(kForm).HighContrast());
}

TEST(ColorSchemeTest, HighContrastFlagsAreADecimalNumberOrNothing) {
  struct Case {
    const wchar_t* text;
    std::optional<DWORD> flags;
  };
  const Case cases[] = {
      {L"127", 127},
      {L"126", 126},
      {L"0", 0},
      {L"4294967295", 0xFFFFFFFFu},
      {L"", std::nullopt},
      {L"4294967296", std::nullopt},
      {L"12345678901", std::nullopt},
      {L"12a", std::nullopt},
      {L" 1", std::nullopt},
      {L"-1", std::nullopt},
      {L"0x7F", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseHighContrastFlags(c.text), c.flags) << static_cast<int>(wcslen(c.text));
  }
}

}  // namespace
}  // namespace orv::win32
