// libFuzzer target: the parameter-file loader, ini-style and legacy paths.
#include "tests/core/fuzz/parameter_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  parameter_file_fuzz::LoadBytes(data, size);
  return 0;
}
