// Helpers shared by the views of the controls and the form window.
#include "platform/qt/view_support.h"

#include <QApplication>
#include <QKeySequence>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>
#include <map>

#include "platform/qt/convert.h"
#include "resources/resources.h"

namespace qtview {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string ss(const QString& s) { return s.toStdString(); }

int toQtIndex(const std::string& model, long bytes, bool multiLine) {
  bytes = std::clamp(bytes, 0L, static_cast<long>(model.size()));
  QString prefix = QString::fromUtf8(model.data(), bytes);
  if (multiLine) prefix.remove('\r');
  return static_cast<int>(prefix.size());
}

long toModelIndex(const std::string& model, int units, bool multiLine) {
  const QString s = qs(model);
  int seen = 0;
  long bytes = 0;
  for (qsizetype i = 0; i < s.size() && seen < units;) {
    const qsizetype n = (s[i].isHighSurrogate() && i + 1 < s.size()) ? 2 : 1;
    const QString ch = s.mid(i, n);
    bytes += ch.toUtf8().size();
    if (!(multiLine && ch == "\r")) seen += static_cast<int>(n);
    i += n;
  }
  return bytes;
}

QString shownText(const std::string& model, bool multiLine) {
  QString t = qs(model);
  if (multiLine) t.remove('\r');
  return t;
}

QString mnemonicStripped(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

void drawFocusMark(QWidget* w, QPainter& p, const QRect& r) {
  QStyleOptionFocusRect o;
  o.initFrom(w);
  o.rect = r;
  o.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
  o.backgroundColor = w->palette().color(w->backgroundRole());
  w->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, w);
}

namespace {
int flushing = 0;  // flushPaint runs
}  // namespace

void flushPaint() {
  ++flushing;
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
  --flushing;
}

bool flushingPaint() { return flushing > 0; }

bool isSystemColor(long c) { return (static_cast<unsigned long>(c) & 0x80000000ul) != 0; }

void setPointer(QWidget* w, int mousePointer) {
  if (mousePointer == 0) w->unsetCursor();
  else w->setCursor(cursorShape(mousePointer));
}

QPixmap pictureOf(const std::string& path) {
  QPixmap pm;
  if (path.empty()) return pm;
  if (auto data = resources::find(path)) {
    pm.loadFromData(reinterpret_cast<const uchar*>(data->data()), static_cast<uint>(data->size()));
  } else {
    pm.load(qs(path));
  }
  return pm;
}

QKeySequence shortcutOf(const std::string& text) {
  QString s = qs(text).trimmed();
  if (s.isEmpty()) return {};
  QString mods;
  while (!s.isEmpty() && (s[0] == '^' || s[0] == '+' || s[0] == '%')) {
    mods += s[0] == '^' ? "Ctrl+" : s[0] == '+' ? "Shift+" : "Alt+";
    s.remove(0, 1);
  }
  if (s.startsWith('{') && s.endsWith('}')) s = s.mid(1, s.size() - 2);
  static const std::map<QString, QString> names = {
      {"DEL", "Del"}, {"DELETE", "Del"}, {"INSERT", "Ins"}, {"INS", "Ins"}, {"BKSP", "Backspace"},
      {"BS", "Backspace"}, {"ENTER", "Return"}};
  auto it = names.find(s.toUpper());
  if (it != names.end()) s = it->second;
  return QKeySequence::fromString(mods + s);
}

}  // namespace qtview
