#pragma once

#include <QColor>

#include "platform/color.h"

namespace orv::qt {

inline QColor ToQColor(Color color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

}  // namespace orv::qt
