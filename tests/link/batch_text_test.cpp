// The batch text: line splitting, skipped lines, and the reading of every kind of line in
// decimal and hexadecimal, including the log lines a run writes; then the fuzz corpus.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "link/batch_text.h"
#include "platform/vb/error.h"
#include "tests/link/fuzz/batch_line_fuzz.h"
#include "tests/platform/test_support.h"

namespace {

using batch::Line;

TEST(BatchText, SplitLinesAtEveryLineEnd) {
  using V = std::vector<std::string>;
  EXPECT_EQ(batch::SplitLines(""), V{});
  EXPECT_EQ(batch::SplitLines("0,1"), V{"0,1"});
  // A text ending in CR LF has an empty last line (the run logs it as "#").
  EXPECT_EQ(batch::SplitLines("0,1\r\n0,0\r\n"), (V{"0,1", "0,0", ""}));
  // Files written here end lines in LF; a lone CR ends a line too. Neither is kept in a field.
  EXPECT_EQ(batch::SplitLines("0,1\n0,12\n"), (V{"0,1", "0,12", ""}));
  EXPECT_EQ(batch::SplitLines("0,1\r0,0"), (V{"0,1", "0,0"}));
  EXPECT_EQ(batch::SplitLines("a\r\n\r\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(batch::SplitLines("a\n\rb"), (V{"a", "", "b"}));
}

TEST(BatchText, BlankAndCommentLinesAreSkipped) {
  EXPECT_TRUE(batch::IsSkipped(""));
  EXPECT_TRUE(batch::IsSkipped("    "));
  EXPECT_TRUE(batch::IsSkipped(";0,1"));
  EXPECT_TRUE(batch::IsSkipped("# a note, with a comma"));
  EXPECT_TRUE(batch::IsSkipped("#"));  // the log's own comment line
  // The comment mark counts only as the very first character.
  EXPECT_FALSE(batch::IsSkipped("   ; not a comment"));
  EXPECT_FALSE(batch::IsSkipped("0,1 ; trailing"));
  EXPECT_FALSE(batch::IsSkipped("\t"));  // only spaces make a blank line
}

struct CommandCase {
  const char* line;
  const char* prefix;
  int command, data;
};

TEST(BatchText, CommandLinesInDecimalAndHex) {
  const CommandCase cases[] = {
      {"0,1", "", 0, 1},
      {" 12 , 34 ", "", 12, 34},
      {"255,0", "", 255, 0},
      {"1,2,3,4", "", 1, 2},               // fields after the two used are ignored
      {"1F,80", "&H", 31, 128},
      {"ff,Ff", "&H", 255, 255},
      {"2024/05/01 10:20:30,1F,80,1F,80", "&H", 31, 128},  // a replayed log line
      {"2024/05/01 10:20:30,0,1,0,1", "&H", 0, 1},
      {"1/2,7,8", "", 7, 8},               // any first field with "/" is a time stamp
      {"&H1F,&H80", "", 31, 128},          // decimal mode takes the run time's own hex form
      {"2.5,3.5", "", 2, 4},               // fractions round half to even
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const Line l = batch::ParseLine(c.line, c.prefix);
    EXPECT_EQ(l.kind, Line::Command);
    EXPECT_EQ(l.command, c.command);
    EXPECT_EQ(l.data, c.data);
  }
}

TEST(BatchText, LinesWithFewerThanTwoFieldsSendNothing) {
  for (const char* line : {"12", "   ;not a comment", "2024/05/01 10:20:30,", "2024/05/01 10:20:30,1F",
                           "2024/05/01 10:20:30", "SLEEP", "2024/05/01 10:20:31,Sleep"}) {
    SCOPED_TRACE(line);
    EXPECT_EQ(batch::ParseLine(line, "").kind, Line::Short);
    EXPECT_EQ(batch::ParseLine(line, "&H").kind, Line::Short);
  }
}

TEST(BatchText, PauseLines) {
  struct PauseCase {
    const char* line;
    bool wait;
    int ms;
    const char* log;
  };
  const PauseCase cases[] = {
      {"sleep, 250", true, 250, "Sleep,250"},
      {"  SLEEP  ,  250  ", true, 250, "Sleep,250"},
      {"Sleep,0", true, 0, "Sleep,0"},
      {"2024/05/01 10:20:30,Sleep,100", true, 100, "Sleep,100"},  // a replayed pause
      {"SLEEP,abc", false, 0, "Sleep,"},
      {"SLEEP,", false, 0, "Sleep,"},
      {"SLEEP,-5", false, -5, "Sleep,-5"},  // never a negative wait, but the number is logged
      {"2024/05/01 10:20:30,Sleep,", false, 0, "Sleep,"},  // the log of a pause without wait replays as one
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    for (const char* prefix : {"", "&H"}) {  // the pause is decimal in both modes
      const Line l = batch::ParseLine(c.line, prefix);
      EXPECT_EQ(l.kind, Line::Pause);
      EXPECT_EQ(l.wait, c.wait);
      EXPECT_EQ(l.ms, c.ms);
      EXPECT_EQ(batch::PauseLog(l), c.log);
    }
  }
}

TEST(BatchText, BadNumbersRaiseTheRunTimeErrors) {
  struct BadCase {
    const char* line;
    const char* prefix;
    long error;
  };
  const BadCase cases[] = {
      {"256,0", "", vb::errOverflow},
      {"0,256", "", vb::errOverflow},
      {"-1,0", "", vb::errOverflow},
      {"100,80", "&H", vb::errOverflow},
      {"1F,80", "", vb::errTypeMismatch},     // hex without Hex ticked
      {" 1F,80", "&H", vb::errTypeMismatch},  // hex fields must be bare digits
      {",1", "", vb::errTypeMismatch},
      {"1,", "&H", vb::errTypeMismatch},
      {"zz,1", "", vb::errTypeMismatch},
      {"SLEEP,1e30", "", vb::errOverflow},    // a pause beyond a Long
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    try {
      batch::ParseLine(c.line, c.prefix);
      ADD_FAILURE() << "no error";
    } catch (const vb::Error& e) {
      EXPECT_EQ(e.Number(), c.error);
    }
  }
}

TEST(BatchText, CommandLogIsUpperCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(batch::CommandLog(0x1F, 0x80, 0x1F, 0x80), "1F,80,1F,80");
  EXPECT_EQ(batch::CommandLog(0, 10, 0xFF, 0xFF), "0,A,FF,FF");
  // The log line of a pair, time-stamped, reads back as the same pair in hexadecimal.
  const Line l = batch::ParseLine("2024/05/01 10:20:30," + batch::CommandLog(0, 10, 0xFF, 0xFF), "&H");
  EXPECT_EQ(l.kind, Line::Command);
  EXPECT_EQ(l.command, 0);
  EXPECT_EQ(l.data, 10);
}

// ---- the fuzz corpus -------------------------------------------------------------------------

std::vector<std::vector<uint8_t>> Corpus() {
  std::vector<std::vector<uint8_t>> inputs;
  for (const std::string& input : testutil::Corpus("tests/link/fuzz/corpus/batch_line"))
    inputs.emplace_back(input.begin(), input.end());
  return inputs;
}

TEST(BatchLineFuzz, CorpusParses) {
  const auto corpus = Corpus();
  ASSERT_GE(corpus.size(), 10u);
  int parsed = 0;
  for (const auto& input : corpus) parsed += batch_line_fuzz::ParseBytes(input.data(), input.size());
  EXPECT_GT(parsed, 10);
}

TEST(BatchLineFuzz, SeededMutationsOfTheCorpus) {
  const auto corpus = Corpus();
  std::mt19937 random(20261207);
  static const char* const tokens[] = {",", "\r\n", "\n", "\r", "/", ";", "#", "SLEEP", "sleep,", "&H",
                                       "-", "255", "256", "1e9", "FF", " ", "\t", "\0"};
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> input = corpus[random() % corpus.size()];
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = input.empty() ? 0 : random() % input.size();
      switch (random() % 4) {
        case 0:
          if (!input.empty()) input[at] = static_cast<uint8_t>(random());
          break;
        case 1: {
          const std::string t = tokens[random() % std::size(tokens)];
          input.insert(input.begin() + static_cast<long>(at), t.begin(), t.end());
          break;
        }
        case 2:
          input.resize(at);
          break;
        default:
          if (!input.empty()) input.erase(input.begin() + static_cast<long>(at));
      }
    }
    batch_line_fuzz::ParseBytes(input.data(), input.size());
  }
}

}  // namespace
