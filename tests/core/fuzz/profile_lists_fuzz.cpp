// libFuzzer target: the profile reader and writer, and the command-list parser.
#include "tests/core/fuzz/profile_lists_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return profile_lists_fuzz::Run(data, size);
}
