#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orv {

// The controls the window's logic works with, whatever toolkit draws them.
// Text is UTF-16, kept unit for unit. Any operation may throw Error.

// A text label. An auto-size label refits to its text from its fixed
// top-left corner whenever the caption changes.
class Label {
 public:
  virtual ~Label() = default;
  virtual std::u16string Caption() const = 0;
  virtual void Caption(std::u16string_view text) = 0;
};

// List positions are 16-bit: an entry past this many could never be
// selected, so no list takes more.
inline constexpr std::int16_t kMaxListEntries = 32767;

// A pick-only list: no typed text. Positions count from 0, -1 is none;
// the list holds at most kMaxListEntries entries.
class DropDownList {
 public:
  virtual ~DropDownList() = default;
  // Appends last; Error(Overflow) when the list is full.
  virtual void AddItem(std::u16string_view text) = 0;
  virtual void Clear() = 0;
  virtual std::int16_t ListCount() const = 0;
  virtual std::int16_t ListIndex() const = 0;
  // Error(InvalidProperty) outside -1 .. ListCount() - 1.
  virtual void ListIndex(std::int16_t position) = 0;
  // The entry at a position; Error(InvalidProperty) outside 0 .. ListCount() - 1.
  virtual std::u16string List(std::int16_t position) const = 0;
};

// A repeating timer. Its events come only when the user-interface thread
// is idle or inside a yield.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual bool Enabled() const = 0;
  // false stops its events; true starts its period anew.
  virtual void Enabled(bool on) = 0;
  // What runs on each event. An exception that escapes it is reported by
  // the toolkit and ends the program.
  virtual void OnTimer(std::function<void()> handler) = 0;
};

}  // namespace orv
