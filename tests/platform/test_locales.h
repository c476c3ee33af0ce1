#pragma once

#include "platform/number_locale.h"

// Locales pinned by the number tests, so that results never depend on the
// machine's settings.
namespace orv::testing_locales {

inline const NumberLocale kEnglish{u".", u",", u"/"};
inline const NumberLocale kGerman{u",", u".", u"."};
// A group separator of another character than the ASCII ones.
inline const NumberLocale kSpaces{u",", u"\u00A0", u"-"};

}  // namespace orv::testing_locales
