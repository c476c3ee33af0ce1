#include <cmath>

#include "fuzz/harnesses.h"
#include "monitor/connection_list.h"
#include "platform/convert.h"
#include "platform/error.h"

namespace orv::fuzz {

std::int16_t RunChoice(Bytes input) {
  Cursor in(input);
  const auto listCount = static_cast<std::int16_t>(in.U16());
  const std::u16string text = TextFrom(in.Rest());

  std::int16_t position = 0;
  try {
    position = ChoicePosition(text, listCount);
  } catch (const Error&) {
    // A stored setting is read at start-up, outside any step that may fail.
    ORV_FUZZ_CHECK(!"ChoicePosition let an error through");
  }
  if (listCount <= 0) {
    ORV_FUZZ_CHECK(position == -1);
    return position;
  }
  ORV_FUZZ_CHECK(position >= -1 && position < listCount);
  // Anything but the first entry is the number the text starts with,
  // rounded half to even.
  if (position != 0) {
    double value = 0;
    ORV_FUZZ_CHECK(Attempt([&] { value = Val(text); }));
    ORV_FUZZ_CHECK(std::fabs(value - position) <= 0.5);
  }
  return position;
}

}  // namespace orv::fuzz
