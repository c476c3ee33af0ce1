#pragma once

#include <memory>

#include "platform/form_description.h"
#include "toolkit/qt/form.h"

namespace orv::qt {

// Builds a hidden top-level window from a form description, every control
// named as described (its objectName). Pictures and the icon are read as
// PNG from the resource folder ":/art/".
std::unique_ptr<QtForm> BuildQtForm(const FormDescription& description);

}  // namespace orv::qt
