#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/common_helpers.h"
#include "core/logs.h"
#include "platform/vb/vb.h"
#include "tests/core/core_fixture.h"

namespace {

using Logs = testutil::CoreTest;

// The stamp is "yyyy/mm/dd hh:mm:ss" and lies between the two moments given.
void ExpectStamp(const std::string& stamp, const std::string& before, const std::string& after) {
  EXPECT_TRUE(testutil::HasShape(stamp, "####/##/## ##:##:##")) << stamp;
  EXPECT_LE(before, stamp);
  EXPECT_LE(stamp, after);
}

std::string Now() { return vb::Format(vb::Now(), "yyyy/mm/dd hh:mm:ss"); }

TEST_F(Logs, PendingErrorIsLoggedShownAndCleared) {
  const std::string before = Now();
  Err.Set(vb::Error(13));
  SubMain::gErrorProc("mdlCommon.GetExt");
  const std::string after = Now();
  EXPECT_FALSE(Err);
  EXPECT_EQ(host.boxes, (std::vector<testutil::Box>{
                            {"System error occured.\r\nNo.13)Type mismatch", forms::vbCritical | forms::vbOKOnly,
                             "mdlCommon.GetExt"}}));
  const std::string log = dir.read("orvadex.ERR");
  ASSERT_EQ(log.substr(log.size() - 2), "\r\n");
  ASSERT_EQ(log[0], '[');
  ExpectStamp(log.substr(1, 19), before, after);
  EXPECT_EQ(log.substr(20), "]\tmdlCommon.GetExt\t13\tType mismatch\r\n");
}

TEST_F(Logs, DiagnosticsWithoutErrorShowNothingAndKeepCallOrder) {
  SubMain::gErrorProc("first record");
  SubMain::gErrorProc("second record");
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"first record", "second record"}));
  // The error log grows across runs: nothing removes it.
  EXPECT_TRUE(mdlCommon::gblnDeleteFile(SubMain::gstrCommLogFile()));
  EXPECT_TRUE(dir.exists("orvadex.ERR"));
}

TEST_F(Logs, AnUnwritableErrorLogStillShowsTheBox) {
  std::filesystem::create_directory(dir.file("orvadex.ERR"));
  Err.Set(vb::Error(53));
  SubMain::gErrorProc("frmMain.cmdCheck_Click");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].prompt, "System error occured.\r\nNo.53)File not found");
  EXPECT_FALSE(Err);
}

TEST_F(Logs, CommLogLinesInHexadecimal) {
  const std::string before = Now();
  ASSERT_TRUE(SubMain::gblnWriteCommLog(true, 0x30, 0x64, 0x30, 0x64));
  ASSERT_TRUE(SubMain::gblnWriteCommLog(false, 0, 10, 0xFF, 0xFF));
  ASSERT_TRUE(SubMain::gblnWriteCommLog(true, 0x1F, 0xFF, 0xFF, 0x80));
  const std::string after = Now();
  const std::string log = dir.read("orvadex.LOG");
  std::vector<std::string> lines = vb::Split(log, "\r\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "");
  const char* tails[] = {",30,64,30,64", ",0,A", ",1F,FF,FF,80"};
  for (int i = 0; i < 3; ++i) {
    ExpectStamp(lines[i].substr(0, 19), before, after);
    EXPECT_EQ(lines[i].substr(19), tails[i]);
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Logs, CommLogThatCannotBeWrittenIsReported) {
  std::filesystem::create_directory(dir.file("orvadex.LOG"));
  EXPECT_FALSE(SubMain::gblnWriteCommLog(false, 1, 2, 0, 0));
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"SubMain.gblnWriteCommLog\t75\tPath/File access error"}));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "SubMain.gblnWriteCommLog");
}

// The disk fills in the middle of a line (the file-size limit of a child process stands in for
// a full disk): that line is not written at all, the lines before it stay whole and end with
// their line end, and the failure is reported.
TEST_F(Logs, ALineTheFullDiskCutsIsNotWrittenAtAll) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(SubMain::gblnWriteCommLog(true, 0x30, 0x64, 0x30, 0x64));
  const std::string before = dir.read("orvadex.LOG");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlim_t room = before.size() + 12;  // the next line fits in part
    const struct rlimit limit {room, room};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool written = SubMain::gblnWriteCommLog(true, 0x4D, 0x77, 0x4D, 0x77);
    ::_exit(written ? 1 : host.boxes.size() == 1 ? 0 : 2);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write reported success; 2: nothing was shown";
  EXPECT_EQ(dir.read("orvadex.LOG"), before);
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"SubMain.gblnWriteCommLog\t61\tDisk full"}));
  // The next line, with room again, starts a line of its own.
  ASSERT_TRUE(SubMain::gblnWriteCommLog(false, 0x4D, 0x77, 0, 0));
  const std::string after = dir.read("orvadex.LOG");
  ASSERT_EQ(after.substr(0, before.size()), before);
  EXPECT_EQ(after.substr(before.size() + 19), ",4D,77\r\n");
}

}  // namespace
