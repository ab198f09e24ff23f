// The command transaction: reply check, time-outs, wrong replies, recovery and the questions.
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

class Transaction : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    open();
  }
  // A wrong reply asks at once; the question and "Anyway continue?" are answered No.
  void askAtOnceAndGiveUp() {
    glngRetryWrongReplayBeforeMsg = 0;
    host.answers = {forms::vbNo, forms::vbNo};
  }
  const std::string title = SubMain::gstrGetAppTitleString();
};

TEST_F(Transaction, EchoAndSystemRepliesAreAcceptedAndTrackTheMode) {
  EXPECT_TRUE(send(0, 1).ok);
  EXPECT_EQ(gbyteCurrentMode, 1);
  EXPECT_EQ(send(65, 40), (Sent{true, 65, 40}));
  EXPECT_EQ(camera().Value(65), 40);
  // A query answered with its own number is taken as an echo and becomes the mode.
  camera().Config().firmware = 16;
  EXPECT_EQ(send(0, 16), (Sent{true, 0, 16}));
  EXPECT_EQ(gbyteCurrentMode, 16);
  EXPECT_TRUE(send(0, 0).ok);
  EXPECT_EQ(gbyteCurrentMode, 0);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(wire(), (Wire{{0, 1}, {65, 40}, {0, 16}, {0, 0}}));
}

TEST_F(Transaction, SyncAnsweredFFFFIsAcceptedOtherSystemCommandsAreWrongReplies) {
  camera().AddFault(fault("syncffff"));
  gbyteCurrentMode = 7;
  EXPECT_EQ(send(0, 1), (Sent{true, 0xFF, 0xFF}));
  EXPECT_EQ(gbyteCurrentMode, 1);

  // The camera type query refused: a wrong reply (no removal for system commands).
  camera().Config().unsupportedFunctions = {0x17};
  askAtOnceAndGiveUp();
  EXPECT_FALSE(send(0, 0x17).ok);
  EXPECT_EQ(host.boxes, (std::vector<Box>{{"Unexpected reply from the camera. Retry?\r\nSend Command:0   Data:23\r\n"
                                           "Get  Command:255   Data:255",
                                           forms::vbYesNo + forms::vbExclamation, title},
                                          {"Anyway continue?", host.boxes.at(1).buttons, host.boxes.at(1).title}}));
  EXPECT_FALSE(gblnWrongReplayRetry);
  EXPECT_FALSE(gblnTimeOutRetry);
}

TEST_F(Transaction, QueryAnsweredZeroSendsOneExtraSyncAndReturnsZero) {
  camera().AddFault(fault("zero:d=16"));
  EXPECT_EQ(send(0, 16), (Sent{true, 0, 0}));
  EXPECT_EQ(wire(), (Wire{{0, 16}, {0, 1}}));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Transaction, NotStoredIsAcceptedOnlyInEepromWriteMode) {
  // FF 80 as the reply to a setting.
  camera().AddFault(fault("corrupt:c=65:index=0:value=0xFF:count=-1"));
  camera().AddFault(fault("corrupt:c=65:index=1:value=0x80:count=-1"));
  gblnEEPROMWriting = true;
  gbyteCurrentMode = 243;
  EXPECT_EQ(send(65, 7), (Sent{true, 0xFF, 0x80}));
  EXPECT_TRUE(host.boxes.empty());

  gblnEEPROMWriting = false;
  glngRetryWrongReplayBeforeMsg = 0;
  host.answers = {forms::vbNo, forms::vbYes};  // no retry, but go on anyway
  camera().ClearReceived();
  // "Anyway continue?" Yes: the sent bytes become the reply.
  EXPECT_EQ(send(65, 7), (Sent{true, 65, 7}));
  EXPECT_EQ(countBoxes(334), 1);
  EXPECT_EQ(countBoxes(332), 1);
  EXPECT_EQ(wire(), (Wire{{65, 7}}));
}

TEST_F(Transaction, ReadModeTakesTheDataByteAsTheValueButNotAnotherCommandByte) {
  camera().SetValue(64, 57);
  ASSERT_TRUE(send(0, 12).ok);
  EXPECT_EQ(send(64, 0), (Sent{true, 64, 57}));
  camera().AddFault(fault("corrupt:c=64:index=0:value=65"));
  askAtOnceAndGiveUp();
  EXPECT_FALSE(send(64, 0).ok);
  ASSERT_EQ(countBoxes(334), 1);
  EXPECT_NE(host.boxes[0].prompt.find("Get  Command:65   Data:57"), std::string::npos);
}

TEST_F(Transaction, StatusRepliesOfSomeSettingsAreAcceptedOutsideReadMode) {
  camera().Config().replyCommand = {{0x90, 0x20}, {0x21, 0x01}};
  EXPECT_TRUE(send(0x90, 5).ok);
  EXPECT_TRUE(send(0x21, 5).ok);
  // Codes 0x38-0x3F answered (0, x) with x not 0 are taken as they are.
  camera().Config().replyCommand = {{0x38, 0x00}};
  EXPECT_TRUE(send(0x38, 9).ok);
  // ... and answered (0, 0) they cost a sync and, in EEPROM write mode, the mode again.
  camera().ClearReceived();
  gblnEEPROMWriting = true;
  gbyteCurrentMode = 243;
  EXPECT_TRUE(send(0x38, 0).ok);
  EXPECT_EQ(wire(), (Wire{{0x38, 0}, {0, 1}, {0, 243}}));
  EXPECT_EQ(gbyteCurrentMode, 243);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Transaction, TheEleventhWrongReplyInARowAsks) {
  camera().AddFault(fault("corrupt:c=65:index=1:value=99:count=-1"));
  int wrongBeforeQuestion = -1;
  host.onBox = [&](const Box&) {
    const Wire w = wire();
    if (wrongBeforeQuestion < 0)
      wrongBeforeQuestion = static_cast<int>(std::count_if(w.begin(), w.end(), [](auto cd) { return cd.first == 65; }));
  };
  host.answers = {forms::vbNo, forms::vbNo};
  EXPECT_FALSE(send(65, 40).ok);
  EXPECT_EQ(wrongBeforeQuestion, 11);
  EXPECT_EQ(countBoxes(334), 1);
  EXPECT_EQ(countBoxes(332), 1);
  EXPECT_FALSE(gblnWrongReplayRetry);
  EXPECT_TRUE(reports.empty());
}

TEST_F(Transaction, WrongReplyRetryYesRunsTheDetectionAndResynchronises) {
  camera().AddFault(fault("corrupt:c=65:index=1:value=99:count=1"));
  glngRetryWrongReplayBeforeMsg = 0;
  host.answers = {forms::vbYes};
  EXPECT_EQ(send(65, 40), (Sent{true, 65, 40}));
  EXPECT_EQ(countBoxes(334), 1);
  // After Yes: the detection's probes (syncs), the resynchronisation and the resend.
  const Wire w = wire();
  ASSERT_GE(w.size(), 3u);
  EXPECT_EQ(w.front(), (std::pair<uint8_t, uint8_t>{65, 40}));
  EXPECT_EQ(Wire(w.end() - 2, w.end()), (Wire{{0, 1}, {65, 40}}));
}

TEST_F(Transaction, ALimitBelowZeroGivesUpAfterYes) {
  camera().AddFault(fault("corrupt:c=65:index=1:value=99:count=-1"));
  glngRetryWrongReplayBeforeMsg = -1;
  gblnAutoBaudRateChange = false;
  host.answers = {forms::vbYes};
  EXPECT_FALSE(send(65, 40).ok);
  EXPECT_EQ(countBoxes(334), 1);
  EXPECT_EQ(wire(), (Wire{{65, 40}}));
}

TEST_F(Transaction, AHugeRetryLimitStillAsksBeforeTheRecoveryChainRunsAway) {
  // Every reply garbage and a limit only a hand-edited settings file can hold: the recovery
  // chain would nest for ever; from a depth of 200 nested commands the user is asked.
  camera().AddFault(fault("corrupt:index=1:value=0x5A:count=-1"));
  glngRetryWrongReplayBeforeMsg = 1000000;
  host.answers = {forms::vbNo, forms::vbNo};
  EXPECT_FALSE(send(65, 40).ok);
  EXPECT_EQ(countBoxes(334), 1);
  EXPECT_EQ(countBoxes(332), 1);
  EXPECT_EQ(wire().size(), 200u);

  // An error that leaves the chain at that length (here thrown through the question's box)
  // takes the length with it: the next time-out is the first of a run, retried silently.
  struct Escape {};
  host.onBox = [](const Box&) { throw Escape{}; };
  EXPECT_THROW(send(65, 40), Escape);
  host.onBox = nullptr;
  host.boxes.clear();
  camera().ClearFaults();
  camera().AddFault(fault("drop:c=65:count=1"));
  EXPECT_TRUE(send(65, 41).ok);
  EXPECT_TRUE(host.boxes.empty());
}

// The screen work done while a command is on the wire (the progress window's repaint) cannot
// start a transaction of its own in the middle of this one: that one is refused without a byte
// on the wire, with a status that tells so, and the transaction goes on. Afterwards
// transactions run again.
TEST_F(Transaction, TheScreenWorkOnTheWireCannotStartATransaction) {
  Sent inner{true, 0, 0};
  int16_t innerStatus = 7;
  mdlMSComm::gDoWhileNextCommandOnWire([&] {
    inner.ok = mdlMSComm::gblnSendSettingData(64, 9, inner.rc, inner.rd, innerStatus);
  });
  EXPECT_EQ(send(65, 40), (Sent{true, 65, 40}));
  EXPECT_FALSE(inner.ok);
  EXPECT_EQ(innerStatus, mdlMSComm::kStatusRefused);
  EXPECT_EQ(wire(), (Wire{{65, 40}}));
  EXPECT_EQ(send(64, 9), (Sent{true, 64, 9}));
  EXPECT_TRUE(host.boxes.empty());
}

// A user who answers Yes to every retry question of a code the camera refuses, of one it
// never answers (while it answers the sync), or of a camera that answers nothing at all (its
// cable pulled; then the question is about the recovery's own sync): each Yes costs a
// resynchronisation and a resend, and a later failure asks again, any number of times (the
// retries run in a loop, not in a nesting that would overflow the stack). The commands between
// two questions are the same each time; from a chain of 200 transactions on, every failure asks.
// No ends it; a camera that answers again ends the chain with the sync, the mode command of a
// read or EEPROM write, and the command.
TEST_F(Transaction, ThousandsOfYesToTheRetryQuestionRetryTheSameWayEachTime) {
  enum Fault { Refused, Dropped, Deaf };
  struct Case {
    const char* name;
    Fault fault;
    bool reading, writing;  // gblnReadingData, gblnEEPROMWriting
    bool wakes;             // the camera answers again after the last question, answered Yes
    long question;
    const char* prompt;
    Wire first;      // the commands up to the first question
    Wire each;       // the commands after each Yes...
    int eachUntil;   // ...up to this question,
    Wire eachLater;  // and after each later Yes
    Wire last;       // the commands after the last answer
  };
  const char* const command = "Command:65   Data:40";
  const char* const sync = "Command:0   Data:1";
  const Case cases[] = {
      {"refused", Refused, false, false, false, 334, "Send Command:65   Data:40", {{65, 40}}, {{0, 1}, {65, 40}}, 0,
       {{0, 1}, {65, 40}}, {}},
      // A second time-out in a row asks; each Yes starts the count again, so a question comes
      // at every other resend until the chain is 200 long.
      {"silent", Dropped, false, false, false, 331, command, {{65, 40}, {0, 1}, {65, 40}},
       {{0, 1}, {65, 40}, {0, 1}, {65, 40}}, 100, {{0, 1}, {65, 40}}, {}},
      // Nothing answered: the recovery's sync times out in its turn and asks, once in two syncs
      // until the chain is 200 long, then at every sync.
      {"deaf", Deaf, false, false, false, 331, sync, {{65, 40}, {0, 1}}, {{0, 1}, {0, 1}}, 100, {{0, 1}}, {}},
      {"deaf while reading", Deaf, true, false, false, 331, sync, {{65, 40}, {0, 1}}, {{0, 1}, {0, 1}}, 100,
       {{0, 1}}, {}},
      {"deaf while writing the EEPROM", Deaf, false, true, false, 331, sync, {{65, 40}, {0, 1}}, {{0, 1}, {0, 1}},
       100, {{0, 1}}, {}},
      {"deaf, then answering", Deaf, false, false, true, 331, sync, {{65, 40}, {0, 1}}, {{0, 1}, {0, 1}}, 100,
       {{0, 1}}, {{0, 1}, {65, 40}}},
      {"deaf while reading, then answering", Deaf, true, false, true, 331, sync, {{65, 40}, {0, 1}},
       {{0, 1}, {0, 1}}, 100, {{0, 1}}, {{0, 1}, {0, 12}, {65, 40}}},
      {"deaf while writing the EEPROM, then answering", Deaf, false, true, true, 331, sync, {{65, 40}, {0, 1}},
       {{0, 1}, {0, 1}}, 100, {{0, 1}}, {{0, 1}, {0, 243}, {65, 40}}},
  };
  // 300 retries gave the same commands, questions and counters when every retry still nested.
  for (const int retries : {300, 20000})
    for (const Case& k : cases) {
      SCOPED_TRACE(std::string(k.name) + ", " + std::to_string(retries) + " retries");
      sim::CameraConfig config;
      if (k.fault == Refused) config.unsupported = {65};
      start(config);
      open();
      gblnAutoBaudRateChange = false;
      gblnKeepNotSupportCmd = true;
      glngRetryWrongReplayBeforeMsg = 0;
      glngRetryTimeOutBeforeMsg = 1;
      gblnTimeOutRetry = gblnWrongReplayRetry = false;
      glngTimeOutCount = glngWrongReplayCount = 0;
      gblnWriteErrLogTimeOut = k.fault == Deaf;
      gblnReadingData = k.reading;
      gblnEEPROMWriting = k.writing;
      gbyteCurrentMode = 1;
      gblnOnLine = true;
      // A time-out after one poll of a second.
      glngSleepTimeUnit = 1000;
      glngTimeOut = 0;
      glngRcvRetry = 0;
      if (k.fault == Dropped) camera().AddFault(fault("drop:c=65:count=-1"));
      if (k.fault == Deaf) camera().SetSilent(true);
      host.boxes.clear();
      reports.clear();
      showErrors = false;
      const std::string expectedPrompt = vb::LoadResString(k.question) + "\r\n" + k.prompt;
      int asked = 0;
      host.onBox = [&](const Box& box) {
        if (asked <= retries && box.prompt.compare(0, expectedPrompt.size(), expectedPrompt) != 0)
          ADD_FAILURE() << box.prompt;
        if (++asked == retries + 1) {
          if (k.wakes) camera().SetSilent(false);
          else host.answers = {forms::vbNo, forms::vbNo};
        }
      };
      EXPECT_EQ(send(65, 40).ok, k.wakes);
      EXPECT_EQ(countBoxes(k.question), retries + 1);
      EXPECT_EQ(host.boxes.size(), retries + (k.wakes ? 1u : 2u));
      Wire expected = k.first;
      for (int question = 2; question <= retries + 1; ++question) {
        const Wire& more = question <= k.eachUntil ? k.each : k.eachLater;
        expected.insert(expected.end(), more.begin(), more.end());
      }
      expected.insert(expected.end(), k.last.begin(), k.last.end());
      EXPECT_TRUE(wire() == expected) << wire().size() << " commands instead of " << expected.size();
      if (k.fault == Deaf) {
        // One time-out line for every command that went unanswered.
        const size_t timeOuts = expected.size() - k.last.size();
        EXPECT_EQ(reports.size(), timeOuts);
        EXPECT_EQ(std::count_if(reports.begin(), reports.end(), [](const auto& r) { return r.text == "TimeOut[0,1]"; }),
                  static_cast<long>(timeOuts) - 1);
        EXPECT_EQ(reports.front().text, "TimeOut[41,28]");
        EXPECT_EQ(gblnOnLine, k.wakes);
        EXPECT_EQ(glngTimeOutCount, k.wakes ? -1 : 0);
        EXPECT_EQ(gbyteCurrentMode, !k.wakes ? 1 : k.reading ? 12 : k.writing ? 243 : 1);
      }
      EXPECT_EQ(glngWrongReplayCount, 0);
      EXPECT_FALSE(gblnTimeOutRetry);
      EXPECT_FALSE(gblnWrongReplayRetry);
      host.onBox = nullptr;
    }
}

TEST_F(Transaction, TheFirstTimeOutIsRetriedSilentlyTheSecondAsks) {
  camera().AddFault(fault("drop:c=65:count=1"));
  EXPECT_TRUE(send(65, 40).ok);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(wire(), (Wire{{65, 40}, {0, 1}, {65, 40}}));

  // A camera that answers the sync but never the command: asked at the second time-out, not
  // retried for ever.
  camera().ClearReceived();
  camera().AddFault(fault("drop:c=65:count=-1"));
  host.answers = {forms::vbNo};
  gblnOnLine = true;
  EXPECT_FALSE(send(65, 41).ok);
  EXPECT_EQ(wire(), (Wire{{65, 41}, {0, 1}, {65, 41}}));
  EXPECT_EQ(host.boxes, (std::vector<Box>{
                            {"Time out occurred. Retry?\r\nCommand:65   Data:41", forms::vbYesNo + forms::vbExclamation, title},
                            {"The mode changed to Off-Line.", forms::vbOKOnly + forms::vbExclamation, title}}));
  EXPECT_FALSE(gblnOnLine);
}

TEST_F(Transaction, ASilentCameraAsksAtTheSecondTimeOutAndNoGoesOffLine) {
  camera().SetSilent(true);
  gblnOnLine = true;
  host.answers = {forms::vbNo};
  EXPECT_FALSE(send(65, 1).ok);
  EXPECT_EQ(wire(), (Wire{{65, 1}, {0, 1}}));
  EXPECT_EQ(countBoxes(331), 1);
  EXPECT_EQ(countBoxes(333), 1);
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(gblnTimeOutRetry);
}

TEST_F(Transaction, TimeOutTakesMoreThanTheTimeOutAndMoreThanTheRetryPolls) {
  struct Case {
    int32_t unit, timeout, retry;
    double least, most;
  };
  for (Case k : {Case{100, 5, 10, 5.0, 6.2}, Case{1, 5, 10, 5.0, 6.01}, Case{100, 5, 100, 10.09, 10.2}}) {
    SCOPED_TRACE(k.unit);
    SetUp();
    camera().SetSilent(true);
    glngSleepTimeUnit = k.unit;
    glngTimeOut = k.timeout;
    glngRcvRetry = k.retry;
    double askedAt = -1;
    host.onBox = [&](const Box&) {
      if (askedAt < 0) askedAt = seconds();
    };
    host.answers = {forms::vbNo};
    const double t0 = seconds();
    EXPECT_FALSE(send(65, 1).ok);
    // The first time-out is retried silently with a sync, which times out as well.
    const double each = (askedAt - t0) / 2;
    EXPECT_GT(each, k.least);
    EXPECT_LT(each, k.most);
    TearDown();
  }
}

TEST_F(Transaction, ARecoveryOfTheSyncDoesNotSendTheSyncAThirdTime) {
  camera().AddFault(fault("drop:c=0:d=1:count=1"));
  EXPECT_EQ(send(0, 1), (Sent{true, 0, 1}));
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 1}}));
  EXPECT_TRUE(host.boxes.empty());

  // The read-mode command recovered while reading ends with the repeated mode command.
  camera().ClearReceived();
  camera().AddFault(fault("drop:c=0:d=12:count=1"));
  gblnReadingData = true;
  EXPECT_TRUE(send(0, 12).ok);
  EXPECT_EQ(wire(), (Wire{{0, 12}, {0, 1}, {0, 12}}));
}

TEST_F(Transaction, ARecoveryRestoresReadModeBeforeTheResend) {
  camera().SetValue(64, 33);
  ASSERT_TRUE(send(0, 12).ok);
  gblnReadingData = true;
  camera().ClearReceived();
  camera().AddFault(fault("drop:c=64:count=1"));
  EXPECT_EQ(send(64, 0), (Sent{true, 64, 33}));
  EXPECT_EQ(wire(), (Wire{{64, 0}, {0, 1}, {0, 12}, {64, 0}}));
}

TEST_F(Transaction, ANotSupportedCodeLeavesAllThreeListsAndYieldsItsDefault) {
  sim::CameraConfig config;
  config.unsupported = {65};
  start(config);
  open();
  gstrAllCmdList = "1,065,64,65";
  gstrKRVCmdList = "65";
  gstrWriteCmdList = "32, 65 ,33";
  const uint8_t def = static_cast<uint8_t>(gobjDataInfo[65]->DefaultValue);
  EXPECT_EQ(send(65, 3), (Sent{true, 65, def}));
  EXPECT_EQ(gstrAllCmdList, "1,64");
  EXPECT_EQ(gstrKRVCmdList, "");
  EXPECT_EQ(gstrWriteCmdList, "32,33");
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_FALSE(mdlMSComm::gblnSupportCmdOrNot(65));
  EXPECT_TRUE(mdlMSComm::gblnSupportCmdOrNot(64));

  // Again while removals are on: the default again, no question.
  EXPECT_EQ(send(65, 4), (Sent{true, 65, def}));
  EXPECT_EQ(wire(), (Wire{{65, 3}, {65, 4}}));

  // Once the first read is over, FF FF is a wrong reply.
  gblnKeepNotSupportCmd = true;
  askAtOnceAndGiveUp();
  EXPECT_FALSE(send(65, 5).ok);
  EXPECT_EQ(countBoxes(334), 1);
}

TEST_F(Transaction, ErrorLogAndCommunicationLogLines) {
  gblnWriteErrLogTimeOut = true;
  gblnWriteErrLogWrongReplay = true;
  camera().AddFault(fault("drop:c=0x4A:count=1"));
  EXPECT_TRUE(send(0x4A, 0x1F).ok);
  camera().AddFault(fault("corrupt:c=65:index=1:value=0xAB:count=1"));
  EXPECT_TRUE(send(65, 10).ok);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].text, "TimeOut[4A,1F]");
  EXPECT_EQ(reports[0].number, 0);
  EXPECT_EQ(reports[1].text, "WrongReplay[41,A,41,AB]");
  EXPECT_TRUE(host.boxes.empty());
  // Both as lines of the error log, without number and description.
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"TimeOut[4A,1F]", "WrongReplay[41,A,41,AB]"}));

  // The communication log: a line per transaction and one without reply per time-out.
  gblnWriteLogFile = true;
  camera().AddFault(fault("drop:c=0x30:count=1"));
  EXPECT_TRUE(send(0x30, 0x64).ok);
  std::vector<std::string> lines = vb::Split(dir.read("orvadex.LOG"), "\r\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "");  // every line ends in CR LF
  for (auto& line : lines) line = line.substr(std::min<std::size_t>(line.size(), 19));  // without the time stamp
  EXPECT_EQ(lines, (std::vector<std::string>{",30,64", ",0,1,0,1", ",30,64,30,64", ""}));
}

// A communication log that cannot be written is reported once and then left alone: every
// transaction the camera answered succeeds, and the setting stays as the user chose it.
TEST_F(Transaction, ACommLogThatCannotBeWrittenIsReportedOnceAndFailsNoTransaction) {
  gblnWriteLogFile = true;
  std::filesystem::create_directory(dir.file("orvadex.LOG"));
  showErrors = false;
  EXPECT_EQ(send(65, 1), (Sent{true, 65, 1}));
  camera().AddFault(fault("drop:c=65:count=1"));  // a time-out's line without reply, and the sync's
  EXPECT_EQ(send(65, 2), (Sent{true, 65, 2}));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "SubMain.gblnWriteCommLog");
  EXPECT_EQ(reports[0].number, vb::errPathFileAccess);
  EXPECT_EQ(wire(), (Wire{{65, 1}, {65, 2}, {0, 1}, {65, 2}}));
  EXPECT_TRUE(gblnWriteLogFile);
}

// A device that takes the bytes but never sends them (its output count stays above 0): each
// transaction waits the time-out and a second, then it is a time-out like a silent camera.
TEST_F(Transaction, OutputThatNeverLeavesIsATimeOutAfterABoundedWait) {
  struct Stuck : serial::Channel {
    void Open(const serial::LineSettings&) override {}
    void Configure(const serial::LineSettings&) override {}
    void Close() override {}
    void ReadAvailable(std::vector<uint8_t>&) override {}
    void Write(const std::vector<uint8_t>&) override {}
    long OutCount() override { return 2; }
    void FlushInput() override {}
    void FlushOutput() override {}
    void SetModemLines(bool, bool) override {}
    std::string Name() const override { return "stuck"; }
  };
  comm->PortOpen(false);
  comm->SetChannelFactory([](int) { return std::make_unique<Stuck>(); });
  open();
  host.sayNo = true;
  const double start = seconds();
  EXPECT_FALSE(send(65, 1).ok);
  // The command and the sync each wait 6 s; the second time-out asks, answered No.
  EXPECT_EQ(seconds() - start, 12.0);
  EXPECT_EQ(host.prompts(), (std::vector<std::string>{vb::LoadResString(331) + "\r\nCommand:0   Data:1",
                                                       vb::LoadResString(333)}));
  EXPECT_FALSE(gblnOnLine);
}

TEST_F(Transaction, At1200EveryCommandFirstWaitsHalfAnIntervalAndTheReplyEndsTheWait) {
  sim::CameraConfig config;
  config.baud = 1200;
  start(config);
  gstrSettings = " 1200,N,8,2 ";
  open();
  const int64_t charUs = sim->line->Settings().CharTimeUs();
  for (int32_t unit : {1, 3, 5}) {
    glngSleepTimeUnit = unit;
    sim->line->ClearLog();
    const int64_t start = clock().NowUs();
    ASSERT_TRUE(send(65, 1).ok);
    const auto& traffic = sim->line->Log();
    ASSERT_EQ(traffic.size(), 4u);
    // Half an interval (1 -> 0, 3 -> 2, 5 -> 2) before the command goes out...
    EXPECT_EQ(traffic.front().atUs - start - charUs, unit == 1 ? 0 : 2000) << unit;
    // ...and the wait ends when the reply's second byte is in, not at the end of a poll.
    EXPECT_EQ(clock().NowUs(), traffic.back().atUs) << unit;
  }
}

}  // namespace
}  // namespace linktest
