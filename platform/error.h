#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace orv {

// Error codes of the runtime: the same numbers a caller may have met in
// the toolkit's own error reports.
enum class ErrorCode : std::int32_t {
  InvalidCall = 5,        // an argument the operation cannot take
  Overflow = 6,           // a result outside its integer width
  OutOfRange = 9,         // no such entry in a collection
  TypeMismatch = 13,      // a text that is not a number
  NotFound = 53,          // a platform call that cannot be found
  InvalidProperty = 380,  // a property value the control refuses
};

// The one exception type of the program. Steps that are allowed to fail
// throw it and are skipped by the caller; nothing else is caught.
class Error : public std::runtime_error {
 public:
  Error(ErrorCode code, const std::string& what) : std::runtime_error(what), m_code(code) {}
  ErrorCode code() const noexcept { return m_code; }

 private:
  ErrorCode m_code;
};

// Runs one step; an Error thrown by it is contained and reported as false.
// Any other exception is a programming fault and goes on to the caller.
template <class Step>
bool Attempt(Step&& step) {
  try {
    step();
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace orv
