// Replays the parameter-file fuzz corpus, then a fixed number of seeded mutations of it, through
// the fuzz target's body: every input must come back without a crash, a hang or an error left
// pending.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/core/fuzz/parameter_file_fuzz.h"
#include "tests/platform/test_support.h"

namespace {

std::vector<std::vector<uint8_t>> Corpus() {
  std::vector<std::vector<uint8_t>> inputs;
  for (const std::string& input : testutil::Corpus("tests/core/fuzz/corpus/parameter_file"))
    inputs.emplace_back(input.begin(), input.end());
  return inputs;
}

class ParameterFileFuzz : public ::testing::Test {
 protected:
  void TearDown() override {
    forms::setHost(nullptr);
    vb::SetErrorReporter(nullptr);
  }
};

TEST_F(ParameterFileFuzz, CorpusLoadsAsExpected) {
  const auto corpus = Corpus();
  ASSERT_GE(corpus.size(), 10u);
  int loaded = 0;
  for (const auto& input : corpus) loaded += parameter_file_fuzz::LoadBytes(input.data(), input.size());
  // The well-formed files of the corpus (five ini files and two legacy files) load.
  EXPECT_GE(loaded, 7);
  EXPECT_LT(loaded, static_cast<int>(corpus.size()));
}

TEST_F(ParameterFileFuzz, SeededMutationsOfTheCorpus) {
  const auto corpus = Corpus();
  std::mt19937 random(20261206);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> input = corpus[random() % corpus.size()];
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = input.empty() ? 0 : random() % input.size();
      switch (random() % 5) {
        case 0:
          if (!input.empty()) input[at] ^= static_cast<uint8_t>(1u << (random() % 8));
          break;
        case 1: input.insert(input.begin() + static_cast<long>(at), static_cast<uint8_t>(random())); break;
        case 2: input.resize(at); break;
        case 3: {
          static const char* const tokens[] = {",", "\r\n", "=", "[", "]", "\"", "-1", "99999", "4000", "5000",
                                               "[Version]\r\nFirmWare=", "&H", "Peek=", "\0"};
          const std::string t = tokens[random() % std::size(tokens)];
          input.insert(input.begin() + static_cast<long>(at), t.begin(), t.end());
          break;
        }
        default: {
          const auto& other = corpus[random() % corpus.size()];
          if (!other.empty()) {
            const std::size_t from = random() % other.size();
            input.insert(input.begin() + static_cast<long>(at), other.begin() + static_cast<long>(from),
                         other.end());
          }
        }
      }
    }
    parameter_file_fuzz::LoadBytes(input.data(), input.size());
  }
}

}  // namespace
