#include <gtest/gtest.h>

#include "platform/vb/error.h"

namespace {

TEST(Guarded, ErrorBecomesPendingReportedAndFailureValue) {
  std::string reported;
  long numberSeen = 0;
  vb::SetErrorReporter([&](const std::string& proc) {
    reported = proc;
    numberSeen = Err.Number;
    Err.Clear();
  });
  bool ok = vb::guarded("Mod.Proc", [&] {
    vb::Raise(vb::errTypeMismatch);
    return true;
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(reported, "Mod.Proc");
  EXPECT_EQ(numberSeen, 13);
  std::string text = vb::guarded("Mod.Text", [&]() -> std::string { vb::Raise(53); });
  EXPECT_EQ(text, "");
  EXPECT_EQ(reported, "Mod.Text");
  EXPECT_EQ(vb::Error(6).Description(), "Overflow");
  // Reported to nobody, the error ends all the same: it never reaches a later report.
  vb::SetErrorReporter(nullptr);
  EXPECT_FALSE(vb::guarded("Mod.Proc", [&] {
    vb::Raise(vb::errObjectVariable);
    return true;
  }));
  EXPECT_FALSE(Err);
}

}  // namespace
