// The seed corpus of the profile-and-list fuzz target, replayed under any compiler, and a
// fixed-seed run of small mutations of it.
#include <gtest/gtest.h>

#include <random>

#include "tests/core/fuzz/profile_lists_fuzz.h"
#include "tests/platform/test_support.h"

namespace {

std::vector<std::string> Corpus() { return testutil::Corpus("tests/core/fuzz/corpus/profile_lists"); }

void RunOne(const std::string& input) {
  profile_lists_fuzz::Run(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

TEST(ProfileListsFuzz, SeedCorpusReplays) {
  const auto inputs = Corpus();
  ASSERT_GE(inputs.size(), 10u);
  for (const std::string& input : inputs) RunOne(input);
  for (auto& e : gobjDataInfo) e.reset();
}

TEST(ProfileListsFuzz, MutatedCorpusKeepsTheInvariants) {
  const auto inputs = Corpus();
  std::mt19937 random(20240501);
  const char alphabet[] = "[]=;\"' \t\r\n,|0123456789abcS\x1a";
  for (int round = 0; round < 3000; ++round) {
    std::string input = inputs[random() % inputs.size()];
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
      const char c = alphabet[random() % (sizeof alphabet - 1)];
      switch (random() % 3) {
        case 0: input.insert(input.begin() + static_cast<long>(at), c); break;
        case 1: if (at < input.size()) input.erase(at, 1); break;
        default: if (at < input.size()) input[at] = c; break;
      }
    }
    RunOne(input);
  }
  for (auto& e : gobjDataInfo) e.reset();
}

}  // namespace
