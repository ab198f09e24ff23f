// Replays the layout fuzz corpus, then seeded mutations of it, through the fuzz target's body.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "platform/forms/scripted_host.h"
#include "tests/platform/fuzz/layout_fuzz.h"

namespace {

std::vector<std::vector<uint8_t>> Corpus() {
  std::vector<std::vector<uint8_t>> inputs;
  const std::filesystem::path folder = std::filesystem::path(ORVADEX_SOURCE_DIR) / "tests/platform/fuzz/corpus/layout";
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return inputs;
}

TEST(LayoutFuzz, CorpusAndSeededMutations) {
  forms::ScriptedHost host;  // no message box may appear
  host.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
  const auto corpus = Corpus();
  ASSERT_GE(corpus.size(), 4u);
  int loaded = 0;
  for (const auto& input : corpus) loaded += layout_fuzz::LoadBytes(input.data(), input.size());
  EXPECT_GE(loaded, 3);  // sample, containers, empty (and the list dialog when present)
  std::mt19937 random(20261207);
  const std::string alphabet = " =\"()\n#&Hin=tab=-09";
  for (int round = 0; round < 600; ++round) {
    std::vector<uint8_t> input = corpus[random() % corpus.size()];
    for (int e = 1 + static_cast<int>(random() % 6); e > 0; --e) {
      const std::size_t at = input.empty() ? 0 : random() % input.size();
      switch (random() % 4) {
        case 0:
          if (!input.empty()) input[at] = static_cast<uint8_t>(alphabet[random() % alphabet.size()]);
          break;
        case 1:
          if (!input.empty()) input.erase(input.begin() + static_cast<long>(at));
          break;
        case 2:
          input.insert(input.begin() + static_cast<long>(at), static_cast<uint8_t>(alphabet[random() % alphabet.size()]));
          break;
        default:
          if (!input.empty()) input[at] ^= static_cast<uint8_t>(1u << (random() % 8));
          break;
      }
    }
    layout_fuzz::LoadBytes(input.data(), input.size());
  }
}

}  // namespace
