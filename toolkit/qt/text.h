#pragma once

#include <QString>
#include <string_view>

namespace orv::qt {

// UTF-16 code units as a QString, every unit kept as it is. Qt's own
// conversion from a std::u16string reads a leading U+FEFF or U+FFFE as a
// byte-order mark: it drops the first and byte-swaps all that follows the
// second, so a description starting with either would be shown altered.
QString ToQString(std::u16string_view text);

// The program's own ASCII names (controls, fonts, art files) as a QString.
QString Latin1(std::string_view text);

}  // namespace orv::qt
