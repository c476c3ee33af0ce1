#include <cstddef>
#include <cstdint>

#include "fuzz/harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)orv::fuzz::RunNetlink(orv::fuzz::Bytes(data, size));
  return 0;
}
