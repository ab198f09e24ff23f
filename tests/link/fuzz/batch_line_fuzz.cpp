// libFuzzer target: the batch window's reading of batch lines.
#include "tests/link/fuzz/batch_line_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  batch_line_fuzz::ParseBytes(data, size);
  return 0;
}
