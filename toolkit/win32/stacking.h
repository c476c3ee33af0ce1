#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/form_description.h"

namespace orv::win32 {

// The order, top first, in which to stack the child windows of one
// container: the positions in the description of its controls (timers
// have no window and are left out).
//
// Screen readers read a window's children in this order, and Active
// Accessibility names a control that shows no text of its own by the
// nearest STATIC above it. So the order runs top to bottom and left to
// right, with each caption (labelFor) just above the control it labels.
// Where two controls' rectangles overlap, the one the description stacks
// higher must stay higher, or pixels would change; if the reading order
// would swap such a pair, the container keeps the description's order.
std::vector<std::size_t> StackingOrder(const FormDescription& form, std::string_view container);

}  // namespace orv::win32
