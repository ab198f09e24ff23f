// Baud-rate detection and the calibration of the poll interval.
#include <ctime>

#include "link_fixture.h"

namespace linktest {
namespace {

using mdlMSComm::gblnSetBaudRate;
using mdlMSComm::mblnCheckBaudRate;

class BaudRate : public LinkTest {
 protected:
  void startAt(long baud, const std::string& stored) {
    sim::CameraConfig config;
    config.baud = baud;
    start(config);
    gstrSettings = stored;
    open();
  }
  // The syncs the program sent (also those the camera did not hear).
  size_t syncsSent() const {
    std::vector<uint8_t> bytes = sim->line->SentBytes();
    size_t n = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
      if (bytes[i] == 0 && bytes[i + 1] == 1) ++n;
    return n;
  }
};

TEST_F(BaudRate, CalibrationEndsAtTheShortestIntervalThatFindsTheReplyAtTheFirstPoll) {
  // 9600 baud: a command and its reply take 4.6 ms on the wire, so 5 ms is the shortest.
  startAt(9600, "9600,n,8,2");
  glngSleepTimeUnit = 300;
  EXPECT_TRUE(gblnSetBaudRate());
  EXPECT_EQ(glngSleepTimeUnit, 5);
  EXPECT_EQ(gstrSettings, "9600,n,8,2");
  EXPECT_EQ(comm->Settings(), "9600,n,8,2");
  // Probes at 100, 90, ..., 10, 9, ..., 5 and the failing one at 4.
  EXPECT_EQ(syncsSent(), 16u);

  // A setting outside the two candidates is probed first and kept when it answers; on a
  // fast line every interval finds the reply at once and the calibration ends at 1.
  startAt(115200, "115200,n,8,2");
  EXPECT_TRUE(gblnSetBaudRate());
  EXPECT_EQ(glngSleepTimeUnit, 1);
  EXPECT_EQ(gstrSettings, "115200,n,8,2");
  EXPECT_EQ(syncsSent(), 19u);  // 100 to 10 (10 probes), 9 to 1 (9 probes)
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(BaudRate, AReplyOnlyAtTheSecondPollKeepsOneHundred) {
  startAt(9600, "9600,n,8,2");
  glngSleepTimeUnit = 40;
  camera().AddFault(fault("delay:ms=150:count=1"));
  EXPECT_TRUE(gblnSetBaudRate());
  EXPECT_EQ(glngSleepTimeUnit, 100);
  EXPECT_EQ(syncsSent(), 1u);
}

TEST_F(BaudRate, AWrongStoredSettingIsReplacedByTheOneThatAnswers) {
  startAt(1200, "9600,n,8,2");
  EXPECT_TRUE(gblnSetBaudRate());
  EXPECT_EQ(gstrSettings, "1200,n,8,2");
  EXPECT_EQ(comm->Settings(), "1200,n,8,2");
  EXPECT_EQ(sim->line->Settings().baud, 1200);
  // 36.7 ms on the wire at 1200 baud: 40 ms is the shortest interval.
  EXPECT_EQ(glngSleepTimeUnit, 40);
  // One probe at 9600 (timed out once, not tried again), then 100, 90, ..., 40 and 30 at 1200.
  EXPECT_EQ(syncsSent(), 9u);
  EXPECT_EQ(camera().Received().size(), 8u);
}

TEST_F(BaudRate, NoAnswerAnywhereLeavesTheSettingsAndTheInterval) {
  startAt(4800, "9600,n,8,2");
  glngSleepTimeUnit = 70;
  const double t0 = seconds();
  EXPECT_FALSE(gblnSetBaudRate());
  EXPECT_EQ(gstrSettings, "9600,n,8,2");
  EXPECT_EQ(comm->Settings(), "9600,n,8,2");
  EXPECT_EQ(glngSleepTimeUnit, 70);
  // 9600 and 1200 probed once each, each giving up after more than the time-out.
  EXPECT_EQ(syncsSent(), 2u);
  EXPECT_GT(seconds() - t0, 2 * 5.0);
  EXPECT_LT(seconds() - t0, 2 * 6.2);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(BaudRate, AutomaticChangeOffProbesNothing) {
  startAt(1200, "9600,n,8,2");
  gblnAutoBaudRateChange = false;
  glngSleepTimeUnit = 250;
  EXPECT_TRUE(gblnSetBaudRate());
  EXPECT_EQ(glngSleepTimeUnit, 250);
  EXPECT_EQ(syncsSent(), 0u);
}

TEST_F(BaudRate, OneWrongReplyIsForgivenTwoFailTheProbeATimeOutFailsAtOnce) {
  startAt(9600, "9600,n,8,2");
  gblnWriteErrLogWrongReplay = true;
  camera().AddFault(fault("corrupt:c=0:d=1:index=1:value=0:count=1"));
  camera().AddFault(fault("corrupt:c=0:d=1:index=0:value=0xFF:count=1"));
  int32_t polls = -1;
  EXPECT_TRUE(mblnCheckBaudRate("9600,n,8,2", "100", polls));
  EXPECT_EQ(polls, 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "WrongReplay[0,1,FF,0]");
  EXPECT_EQ(syncsSent(), 2u);

  camera().AddFault(fault("corrupt:c=0:d=1:index=1:value=7:count=2"));
  EXPECT_FALSE(mblnCheckBaudRate("9600,n,8,2", "100", polls));
  EXPECT_EQ(syncsSent(), 4u);

  camera().AddFault(fault("drop:c=0:d=1:count=2"));
  EXPECT_FALSE(mblnCheckBaudRate("9600,n,8,2", "100", polls));
  EXPECT_EQ(syncsSent(), 5u);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(gbyteCurrentMode, 0);  // the probe does not touch the mode
}

// At 1200 baud every probe first waits half its interval, then sends the sync.
TEST_F(BaudRate, At1200TheProbeFirstWaitsHalfItsInterval) {
  startAt(1200, "1200,n,8,2");
  const int64_t charUs = sim->line->Settings().CharTimeUs();
  for (const auto& [interval, half] : {std::pair{"100", 50000}, std::pair{"5", 2000}, std::pair{"1", 0}}) {
    sim->line->ClearLog();
    const int64_t start = clock().NowUs();
    int32_t polls = -1;
    ASSERT_TRUE(mblnCheckBaudRate("1200,n,8,2", interval, polls)) << interval;
    ASSERT_FALSE(sim->line->Log().empty());
    EXPECT_EQ(sim->line->Log().front().atUs - start - charUs, half) << interval;
  }
}

TEST_F(BaudRate, TheProbeCountsEmptyPollsAndGivesUpAfterAtLeastTheRetryPolls) {
  startAt(9600, "9600,n,8,2");
  int32_t polls = -1;
  camera().AddFault(fault("delay:ms=25:count=1"));
  EXPECT_TRUE(mblnCheckBaudRate("9600,n,8,2", "10", polls));
  EXPECT_EQ(polls, 2);  // empty at 10 and 20 ms, there at 30 ms

  // Time-out with a short interval: more than 5 s; with many retries: at least 60 polls.
  camera().SetSilent(true);
  glngRcvRetry = 60;
  double t0 = seconds();
  EXPECT_FALSE(mblnCheckBaudRate("9600,n,8,2", "100", polls));
  EXPECT_GE(seconds() - t0, 6.0 - 1e-6);
  EXPECT_LT(seconds() - t0, 6.2);
  glngRcvRetry = 10;
  t0 = seconds();
  EXPECT_FALSE(mblnCheckBaudRate("9600,n,8,2", "1", polls));
  EXPECT_GT(seconds() - t0, 5.0);
  EXPECT_LT(seconds() - t0, 6.1);
}

TEST(DayClock, CountsSecondsFromTheMonthStartAndFallsBackAtItsEnd) {
  std::tm end{};
  end.tm_year = 2026 - 1900;
  end.tm_mon = 0;
  end.tm_mday = 31;
  end.tm_hour = 23;
  end.tm_min = 59;
  end.tm_sec = 59;
  end.tm_isdst = -1;
  serial::VirtualClock clock(std::chrono::system_clock::from_time_t(std::mktime(&end)));
  serial::setClock(&clock);
  EXPECT_EQ(mdlMSComm::mlngGetDDHHMMSS(), ((31 * 24 + 23) * 60 + 59) * 60 + 59);
  clock.Sleep(1000);
  EXPECT_EQ(mdlMSComm::mlngGetDDHHMMSS(), 24 * 3600);
  serial::setClock(nullptr);
}

}  // namespace
}  // namespace linktest
