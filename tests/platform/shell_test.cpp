// Shell: starting another program without waiting for it, and the errors of a failed start.
#include "platform/vb/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/vb/error.h"
#include "tests/platform/temp_folder.h"

namespace {

// Waits for the started program to leave its mark (it runs on its own; the wait only bounds a
// program that never starts).
bool appears(const std::string& path) {
  for (int i = 0; i < 1000; ++i) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(Shell, StartsTheProgramAndReturnsItsProcessId) {
  testutil::TempFolder dir;
  dir.write("viewer", "#!/bin/sh\necho \"$$\" > \"" + dir.file("ran.tmp") + "\"\nmv \"" + dir.file("ran.tmp") +
                          "\" \"" + dir.file("ran") + "\"\n");
  std::filesystem::permissions(dir.file("viewer"), std::filesystem::perms::owner_all);
  const long pid = vb::Shell(dir.file("viewer"), vb::vbNormalFocus);
  EXPECT_GT(pid, 0);
  ASSERT_TRUE(appears(dir.file("ran")));
  EXPECT_EQ(dir.read("ran"), std::to_string(pid) + "\n");
}

TEST(Shell, AProgramThatCannotStartRaisesTheRunTimesError) {
  testutil::TempFolder dir;
  dir.write("text", "not a program\n");
  std::filesystem::permissions(dir.file("text"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const std::pair<std::string, long> cases[] = {
      {"", vb::errInvalidCall},
      {dir.file("missing"), vb::errFileNotFound},
      {dir.file("missing/viewer"), vb::errFileNotFound},
      {dir.file("text"), vb::errPermissionDenied},  // not executable, also for root
      {dir.path(), vb::errPermissionDenied},        // a folder
  };
  for (const auto& [path, number] : cases) {
    SCOPED_TRACE(path);
    try {
      vb::Shell(path);
      ADD_FAILURE() << "started";
    } catch (const vb::Error& e) {
      EXPECT_EQ(e.Number(), number);
    }
  }
}

}  // namespace
