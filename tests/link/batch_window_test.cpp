// The batch window against the simulated camera: lines of every kind, the log and its replay,
// Stop and Close during a run and during a pause, the file open and drop, and the reconnect flag.
#include <sys/stat.h>

#include "link/batch_text.h"
#include "link/batch_window.h"
#include "platform/vb/vb.h"
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

class BatchWindow : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    glngSleepTimeUnit = 5;
    open();
    gblnOnLine = true;
  }
  FrmBatch& w() { return frmBatch(); }

  // Shows the window through gblnDispBatchForm with `user` playing; returns the reboot flag.
  bool run(const std::function<void()>& user) {
    host.onModal = [&](forms::Form&) {
      user();
      if (w().Loaded()) w().cmdClose.UserClick();
    };
    bool reboot = false;
    EXPECT_TRUE(w().gblnDispBatchForm(reboot));
    return reboot;
  }

  void send(const std::string& text, bool hex = false) {
    w().txtData(0).Text(text);
    w().chkHex.Value(hex ? forms::vbChecked : forms::vbUnchecked);
    w().cmdSend.UserClick();
  }

  // The log lines without their time stamps ("" for a line that was only a time stamp and ",").
  std::vector<std::string> logLines() {
    std::vector<std::string> lines;
    for (std::string line : vb::Split(w().txtData(1).Text(), "\r\n")) {
      if (line.size() >= 20 && line[4] == '/' && line[19] == ',') line = "TS," + line.substr(20);
      lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(BatchWindow, LinesOfEveryKind) {
  const bool reboot = run([&] {
    EXPECT_EQ(w().Caption(), SubMain::gstrGetAppTitleString() + " [Batch]");
    EXPECT_FALSE(w().cmdStop.Enabled());
    send("; setup\r\n0,1\r\n\r\nsleep, 250\r\n   ;no comma\r\n64,7\r\nSLEEP,abc\r\n0,0");
    EXPECT_EQ(w().pBar.Value(), w().pBar.Max());
    EXPECT_EQ(w().pBar.Max(), 8);
    EXPECT_TRUE(w().cmdSend.Enabled());
    EXPECT_FALSE(w().cmdStop.Enabled());
  });
  EXPECT_TRUE(reboot);
  EXPECT_EQ(wire(), (Wire{{0, 1}, {64, 7}, {0, 0}}));
  EXPECT_EQ(camera().Value(64), 7);
  EXPECT_EQ(host.count(364), 1);
  EXPECT_GE(clock().SleptUs(), 250'000);
}

TEST_F(BatchWindow, TheLogReplaysTheSameCommandsInHex) {
  std::string log;
  run([&] {
    send("#c\r\n0,1\r\n31,128\r\nsleep,100\r\n12\r\n0,0");
    EXPECT_EQ(logLines(), (std::vector<std::string>{"#", "", "TS,0,1,0,1", "TS,1F,80,1F,80", "TS,Sleep,100", "TS,",
                                                    "TS,0,0,0,0", ""}));
    log = w().txtData(1).Text();
    w().cmdClear.Item(1).UserClick();
    EXPECT_EQ(w().txtData(1).Text(), "");
    camera().ClearReceived();
    send(log, true);
  });
  EXPECT_EQ(wire(), (Wire{{0, 1}, {31, 128}, {0, 0}}));
  EXPECT_EQ(host.count(364), 2);
  EXPECT_TRUE(reports.empty());
}

TEST_F(BatchWindow, ABadNumberStopsTheRunThroughTheErrorReporter) {
  run([&] {
    send("0,1\r\n256,0\r\n0,0");
    EXPECT_EQ(w().pBar.Value(), 0);
    EXPECT_TRUE(w().cmdSend.Enabled());
    EXPECT_FALSE(w().cmdStop.Enabled());
    EXPECT_EQ(logLines(), (std::vector<std::string>{"TS,0,1,0,1", ""}));
  });
  EXPECT_EQ(wire(), (Wire{{0, 1}}));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "fraBatch.mblnSndLogLine");
  EXPECT_EQ(reports[0].number, vb::errOverflow);
  EXPECT_EQ(host.count(364), 0);
}

TEST_F(BatchWindow, StopEndsTheRunAfterTheCurrentLine) {
  host.onDoEvents = [&](int n) {
    if (n == 2) w().cmdStop.UserClick();
  };
  run([&] {
    send("0,1\r\n64,3\r\n64,4\r\n0,0");
    EXPECT_EQ(w().pBar.Value(), 0);
    EXPECT_TRUE(w().cmdSend.Enabled());
  });
  EXPECT_EQ(wire(), (Wire{{0, 1}, {64, 3}}));
  EXPECT_EQ(host.count(364), 0);
}

TEST_F(BatchWindow, ClosingDuringARunStopsItAndTheWindowStaysClosed) {
  host.onDoEvents = [&](int n) {
    if (n == 1) w().UserClose();
  };
  const bool reboot = run([&] { send("0,1\r\n64,3\r\n0,0"); });
  EXPECT_TRUE(reboot);
  EXPECT_FALSE(w().Loaded());
  EXPECT_EQ(wire(), (Wire{{0, 1}}));
  EXPECT_TRUE(reports.empty());
}

// During a pause the window is served: Stop or Close there ends the run at once, with nothing
// waited after the click, and the command after the pause never reaches the camera.
TEST_F(BatchWindow, StopOrCloseDuringAPauseEndsTheRunAtOnce) {
  for (const bool close : {false, true}) {
    SCOPED_TRACE(close ? "Close" : "Stop");
    camera().ClearReceived();
    const int64_t start = clock().NowUs();
    int64_t clicked = -1;
    host.onDoEvents = [&](int) {
      if (clicked >= 0 || clock().NowUs() - start < 1'000'000) return;
      clicked = clock().NowUs();
      (close ? w().cmdClose : w().cmdStop).UserClick();
    };
    EXPECT_TRUE(run([&] {
      send("0,1\r\nSleep,8000\r\n64,20");
      if (!close) {
        EXPECT_EQ(logLines(), (std::vector<std::string>{"TS,0,1,0,1", ""}));
      }
    }));
    EXPECT_LT(clicked - start, 8'000'000);
    EXPECT_EQ(clock().NowUs(), clicked);
    EXPECT_EQ(wire(), (Wire{{0, 1}}));
  }
  EXPECT_EQ(host.count(364), 0);
}

TEST_F(BatchWindow, CommentsAndPausesOnlyAskForNoReconnect) {
  EXPECT_FALSE(run([&] { send("# nothing\r\nSLEEP,10\r\n12"); }));
  EXPECT_TRUE(wire().empty());
  // A pair that fails still counts as sent.
  camera().SetSilent(true);
  host.answers = {forms::vbNo};  // time-out retry? no: off line
  EXPECT_TRUE(run([&] {
    send("0,1\r\n0,0");
    EXPECT_EQ(logLines(), (std::vector<std::string>{"TS,", ""}));
  }));
  EXPECT_FALSE(gblnOnLine);
  EXPECT_EQ(host.count(364), 1);  // the first run's only: the second stopped off line
}

TEST_F(BatchWindow, OffLineSendIsRefused) {
  gblnOnLine = false;
  EXPECT_FALSE(run([&] { send("0,1"); }));
  EXPECT_EQ(host.count(366), 1);
  EXPECT_EQ(host.boxes[0].buttons, forms::vbOKOnly + forms::vbExclamation);
  EXPECT_TRUE(wire().empty());
}

TEST_F(BatchWindow, FilesOpenAndDropIntoTheBatchText) {
  dir.write("run.LOG", "0,1\n0,0\n");
  host.chosenFile = dir.file("run.LOG");
  run([&] {
    w().cmdOpen.UserClick();
    EXPECT_EQ(w().txtData(0).Text(), "0,1\n0,0\n");
    send(w().txtData(0).Text());  // LF line ends are lines too
  });
  ASSERT_EQ(host.requests.size(), 1u);
  EXPECT_EQ(host.requests[0].Filter, "LOG File(*.LOG)|*.LOG|All File(*.*)|*.*");
  EXPECT_EQ(host.requests[0].DefaultExt, "LOG");
  EXPECT_EQ(host.requests[0].DialogTitle, SubMain::gstrGetAppTitleString());
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 0}}));

  host.chosenFile.reset();
  host.boxes.clear();
  run([&] {
    w().txtData(0).Text("kept");
    w().cmdOpen.UserClick();
    EXPECT_EQ(w().txtData(0).Text(), "kept");
    w().UserDropFiles({dir.file("run.LOG"), dir.file("other")});
    EXPECT_EQ(w().txtData(0).Text(), "0,1\n0,0\n");
    w().UserDropFiles({dir.file("missing.LOG")});
    EXPECT_EQ(w().txtData(0).Text(), "");
  });
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].prompt, vb::LoadResString(351));
  EXPECT_EQ(host.boxes[0].buttons, forms::vbOKOnly + forms::vbInformation);
  EXPECT_EQ(host.boxes[1].prompt, vb::ErrorDescription(53) + "\r\n" + vb::LoadResString(351));
  EXPECT_EQ(host.boxes[1].buttons, forms::vbOKOnly + forms::vbExclamation);
  EXPECT_TRUE(reports.empty());
}

// A pipe, a device or a file far beyond a batch's size is not read (it would block or flood
// the box): the input box is emptied with a message.
TEST_F(BatchWindow, OnlyOrdinaryFilesOfABatchsSizeAreRead) {
  ASSERT_EQ(::mkfifo(dir.file("pipe.LOG").c_str(), 0600), 0);
  dir.write("huge.LOG", std::string(batch::kMaxBatchFileSize + 1, '#'));
  run([&] {
    for (const std::string& file : {dir.file("pipe.LOG"), dir.file("huge.LOG"), std::string("/dev/zero")}) {
      w().txtData(0).Text("kept");
      w().UserDropFiles({file});
      EXPECT_EQ(w().txtData(0).Text(), "") << file;
    }
  });
  const testutil::Box refused{vb::LoadResString(342) + "\r\n" + vb::LoadResString(351), forms::vbOKOnly + forms::vbExclamation,
                              SubMain::gstrGetAppTitleString()};
  EXPECT_EQ(host.boxes, std::vector<testutil::Box>(3, refused));
}

// Esc is no key of the batch window: the typed batch stays.
TEST_F(BatchWindow, EscapeNeitherClosesTheWindowNorDropsTheBatch) {
  run([&] {
    w().txtData(0).Text("0,1");
    w().txtData(0).SetFocus();
    w().UserKey(forms::vbKeyEscape);
    EXPECT_TRUE(w().Loaded());
    EXPECT_EQ(w().txtData(0).Text(), "0,1");
  });
}

// A lost device (the adapter pulled) is a run-time error in the transaction: the run stops at
// that line, which the log shows, with one report and without "Finished.".
TEST_F(BatchWindow, ALostDeviceStopsTheRunAtItsLine) {
  host.onDoEvents = [&](int n) {
    if (n == 1) sim->line->Unplug();
  };
  run([&] {
    send("0,1\r\n64,3\r\n64,4\r\n0,0");
    EXPECT_EQ(logLines(), (std::vector<std::string>{"TS,0,1,0,1", "TS,", ""}));
    EXPECT_EQ(w().pBar.Value(), 0);
    EXPECT_TRUE(w().cmdSend.Enabled());
  });
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "mdlMSComm.gblnSendSettingData");
  EXPECT_EQ(host.count(364), 0);
}

}  // namespace
}  // namespace linktest
