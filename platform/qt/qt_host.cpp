#include "platform/qt/qt_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/app/app.h"
#include "platform/forms/forms.h"
#include "platform/qt/convert.h"
#include "platform/qt/form_view.h"
#include "platform/qt/message_box.h"
#include "platform/qt/view_support.h"
#include "platform/qt/window_system.h"
#include "platform/vb/scoped_value.h"

namespace qtview {

namespace {

// A message box or file dialog in the list of those up, while it is up.
struct Asking {
  Asking(std::vector<QPointer<QDialog>>& up, QDialog* d) : up_(up), d_(d) { up_.push_back(d); }
  ~Asking() {
    up_.erase(std::remove_if(up_.begin(), up_.end(), [this](const QPointer<QDialog>& p) { return !p || p == d_; }),
              up_.end());
  }
  std::vector<QPointer<QDialog>>& up_;
  QDialog* d_;
};
}  // namespace

QWidget* QtHost::dialogParent() const {
  if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible()) return w;
  if (QWidget* w = QApplication::activeWindow(); w && w->isVisible()) return w;
  // No window is active to the window system just now (it moves the activation, from a menu
  // closed just now, say): the box belongs over the active form's window all the same.
  if (forms::Form* f = forms::Screen.ActiveForm())
    if (FormView* v = viewOf(*f); v && v->window()->isVisible()) return v->window();
  return nullptr;
}

namespace {
qint64 nowMs() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return clock.elapsed();
}
// A window the program asked for can still be activated while it is shown (the pointer is only
// compared until it is found among the live windows).
bool stillShown(ActivationRecord::Window w) {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top == w) return top->isVisible();
  return false;
}
}  // namespace

QtHost::QtHost() : activations_(nowMs, stillShown) {}

void QtHost::requestActivation(QWidget* window) {
  if (!window->isVisible() || activations_.toBeActive(QApplication::activeWindow()) == window) return;
  window->raise();
  activations_.requested(window);
  window->activateWindow();
}

void QtHost::userActivates(const std::function<void()>& activate) {
  if (activatingForUser_) return;
  const vb::ScopedValue<bool> activating(activatingForUser_, true);
  activate();
}

bool QtHost::atWork() const { return working_ > 0 || modalDepth_ > 0 || flushingPaint(); }

QtHost::~QtHost() {
  closeAll();
  if (pointer_ != 0) QApplication::restoreOverrideCursor();
}

void QtHost::closeAll() {
  auto views = std::move(views_);
  views_.clear();
  for (auto& [f, v] : views) delete v;
}

int QtHost::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  if (unattended_ || SessionEnding()) {
    if (unattended_) std::fprintf(stderr, "[%s] %s\n", title.c_str(), prompt.c_str());
    return SessionEnding() ? forms::CancelMsgBoxAnswer(buttons) : forms::DefaultMsgBoxAnswer(buttons);
  }
  const vb::ScopedValue<int> working(working_, working_ + 1);
  // On the heap: the window it belongs to may go while it is up (it then goes with it).
  QPointer<MessageBox> box = new MessageBox(qs(prompt), buttons, qs(title), dialogParent());
  box->setAttribute(Qt::WA_DeleteOnClose, false);
  const Asking asking(asking_, box.data());
  const int answer = box->ask();
  const unsigned long frame = box ? box->closedFrame() : 0;
  delete box.data();
  repaintUncovered(frame);
  if (SessionEnding()) return forms::CancelMsgBoxAnswer(buttons);
  return answer ? answer : forms::DefaultMsgBoxAnswer(buttons);
}

bool QtHost::FileDialog(forms::FileDialogRequest& r) {
  if (unattended_ || SessionEnding()) return false;
  const vb::ScopedValue<int> working(working_, working_ + 1);
  QPointer<NotesItsFrame<QFileDialog>> owner = new NotesItsFrame<QFileDialog>(dialogParent());
  const Asking asking(asking_, owner.data());
  const auto deleter = qScopeGuard([&owner] { delete owner.data(); });
  QFileDialog& dlg = *owner;
  dlg.setObjectName("FileDialog");
  dlg.setOption(QFileDialog::DontUseNativeDialog, true);
  dlg.setOption(QFileDialog::HideNameFilterDetails, true);
  dlg.setAcceptMode(r.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  const bool mustExist = !r.Save || (r.Flags & forms::cdlOFNFileMustExist);
  dlg.setFileMode(r.Save ? QFileDialog::AnyFile : (mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
  if (r.Save && !(r.Flags & forms::cdlOFNOverwritePrompt)) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  dlg.setWindowTitle(!r.DialogTitle.empty() ? qs(r.DialogTitle)
                                            : (r.Save ? QFileDialog::tr("Save As") : QFileDialog::tr("Open")));
  const QList<FileFilter> filters = fileFilters(qs(r.Filter));
  QStringList names;
  for (const FileFilter& f : filters) names << f.qtFilter;
  dlg.setNameFilters(names);
  const int index = std::clamp(r.FilterIndex, 1, static_cast<int>(names.size())) - 1;
  dlg.selectNameFilter(names[index]);
  if (!r.DefaultExt.empty()) dlg.setDefaultSuffix(qs(r.DefaultExt));
  QFileInfo initial(qs(r.FileName));
  if (!r.InitDir.empty()) dlg.setDirectory(qs(r.InitDir));
  else if (!r.FileName.empty() && initial.isAbsolute()) dlg.setDirectory(initial.absolutePath());
  if (!r.FileName.empty()) dlg.selectFile(initial.fileName());
  const bool accepted = dlg.exec() == QDialog::Accepted && owner;
  if (owner) {
    dlg.hide();
    repaintUncovered(owner->closedFrame());
  }
  if (!accepted || SessionEnding() || dlg.selectedFiles().isEmpty()) return false;
  r.FileName = QDir::toNativeSeparators(dlg.selectedFiles().first()).toStdString();
  r.FilterIndex = static_cast<int>(names.indexOf(dlg.selectedNameFilter())) + 1;
  if (r.FilterIndex < 1) r.FilterIndex = index + 1;
  return true;
}

void QtHost::RunModal(forms::Form& form) {
  if (form.ModalDone()) return;
  FormView* view = viewOf(form);
  if (!view || unattended_ || SessionEnding()) {
    Host::RunModal(form);
    return;
  }
  QWidget* window = view->window();
  // The view opened the window as a modal one (Form::ShowingModal); it is never hidden and
  // shown again here, which a window manager may answer by never mapping it. The model keeps
  // the user's input from the other windows in any case.
  if (!window->isModal()) window->setWindowModality(Qt::ApplicationModal);
  requestActivation(window);
  view->syncFocus();
  QEventLoop loop;
  QObject::connect(view, &FormView::modalMaybeDone, &loop, &QEventLoop::quit);
  QObject::connect(view, &QObject::destroyed, &loop, &QEventLoop::quit);
  ++modalDepth_;
  modalLoops_.push_back(&loop);
  while (!form.ModalDone() && !SessionEnding()) {
    loop.exec(QEventLoop::DialogExec);
    if (!viewOf(form)) break;  // unloaded
  }
  modalLoops_.erase(std::find(modalLoops_.begin(), modalLoops_.end(), &loop));
  // The session ends: the work run from the window is done now; the window closes as by its
  // close box (and is hidden when it refuses, ending its modal show).
  if (SessionEnding() && viewOf(form)) Host::RunModal(form);
  --modalDepth_;
}

void QtHost::EndSession() {
  Host::EndSession();
  for (const QPointer<QDialog>& d : asking_)
    if (d) d->reject();
  // A loop returns at once, or when the work running inside it (a transfer) is done.
  for (QEventLoop* loop : modalLoops_) loop->quit();
}

void QtHost::DoEvents() {
  const vb::ScopedValue<int> working(working_, working_ + 1);
  QApplication::processEvents(QEventLoop::AllEvents);
  Host::DoEvents();
}

void QtHost::Post(std::function<void()> task) {
  Host::Post(std::move(task));
  // The tasks run when the program next waits for input.
  schedulePosted();
}

void QtHost::schedulePosted() {
  QTimer::singleShot(0, qApp, [this] {
    if (flushingPaint()) schedulePosted();  // not in the middle of the program's work
    else RunPosted();
  });
}

void QtHost::MousePointerChanged(int pointer) {
  if (pointer == pointer_) return;
  if (pointer == 0) {
    QApplication::restoreOverrideCursor();
  } else if (pointer_ == 0) {
    QApplication::setOverrideCursor(QCursor(cursorShape(pointer)));
  } else {
    QApplication::changeOverrideCursor(QCursor(cursorShape(pointer)));
  }
  pointer_ = pointer;
}

void QtHost::ShowHelp(const std::string& helpFile, long context) {
  (void)context;  // the desktop's viewer opens the file at its start page
  if (helpFile.empty()) return;
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(qs(helpFile)))) return;
  // No program of the desktop opens it (none installed, or none for the file's kind): the user
  // learns where the file lies, to open it some other way.
  const std::string said = catalogueIsJapanese() ? "ヘルプファイルを開けませんでした:"
                                                 : "The help file could not be opened:";
  MsgBox(said + "\r\n" + helpFile, forms::vbExclamation | forms::vbOKOnly, vb::App::Title());
}

bool QtHost::OpenDocument(const std::string& target) {
  const QString t = qs(target).trimmed();
  if (t.isEmpty()) return false;
  QUrl url(t);
  if (url.scheme().size() <= 1) url = QUrl::fromLocalFile(t);  // a path (or a drive letter)
  return QDesktopServices::openUrl(url);
}

forms::TextSize QtHost::MeasureText(const std::string& text, const forms::Font& font) {
  // Labels that size themselves measure the same captions again and again (at the load, and
  // with every change of caption, font or style): each text is measured once in each font.
  const bool japanese = catalogueIsJapanese();
  MeasureKey key{text, font.Size, font.Bold, font.Italic, japanese};
  if (auto it = measured_.find(key); it != measured_.end()) return it->second;
  if (measured_.size() >= kMeasuredKept) measured_.clear();
  return measured_[std::move(key)] = measure(text, font, japanese);
}

forms::TextSize QtHost::measure(const std::string& text, const forms::Font& font, bool japanese) {
  QFont f = uiFont(japanese, font.Size);
  f.setBold(font.Bold);
  f.setItalic(font.Italic);
  QFontMetrics fm(f);
  QString t = qs(text);
  t.replace("\r\n", "\n");
  const QStringList lines = t.split('\n');
  int width = 0;
  for (const QString& line : lines)
    width = std::max({width, fm.horizontalAdvance(line), fm.boundingRect(QRect(0, 0, 100000, 100000), 0, line).width()});
  const int height = fm.height() + (static_cast<int>(lines.size()) - 1) * fm.lineSpacing();
  // One pixel of slack each way, so that the text never touches the label's edge.
  return {twips(width + 1), twips(height + 1)};
}

// The window manager's frame; a window without a border has none.
bool QtHost::FrameOf(int borderStyle, forms::WindowFrame& frame) {
  if (borderStyle == 0) return false;
  const std::optional<QMargins> m = windowSystem().frameFor(borderStyle == 4 || borderStyle == 5);
  if (m) frame = {twips(m->left()), twips(m->top()), twips(m->right()), twips(m->bottom())};
  return m.has_value();
}

void QtHost::FormLoaded(forms::Form& form) {
  if (views_.count(&form)) return;
  // Every window, message box and dialog shows the program's icon in its title bar and taskbar.
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(QIcon(pictureOf("icons/camera.png")));
  views_[&form] = new FormView(form, *this);
}

void QtHost::FormUnloaded(forms::Form& form) {
  auto it = views_.find(&form);
  if (it == views_.end()) return;
  FormView* v = it->second;
  views_.erase(it);
  v->detach();
  v->deleteLater();
  QTimer::singleShot(0, qApp, [this] { checkNoForm(); });
}

FormView* QtHost::viewOf(const forms::Form& form) const {
  auto it = views_.find(&form);
  return it == views_.end() ? nullptr : it->second;
}

void QtHost::checkNoForm() {
  if (forms::LoadedForms().empty() && onNoFormLoaded) onNoFormLoaded();
}

bool displayAvailable(QString* why) {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM")) return true;
  if (why)
    *why = "orvadex: no display to show its windows on (neither DISPLAY nor WAYLAND_DISPLAY is "
           "set). Start it from a desktop session, or set QT_QPA_PLATFORM (for example "
           "QT_QPA_PLATFORM=offscreen for tests).";
  return false;
}

}  // namespace qtview
