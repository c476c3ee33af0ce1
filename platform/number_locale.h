#pragma once

#include <string>

namespace orv {

// The separators a locale uses when numbers are written as text.
struct NumberLocale {
  std::u16string decimal = u".";
  std::u16string group = u",";
  std::u16string date = u"/";
};

}  // namespace orv
