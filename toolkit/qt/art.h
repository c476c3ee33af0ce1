#pragma once

#include <QIcon>
#include <QPixmap>
#include <string_view>

namespace orv::qt {

// The art is PNG in the resource folder ":/art/".

// A picture for a screen of the given device-pixel ratio: above 1 its
// twice-as-large drawing "<name>@2x" where there is one, marked as such
// so it shows at the picture's own size, only sharper.
QPixmap LoadPicture(std::string_view name, qreal devicePixelRatio);

// An icon with every size drawn: "<name>.png" and each "<name>-<size>.png".
QIcon LoadIcon(std::string_view name);

}  // namespace orv::qt
