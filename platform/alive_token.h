#pragma once

#include <functional>
#include <utility>

namespace orv {

// Tells whether a window still exists. A yield to the toolkit may close or
// delete the window whose handler is running; the handler holds a token
// (a copy that outlives the window) and touches nothing of the window
// after a yield unless the token says it is still there.
class AliveToken {
 public:
  AliveToken() = default;
  explicit AliveToken(std::function<bool()> check) : m_check(std::move(check)) {}
  bool Alive() const { return m_check && m_check(); }

 private:
  std::function<bool()> m_check;
};

}  // namespace orv
