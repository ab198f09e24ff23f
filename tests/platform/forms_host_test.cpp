// The scripted host: message boxes, file dialogs, DoEvents, SendKeys, help and the pointer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform/forms_sample.h"

namespace sample {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class Scripted : public FormsTest {
 protected:
  SampleForm f;
};

TEST_F(Scripted, MessageBoxesAreRecordedAndAnsweredInOrder) {
  host.AnswerMsgBox("End?", vbNo);
  host.AnswerMsgBox(vbRetry);
  EXPECT_EQ(MsgBox("End?", vbYesNo + vbQuestion, "Orvadex"), vbNo);
  EXPECT_EQ(MsgBox("Time out.", vbRetryCancel + vbExclamation + vbDefaultButton2, "Orvadex"), vbRetry);
  ASSERT_EQ(host.MsgBoxes().size(), 2u);
  EXPECT_EQ(host.MsgBoxes()[0].buttons, vbYesNo);
  EXPECT_EQ(host.MsgBoxes()[0].icon, vbQuestion);
  EXPECT_EQ(host.MsgBoxes()[1].icon, vbExclamation);
  EXPECT_EQ(host.MsgBoxes()[1].defaultButton, 2);
  EXPECT_EQ(host.MsgBoxes()[1].title, "Orvadex");
}

TEST_F(Scripted, UnforeseenOrWrongBoxesAndUnusedAnswersAreFailures) {
  std::vector<std::string> failures;
  host.OnFailure = [&](const std::string& m) { failures.push_back(m); };
  EXPECT_EQ(MsgBox("Surprise", vbYesNoCancel + vbDefaultButton2), vbNo);  // the default button
  host.AnswerMsgBox("Expected", vbOK);
  MsgBox("Other");
  host.AnswerMsgBox(vbOK);
  host.VerifyAllUsed();
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_THAT(failures[0], HasSubstr("unexpected message box \"Surprise\""));
  EXPECT_THAT(failures[1], HasSubstr("\"Other\" shown where \"Expected\""));
  EXPECT_THAT(failures[2], HasSubstr("not used"));
}

TEST_F(Scripted, FileDialogsAnswerFromTheScriptAndCancelErrorRaises32755) {
  f.cdOpen.DefaultExt("CFG");
  f.cdOpen.Filter("CFG File(*.CFG)|*.CFG|All File(*.*)|*.*");
  f.cdOpen.FilterIndex(1);
  f.cdOpen.CancelError(true);
  host.AnswerFileDialog("/data/camera");
  f.cdOpen.ShowOpen();
  EXPECT_EQ(f.cdOpen.FileName(), "/data/camera.CFG");  // the default extension is added
  EXPECT_EQ(f.cdOpen.FileTitle(), "camera.CFG");
  ASSERT_EQ(host.FileDialogs().size(), 1u);
  EXPECT_FALSE(host.FileDialogs()[0].Save);
  EXPECT_EQ(host.FileDialogs()[0].Filter, "CFG File(*.CFG)|*.CFG|All File(*.*)|*.*");
  host.CancelFileDialog();
  try {
    f.cdOpen.ShowSave();
    FAIL();
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.Number(), 32755);
    EXPECT_EQ(e.Description(), "Cancel was selected.");
  }
  EXPECT_EQ(f.cdOpen.FileName(), "/data/camera.CFG");  // unchanged by Cancel
  f.cdOpen.CancelError(false);
  host.CancelFileDialog();
  f.cdOpen.ShowSave();
  EXPECT_TRUE(host.FileDialogs().back().Save);
}

TEST_F(Scripted, DoEventsRunsTheQueuedUserActions) {
  f.Show();
  f.take();
  host.AtDoEvents([&] { f.chkLog.UserClick(); }, 2);
  int ticked = -1;
  for (int i = 0; i < 3; ++i) {
    if (f.chkLog.Value()) break;
    ticked = i;
    EXPECT_EQ(DoEvents(), 1);  // one form loaded
  }
  EXPECT_EQ(ticked, 1);
  EXPECT_EQ(host.DoEventsCount(), 2);
}

TEST_F(Scripted, SendKeysF1OpensHelpAtTheFocusedControlsContext) {
  f.Show();
  SendKeys("{F1}");  // queued: nothing yet
  EXPECT_TRUE(host.HelpShown().empty());
  DoEvents();
  EXPECT_TRUE(host.HelpShown().empty());  // no help file, no help
  vb::App::HelpFile("/opt/orvadex/orvadex.chm");
  SendKeys("{F1}", true);
  f.optMode(0).SetFocus();
  SendKeys("{F1}", true);  // the frame's number
  f.chkLog.SetFocus();
  SendKeys("{F1}", true);  // the form's number
  // F1 on a highlighted menu item: its own number, else the nearest above it, else the form's.
  EXPECT_TRUE(f.mnuOpen.UserHelp());
  EXPECT_TRUE(f.mnuEnd.UserHelp());
  const std::string chm = "/opt/orvadex/orvadex.chm";
  EXPECT_THAT(host.HelpShown(), ElementsAre(std::pair<std::string, long>{chm, 901}, std::pair<std::string, long>{chm, 902},
                                            std::pair<std::string, long>{chm, 900}, std::pair<std::string, long>{chm, 502},
                                            std::pair<std::string, long>{chm, 900}));
  // Keys posted without waiting run once the current user event is over.
  f.txtValue.SetFocus();
  f.txtValue.Text("");
  f.txtValue.KeyPress = [&](int& KeyAscii) {
    if (KeyAscii == '1') SendKeys("{+}2~");
  };
  ASSERT_TRUE(f.txtValue.UserType("1"));
  EXPECT_EQ(f.txtValue.Text(), "1+2");
  EXPECT_THROW(SendKeys("{NOPE}"), vb::Error);
}

TEST_F(Scripted, MousePointerHistoryAndEscapedErrors) {
  Screen.MousePointer(vbHourglass);
  Screen.MousePointer(vbHourglass);
  Screen.MousePointer(vbDefault);
  EXPECT_THAT(host.MousePointers(), ElementsAre(vbHourglass, vbDefault));
  std::vector<std::string> failures;
  host.OnFailure = [&](const std::string& m) { failures.push_back(m); };
  f.Show();
  f.cmdOk.Click = [] { vb::Raise(13); };
  EXPECT_FALSE(f.cmdOk.UserClick());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_THAT(failures[0], HasSubstr("run-time error 13"));
}

}  // namespace
}  // namespace sample
