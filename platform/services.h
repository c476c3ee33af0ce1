#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orv {

// Delivers the pending events (paint, input, timers) and returns.
using DoEventsFn = std::function<void()>;

// The stored text of a per-user setting, or the default when it is
// missing: application, section, key, default.
using GetSettingFn = std::function<std::u16string(std::u16string_view, std::u16string_view,
                                                  std::u16string_view, std::u16string_view)>;

}  // namespace orv
