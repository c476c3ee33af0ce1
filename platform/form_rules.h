#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/form_description.h"

namespace orv {

// The rules a form description must keep, and the orders both toolkits
// derive from it, worked out once so the two windows cannot disagree.

// Throws std::logic_error when a control's container is neither the form
// nor a frame or picture box listed before it, or when a caption
// (labelFor) is no label or names no control of the form that a reader
// could meet (a timer has no window).
void CheckFormDescription(const FormDescription& form);

// The control of that name, or null.
const ControlDescription* FindControl(const FormDescription& form, std::string_view name);

// The form's name, then every control's: each name a control may give as
// its container.
std::vector<std::string_view> ContainerNames(const FormDescription& form);

// The description's own stacking of one container, top first, as
// positions in the description: an earlier control above a later one, and
// labels, which have no window of their own on every toolkit, beneath
// every control that has one. Timers are left out.
std::vector<std::size_t> DesignStacking(const FormDescription& form, std::string_view container);

// The stacking that reads well, top first. Screen readers read a window's
// children in this order, and Windows' accessibility names a control that
// shows no text of its own by the nearest label above it. So the order
// runs top to bottom and left to right, with each caption (labelFor) just
// above the control it labels. Where two controls' rectangles overlap, the
// one the description stacks higher must stay higher, or pixels would
// change; if the reading order would swap such a pair, the container keeps
// the description's order.
std::vector<std::size_t> ReadingStacking(const FormDescription& form, std::string_view container);

// Positions of the controls that take part in the tab order, by tab index
// (ties in the description's order).
std::vector<std::size_t> TabOrder(const FormDescription& form);

}  // namespace orv
