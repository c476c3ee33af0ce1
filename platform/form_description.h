#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/color.h"

namespace orv {

// A window described as data, for any toolkit's form builder to place.

enum class ControlKind : std::uint8_t { Label, Frame, DropDownList, PictureBox, Timer };

enum class TextAlign : std::uint8_t { Left, Right };

// Twips: 1/1440 inch, 15 to a pixel at 96 dots per inch.
struct TwipsRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A font by the face name the layout was measured with; a toolkit without
// that face uses the nearest one it has, at the same size.
struct FontDescription {
  std::u16string_view face{};
  double points = 9;
  bool bold = false;
};

struct ControlDescription {
  std::string_view name{};
  ControlKind kind = ControlKind::Label;
  // The form's name, or the name of the frame or picture box holding it.
  std::string_view container{};
  // From the top-left of the container's inner area; timers have none.
  TwipsRect rect{};
  // Position in the tab order; -1 for timers, which take no part.
  std::int16_t tabIndex = -1;
  std::u16string_view caption{};
  // Unset: the form's standard text colour.
  std::optional<Color> foreColor{};
  // Unset: the form's background, a list's the standard window colour.
  // Labels paint it only when opaque.
  std::optional<Color> backColor{};
  bool opaque = false;
  bool singleBorder = false;
  TextAlign align = TextAlign::Left;
  // The label refits to its text, on one line, from its top-left corner.
  bool autoSize = false;
  bool wordWrap = false;
  // Unset: the form's font.
  std::optional<FontDescription> font{};
  std::int32_t intervalMs = 0;
  // A picture box's art, drawn unscaled at the top-left of its inner area.
  std::string_view picture{};
  // A label that captions another control: that control is named by the
  // label's text for screen readers.
  std::string_view labelFor{};
  // For controls no label captions: what a screen reader calls it, and
  // what it shows.
  std::u16string_view accessibleName{};
  std::u16string_view accessibleDescription{};
};

// The standard light scheme, Windows' classic defaults: what a colour the
// layout leaves blank stands for. Not the desktop's current scheme: the
// layout fixes its faces and fields light, and a dark scheme's light text
// on them could not be read.
struct StandardColors {
  Color text = Rgb(0, 0, 0);
  Color face = Rgb(240, 240, 240);
  Color window = Rgb(255, 255, 255);
};

// The controls are listed in the order the window holds them: within one
// container an earlier control lies above a later one where they overlap,
// and labels, which have no window of their own, lie beneath all the
// container's other controls.
struct FormDescription {
  std::string_view name{};
  std::u16string_view caption{};
  // Client area; left and top are the platform's to choose.
  TwipsRect client{};
  Color backColor = 0;
  StandardColors colors{};
  FontDescription font{};
  std::string_view icon{};
  // Neither resized nor maximised: the controls never follow the size.
  bool fixedSize = false;
  std::span<const ControlDescription> controls{};
};

// The colours a toolkit paints a control in, every blank cell resolved, so
// that each toolkit paints the same whatever the desktop's scheme.
inline Color ForeColorOf(const FormDescription& form, const ControlDescription& d) {
  return d.foreColor.value_or(form.colors.text);
}

// What shows behind the controls of a container: the frame's or picture
// box's own background, else the form's.
inline Color ContainerBackColor(const FormDescription& form, std::string_view container) {
  for (const ControlDescription& d : form.controls) {
    if (d.name == container && d.backColor) return *d.backColor;
  }
  return form.backColor;
}

// What shows behind a control's text: an opaque label's or a list's own
// background, a transparent label's container.
inline Color BackColorOf(const FormDescription& form, const ControlDescription& d) {
  switch (d.kind) {
    case ControlKind::Label:
      return d.opaque ? d.backColor.value_or(form.backColor)
                      : ContainerBackColor(form, d.container);
    case ControlKind::DropDownList:
      return d.backColor.value_or(form.colors.window);
    default:
      return d.backColor.value_or(form.backColor);
  }
}

// Whole pixels at a resolution, rounded to nearest.
inline int TwipsToPixels(std::int32_t twips, int dpi) {
  return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

inline int PointsToPixels(double points, int dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

}  // namespace orv
