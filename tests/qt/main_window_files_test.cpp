// The file commands of the main window through the real widgets: Open and Save through the
// real file dialog with its filters, a file dropped on the pages, and F1 on a highlighted menu
// item; the window runs against the simulated camera in this process.
#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <set>

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "platform/app/app.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "qt_support.h"
#include "tests/ui/main_window_commands_support.h"

namespace {

using ::testing::ElementsAre;

class MainWindowFilesQt : public uitest::CommandsTest {
 protected:
  void SetUp() override {
    qttest::app();
    CommandsTest::SetUp();
    forms::setHost(&qt);
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    qttest::settle();
    forms::setHost(&host);
    CommandsTest::TearDown();
  }
  qtview::FormView* view() { return qt.viewOf(win()); }
  // The user types the name into the dialog's name box.
  static void choose(QFileDialog* dlg, const QString& name) {
    // The user looks at the folder first: its listing has arrived.
    auto* model = dlg->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    // Ten seconds, for a machine busy with other work.
    const QString folder = dlg->directory().absolutePath();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) > 0; }, 10000))
        << "the file dialog did not list the folder " << folder.toStdString() << " within 10 s";
    QTest::qWait(50);
    auto* edit = dlg->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
  }
  // Runs `act` once `find` gives a visible window (polled from the event loop, 5 s at most).
  static void whenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(&qttest::app());
    auto waited = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, find, act] {
      QWidget* w = find();
      if ((w && w->isVisible()) || (*waited += 10) > 5000) {
        timer->stop();
        timer->deleteLater();
        if (w) act(w);
      }
    });
    timer->start();
  }
  // Answers the next real message box with `button` and keeps its text.
  static void answerBox(QMessageBox::StandardButton button, std::vector<QString>* texts) {
    whenShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
              [button, texts](QWidget* w) {
                auto* box = static_cast<QMessageBox*>(w);
                texts->push_back(box->text());
                box->button(button)->click();
              });
  }
  // Presses OK in the data-list dialog once it shows.
  void confirmList(std::vector<QString>* boxes) {
    whenShown(
        [this]() -> QWidget* {
          qtview::FormView* list = qt.viewOf(frmDispSelectData());
          return list ? list->window() : nullptr;
        },
        [this, boxes](QWidget* w) {
          qttest::screenshot(w, "main_open_confirmation");
          answerBox(QMessageBox::No, boxes);
          QTest::mouseClick(qt.viewOf(frmDispSelectData())->widgetOf(&frmDispSelectData().cmdOk), Qt::LeftButton);
        });
  }

  // The real host, but help requests are recorded rather than handed to the desktop's opener.
  struct Host : qtview::QtHost {
    void ShowHelp(const std::string& file, long context) override { help.emplace_back(file, context); }
    std::vector<std::pair<std::string, long>> help;
  } qt;
};

TEST_F(MainWindowFilesQt, OpenAndSaveGoThroughTheRealFileDialogWithItsFilters) {
  onLine();
  qttest::settle();
  const std::string path = parameterFile("dialog.cfg", {{64, other(64)}});
  const uint8_t value = static_cast<uint8_t>(other(64));

  // Open: the dialog offers KRV, CFG (chosen first), MZL and every file; the data list is
  // confirmed in its window, and "Write EEPROM?" answered No.
  QStringList filters;
  QString chosenFilter, title;
  std::vector<QString> boxes;
  qttest::whenModal([&](QWidget* w) {
    auto* dlg = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dlg, nullptr);
    filters = dlg->nameFilters();
    chosenFilter = dlg->selectedNameFilter();
    title = dlg->windowTitle();
    qttest::screenshot(dlg, "main_open_dialog");
    choose(dlg, QString::fromStdString(path));
    confirmList(&boxes);
    QMetaObject::invokeMethod(dlg, "accept");
  });
  ASSERT_TRUE(win().mnuFile(1).UserChoose());
  qttest::settle();
  ASSERT_EQ(filters.size(), 4);
  EXPECT_TRUE(filters[0].startsWith("KRV File(*.KRV)")) << filters[0].toStdString();
  EXPECT_TRUE(filters[2].startsWith("MZL File(*.MZL)")) << filters[2].toStdString();
  EXPECT_TRUE(filters[3].startsWith("All File(*.*)")) << filters[3].toStdString();
  EXPECT_TRUE(chosenFilter.startsWith("CFG File(*.CFG)")) << chosenFilter.toStdString();
  EXPECT_EQ(title, "Orvadex");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Write EEPROM?");
  EXPECT_THAT(settingsSent(), ElementsAre(std::make_pair(uint8_t{64}, value)));
  EXPECT_EQ(gstrRecentlyUsedFile[0], path);

  // Save: KRV and CFG, no DEV outside developing mode; the typed name gets the CFG extension.
  filters.clear();
  qttest::whenModal([&](QWidget* w) {
    auto* dlg = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dlg, nullptr);
    filters = dlg->nameFilters();
    chosenFilter = dlg->selectedNameFilter();
    choose(dlg, QString::fromStdString(dir.file("saved")));
    // A question of the dialog itself (an existing file) is answered Yes and shows as a failure.
    qttest::whenModal(
        [&](QWidget* w2) {
          if (auto* box = qobject_cast<QMessageBox*>(w2)) {
            ADD_FAILURE() << box->text().toStdString();
            box->button(QMessageBox::Yes)->click();
          }
        },
        300);
    QMetaObject::invokeMethod(dlg, "accept");
  });
  ASSERT_TRUE(win().mnuFile(2).UserChoose());
  QTest::qWait(350);  // the dialog's own question did not come
  ASSERT_EQ(filters.size(), 3);
  EXPECT_TRUE(chosenFilter.startsWith("CFG File(*.CFG)")) << chosenFilter.toStdString();
  EXPECT_TRUE(filters[1].startsWith("CFG File(*.CFG)")) << filters[1].toStdString();
  ASSERT_TRUE(dir.exists("saved.CFG"));
  EXPECT_NE(dir.read("saved.CFG").find("FileKind=CFG"), std::string::npos);
  EXPECT_EQ(gstrRecentlyUsedFile[0], dir.file("saved.CFG"));
  EXPECT_EQ(view()->actionOf(&win().mnuRecentlyFileName(0))->text().toStdString(), dir.file("saved.CFG"));
  EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindowFilesQt, AFileDroppedOnThePagesIsOpened) {
  onLine();
  qttest::settle();
  const uint8_t value = static_cast<uint8_t>(other(65));
  const std::string first = parameterFile("dropped.cfg", {{65, value}});
  const std::string second = parameterFile("ignored.cfg", {{64, other(64)}});
  std::vector<QString> boxes;
  confirmList(&boxes);
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(first)), QUrl::fromLocalFile(QString::fromStdString(second))});
  QWidget* window = view()->window();
  const QPoint at = view()->widgetOf(&win().SSTab1)->mapTo(window, QPoint(400, 300));
  QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
  QApplication::sendEvent(window, &enter);
  QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, {});
  QApplication::sendEvent(window, &drop);
  qttest::settle();
  delete mime;
  EXPECT_THAT(boxes, ElementsAre("Write EEPROM?"));
  EXPECT_THAT(settingsSent(), ElementsAre(std::make_pair(uint8_t{65}, value)));
  EXPECT_EQ(gstrRecentlyUsedFile[0], first);
}

// Check on a file holding every code lists them all in a window that fits the screen, its OK
// button inside it for the mouse; on a small screen the columns scroll under a scroll bar.
TEST_F(MainWindowFilesQt, CheckOnAFullFileListsEveryCodeWithinTheScreen) {
  onLine();
  win().SSTab1.Tab(12);
  qttest::settle();
  win().txtFileName.Text(parameterFile("full.cfg", {}));  // every code the camera transfers
  const int codes = static_cast<int>(vb::Split(gstrAllCmdList, ",").size());
  const long savedWidth = forms::Screen.Width(), savedHeight = forms::Screen.Height();
  for (const QSize size : {QSize(1920, 1080), QSize(1024, 600)}) {
    SCOPED_TRACE(size.width());
    forms::Screen.SetSize(size.width() * 15, size.height() * 15);
    std::set<std::string> seen;
    bool shown = false, scrolled = false;
    whenShown(
        [this]() -> QWidget* {
          qtview::FormView* list = qt.viewOf(frmDispSelectData());
          return list ? list->window() : nullptr;
        },
        [&](QWidget* w) {
          shown = true;
          qtview::FormView* view = qt.viewOf(frmDispSelectData());
          qttest::screenshot(w, QString("main_check_full_file_%1").arg(size.width()));
          EXPECT_LE(w->frameGeometry().width(), size.width());
          EXPECT_LE(w->frameGeometry().height(), size.height());
          auto inside = [&](QWidget* c) { return w->rect().contains(QRect(c->mapTo(w, QPoint(0, 0)), c->size())); };
          QWidget* ok = view->widgetOf(&frmDispSelectData().cmdOk);
          ASSERT_NE(ok, nullptr);
          EXPECT_TRUE(ok->isVisible() && inside(ok));
          // Every row of the list comes into view inside the window, at once or by scrolling.
          auto* bar = qobject_cast<QScrollBar*>(view->widgetOf(&frmDispSelectData().hsColumns));
          ASSERT_NE(bar, nullptr);
          for (;;) {
            for (forms::Label& row : frmDispSelectData().lblKeyAndValue) {
              QWidget* label = view->widgetOf(&row);
              if (!label || !label->isVisible()) continue;
              seen.insert(row.Caption());
              EXPECT_TRUE(inside(label)) << row.Caption();
            }
            if (!bar->isVisible() || bar->value() == bar->maximum()) break;
            scrolled = true;
            bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            qttest::settle();
          }
          QTest::mouseClick(ok, Qt::LeftButton);
        });
    ASSERT_TRUE(win().cmdCheck.UserClick());
    qttest::settle();
    EXPECT_TRUE(shown);
    EXPECT_EQ(scrolled, size.width() < 1920);
    EXPECT_EQ(static_cast<int>(seen.size()), codes);
    EXPECT_FALSE(frmDispSelectData().Loaded());
  }
  forms::Screen.SetSize(savedWidth, savedHeight);
  EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindowFilesQt, F1OnAHighlightedMenuItemAsksForItsHelp) {
  const std::string chm = dir.file("orvadex.chm");
  dir.write("orvadex.chm", "");
  vb::App::HelpFile(chm);
  onLine();
  qttest::settle();
  QMenu* file = view()->actionOf(&win().mnuTitleFile)->menu();
  ASSERT_NE(file, nullptr);
  file->popup(QPoint(0, 0));
  qttest::settle();
  file->setActiveAction(view()->actionOf(&win().mnuFile(1)));
  // F1 asks for the help of the highlighted "Open(&O)..."; the item is not chosen.
  bool dialogShown = false;
  qttest::whenModal(
      [&](QWidget* w) {
        dialogShown = true;
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
      },
      300);
  QTest::keyClick(file, Qt::Key_F1);
  QTest::qWait(400);
  file->hide();
  EXPECT_FALSE(dialogShown);
  EXPECT_THAT(qt.help, ElementsAre(std::pair<std::string, long>{chm, 502}));
  vb::App::HelpFile("");
}

}  // namespace
