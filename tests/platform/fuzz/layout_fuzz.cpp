// libFuzzer target: window layouts.
#include "tests/platform/fuzz/layout_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  layout_fuzz::LoadBytes(data, size);
  return 0;
}
