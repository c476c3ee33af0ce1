#pragma once

#include <string_view>

#include "platform/alive_token.h"
#include "platform/controls.h"
#include "platform/picture_surface.h"

namespace orv {

// A window built by a toolkit from a form description: its controls,
// found by their names. Destroying the form destroys the window.
class Form {
 public:
  virtual ~Form() = default;

  // The control of that name and kind. A name the form does not hold is a
  // fault of the program, not of the moment: std::logic_error.
  virtual Label& FindLabel(std::string_view name) = 0;
  virtual DropDownList& FindList(std::string_view name) = 0;
  virtual PictureSurface& FindPicture(std::string_view name) = 0;
  virtual Timer& FindTimer(std::string_view name) = 0;

  // False once the window is gone, however it went.
  virtual AliveToken Token() const = 0;
};

}  // namespace orv
