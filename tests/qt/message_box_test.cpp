#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>

#include "platform/app/res_string.h"
#include "platform/qt/application.h"
#include "platform/qt/message_box.h"
#include "platform/qt/qt_host.h"
#include "qt_support.h"

namespace {

using namespace forms;

// Buttons of the box in the order they were added, with their answers.
std::vector<int> answers(qtview::MessageBox& box) {
  std::vector<int> out;
  for (QAbstractButton* b : box.buttons()) out.push_back(box.answerOf(b));
  std::sort(out.begin(), out.end());
  return out;
}

TEST(MessageBox, ButtonsIconsAndDefaultsOfEachStyle) {
  qttest::app();
  struct Row {
    int style;
    std::vector<int> buttons;  // sorted answers
    QMessageBox::Icon icon;
    int defaultAnswer;
    int escape;
  };
  const Row rows[] = {
      {vbOKOnly, {vbOK}, QMessageBox::NoIcon, vbOK, vbOK},
      {vbOKCancel | vbQuestion, {vbOK, vbCancel}, QMessageBox::Question, vbOK, vbCancel},
      {vbAbortRetryIgnore | vbCritical, {vbAbort, vbRetry, vbIgnore}, QMessageBox::Critical, vbAbort, 0},
      {vbYesNoCancel | vbExclamation | vbDefaultButton3, {vbYes, vbNo, vbCancel}, QMessageBox::Warning, vbCancel, vbCancel},
      {vbYesNo | vbQuestion | vbDefaultButton2, {vbYes, vbNo}, QMessageBox::Question, vbNo, 0},
      {vbRetryCancel | vbInformation, {vbRetry, vbCancel}, QMessageBox::Information, vbRetry, vbCancel},
      // A default button beyond the buttons present falls back to the first.
      {vbOKOnly | vbDefaultButton3, {vbOK}, QMessageBox::NoIcon, vbOK, vbOK},
  };
  for (const Row& r : rows) {
    qtview::MessageBox box("Text", r.style, "Orvadex");
    std::vector<int> want = r.buttons;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(answers(box), want) << r.style;
    EXPECT_EQ(box.icon(), r.icon) << r.style;
    EXPECT_EQ(box.answerOf(box.defaultButton()), r.defaultAnswer) << r.style;
    EXPECT_EQ(box.escapeAnswer(), r.escape) << r.style;
    EXPECT_EQ(box.windowTitle(), "Orvadex");
  }
}

TEST(MessageBox, AJapaneseCatalogueGetsJapaneseButtons) {
  qttest::app();
  vb::ForceResLanguage(vb::ResLanguage::Japanese);
  const std::unique_ptr<QTranslator> texts = qtview::qtTranslations();
  vb::ForceResLanguage(std::nullopt);
  ASSERT_NE(texts, nullptr) << "Qt's Japanese translations are missing (scripts/deps.sh installs qt6-translations-l10n)";
  QApplication::installTranslator(texts.get());
  struct Row {
    int answer;
    const char* text;
  };
  qtview::MessageBox box("ファイルを保存しますか?", vbYesNoCancel | vbQuestion, "Orvadex");
  qtview::MessageBox ok("Text", vbOKOnly, "Orvadex");
  std::map<int, QString> shown;
  for (qtview::MessageBox* b : {&box, &ok})
    for (QAbstractButton* button : b->buttons()) shown[b->answerOf(button)] = button->text();
  box.show();
  qttest::settle();
  qttest::screenshot(&box, "message_box_ja");
  box.hide();
  QApplication::removeTranslator(texts.get());
  for (const Row& r : {Row{vbYes, "はい"}, Row{vbNo, "いいえ"}, Row{vbCancel, "キャンセル"}, Row{vbOK, "OK"}})
    EXPECT_TRUE(shown[r.answer].startsWith(QString::fromUtf8(r.text))) << r.answer << " " << shown[r.answer].toStdString();
  // English again without it.
  qtview::MessageBox english("Text", vbYesNo, "Orvadex");
  EXPECT_TRUE(english.buttons().first()->text().contains("Yes") || english.buttons().last()->text().contains("Yes"));
}

TEST(MessageBox, TextKeepsLinesAndMarkup) {
  qttest::app();
  qtview::MessageBox box("System error occured.\r\nNo.13)<b>Type mismatch</b>", vbCritical, "SubMain.Main");
  EXPECT_EQ(box.text(), "System error occured.\nNo.13)<b>Type mismatch</b>");
  EXPECT_EQ(box.textFormat(), Qt::PlainText);
}

TEST(MessageBox, HostAnswersWithTheClickedButton) {
  qttest::app();
  qtview::QtHost host;
  QString seenTitle, seenText;
  qttest::whenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    seenTitle = box->windowTitle();
    seenText = box->text();
    qttest::screenshot(box, "msgbox_yes_no_cancel");
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(host.MsgBox("End?", vbYesNoCancel | vbQuestion, "Orvadex"), vbNo);
  EXPECT_EQ(seenTitle, "Orvadex");
  EXPECT_EQ(seenText, "End?");
}

// Help on a desktop without a program that opens the help file: a box says so and where the
// file lies, in the catalogue's language.
TEST(MessageBox, HelpThatNoProgramOpensSaysWhereTheFileIs) {
  qttest::app();
  qtview::QtHost host;
  QTemporaryDir empty;  // a PATH without any opener
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", empty.path().toUtf8());
  const std::string help = empty.filePath("orvadex.chm").toStdString();
  for (bool japanese : {false, true}) {
    vb::ForceResLanguage(japanese ? vb::ResLanguage::Japanese : vb::ResLanguage::English);
    QString seenText;
    qttest::whenModal([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      seenText = box->text();
      EXPECT_EQ(box->icon(), QMessageBox::Warning);
      box->button(QMessageBox::Ok)->click();
    });
    host.ShowHelp(help, 0);
    EXPECT_EQ(seenText.toStdString(), (japanese ? "ヘルプファイルを開けませんでした:\n" : "The help file could not be opened:\n") + help);
  }
  vb::ForceResLanguage(std::nullopt);
  qputenv("PATH", path);
}

TEST(MessageBox, EscapeAnswersCancelOrOkAndIsRefusedForYesNo) {
  qttest::app();
  qtview::QtHost host;
  qttest::whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_EQ(host.MsgBox("Retry?", vbRetryCancel, "T"), vbCancel);
  qttest::whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_EQ(host.MsgBox("Note", vbOKOnly | vbInformation, "T"), vbOK);
  // Yes/No: Esc and the close box do nothing; the box stays until a button is pressed.
  bool stillShown = false;
  qttest::whenModal([&](QWidget* w) {
    QTest::keyClick(w, Qt::Key_Escape);
    w->close();
    qttest::settle();
    stillShown = w->isVisible();
    qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(host.MsgBox("Write EEPROM?", vbYesNo | vbQuestion, "T"), vbYes);
  EXPECT_TRUE(stillShown);
}

TEST(MessageBox, EnterTakesTheDefaultButton) {
  qttest::app();
  qtview::QtHost host;
  qttest::whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
  EXPECT_EQ(host.MsgBox("Anyway continue?", vbYesNo | vbDefaultButton2, "T"), vbNo);
}

}  // namespace
