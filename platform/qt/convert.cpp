#include "platform/qt/convert.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/app/res_string.h"

namespace qtview {

int px(long twips) {
  // Round half away from zero, so that -7 and 7 twips map symmetrically.
  double p = static_cast<double>(twips) / kTwipsPerPixel;
  return static_cast<int>(std::lround(p));
}

long twips(int pixels) { return static_cast<long>(pixels) * kTwipsPerPixel; }

QRect pxRect(long left, long top, long width, long height) {
  int l = px(left), t = px(top);
  int r = px(left + width), b = px(top + height);
  return QRect(l, t, std::max(0, r - l), std::max(0, b - t));
}

namespace {

QColor systemColor(int index) {
  const QPalette pal = QApplication::palette();
  switch (index) {
    case 0: return pal.color(QPalette::Button);           // scroll bar
    case 1: return pal.color(QPalette::Dark);             // desktop
    case 2: return pal.color(QPalette::Highlight);        // active caption
    case 3: return pal.color(QPalette::Mid);              // inactive caption
    case 4: return pal.color(QPalette::Window);           // menu bar
    case 5: return pal.color(QPalette::Base);             // window background
    case 6: return pal.color(QPalette::Shadow);           // window frame
    case 7: return pal.color(QPalette::WindowText);       // menu text
    case 8: return pal.color(QPalette::Text);             // window text
    case 9: return pal.color(QPalette::HighlightedText);  // caption text
    case 10: case 11: return pal.color(QPalette::Mid);    // borders
    case 12: return pal.color(QPalette::Dark);            // application workspace
    case 13: return pal.color(QPalette::Highlight);
    case 14: return pal.color(QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Button);          // button face
    case 16: return pal.color(QPalette::Dark);            // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);  // grey text
    case 18: return pal.color(QPalette::ButtonText);
    case 19: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 20: return pal.color(QPalette::Light);           // button highlight
    case 21: return pal.color(QPalette::Shadow);          // 3-D dark shadow
    case 22: return pal.color(QPalette::Midlight);        // 3-D light
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    default: return pal.color(QPalette::Window);
  }
}

}  // namespace

QColor color(long vbColor) {
  unsigned long v = static_cast<unsigned long>(vbColor) & 0xFFFFFFFFul;
  if (v & 0x80000000ul) return systemColor(static_cast<int>(v & 0xFFu));
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

int keyCode(int key, Qt::KeyboardModifiers mods) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // same codes, 65 to 90
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    if (mods & Qt::KeypadModifier) return 96 + (key - Qt::Key_0);  // vbKeyNumpad0...
    return key;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  static const std::map<int, int> named = {
      {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9}, {Qt::Key_Backtab, 9}, {Qt::Key_Clear, 12}, {Qt::Key_Return, 13},
      {Qt::Key_Enter, 13}, {Qt::Key_Shift, 16}, {Qt::Key_Control, 17}, {Qt::Key_Alt, 18}, {Qt::Key_Pause, 19},
      {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27}, {Qt::Key_Space, 32}, {Qt::Key_PageUp, 33},
      {Qt::Key_PageDown, 34}, {Qt::Key_End, 35}, {Qt::Key_Home, 36}, {Qt::Key_Left, 37}, {Qt::Key_Up, 38},
      {Qt::Key_Right, 39}, {Qt::Key_Down, 40}, {Qt::Key_Print, 44}, {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46},
      {Qt::Key_Help, 47}, {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145}};
  // The keys of the number pad's operators, and the punctuation keys of a US keyboard (either
  // character of a key gives its code).
  static const std::map<int, int> keypad = {
      {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109}, {Qt::Key_Period, 110},
      {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111}};
  static const std::pair<const char*, int> punctuation[] = {
      {";:", 186}, {"=+", 187}, {",<", 188}, {"-_", 189}, {".>", 190}, {"/?", 191}, {"`~", 192},
      {"[{", 219}, {"\\|", 220}, {"]}", 221}, {"'\"", 222}};
  if (auto it = named.find(key); it != named.end()) return it->second;
  if (auto it = keypad.find(key); it != keypad.end() && (mods & Qt::KeypadModifier)) return it->second;
  // Shifted digits give the digit's code, as the key itself is reported.
  static const char shifted[] = ")!@#$%^&*(";
  for (int d = 0; d < 10; ++d)
    if (key == shifted[d]) return '0' + d;
  for (const auto& [chars, code] : punctuation)
    if (key > 0 && key < 128 && std::strchr(chars, key)) return code;
  return 0;
}

int keyCode(const QKeyEvent& e) { return keyCode(e.key(), e.modifiers()); }

int shiftMask(Qt::KeyboardModifiers mods) {
  int s = 0;
  if (mods & Qt::ShiftModifier) s |= 1;
  if (mods & Qt::ControlModifier) s |= 2;
  if (mods & Qt::AltModifier) s |= 4;
  return s;
}

int buttonMask(Qt::MouseButtons buttons) {
  int b = 0;
  if (buttons & Qt::LeftButton) b |= 1;
  if (buttons & Qt::RightButton) b |= 2;
  if (buttons & Qt::MiddleButton) b |= 4;
  return b;
}

Qt::CursorShape cursorShape(int mp) {
  switch (mp) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5: case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}

namespace {

// A glob that matches letters in either case: "*.krv" becomes "*.[kK][rR][vV]".
QString eitherCase(const QString& glob) {
  QString out;
  bool inSet = false;
  for (QChar c : glob) {
    if (c == '[') inSet = true;
    if (c == ']') inSet = false;
    if (!inSet && c.isLetter() && c.toLower() != c.toUpper()) {
      out += '[';
      out += c.toLower();
      out += c.toUpper();
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

QList<FileFilter> fileFilters(const QString& vbFilter) {
  QList<FileFilter> out;
  const QStringList parts = vbFilter.split('|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter f;
    f.description = parts[i];
    for (const QString& p : parts[i + 1].split(';')) {
      QString g = p.trimmed();
      if (g.isEmpty()) continue;
      if (g == "*.*") g = "*";
      // Characters QFileDialog cannot carry inside its parenthesised pattern list.
      g.remove(QRegularExpression("[()\\s]"));
      if (!g.isEmpty()) f.patterns << eitherCase(g);
    }
    if (f.patterns.isEmpty()) f.patterns << "*";
    f.qtFilter = f.description + " (" + f.patterns.join(' ') + ")";
    out << f;
  }
  if (out.isEmpty()) {
    FileFilter all;
    all.patterns << "*";
    all.qtFilter = "(*)";
    out << all;
  }
  return out;
}

QString caption(const QString& text) {
  QString t = text;
  // A lone "&" at the end marks nothing; show it as the character.
  int amps = 0;
  for (qsizetype i = t.size() - 1; i >= 0 && t[i] == '&'; --i) ++amps;
  if (amps % 2 == 1) t += '&';
  return t;
}

int fontPixels(double points, bool japanese) {
  const int px = static_cast<int>(std::lround(points * 96.0 / 72.0));
  return std::max(6, japanese ? px - 1 : px);
}

QFont uiFont(bool japanese, double points) {
  QFont f;
  QStringList families;
  if (japanese) families << "Noto Sans CJK JP" << "DejaVu Sans";
  else families << "DejaVu Sans" << "Noto Sans CJK JP";
  families << "Sans Serif";
  f.setFamilies(families);
  f.setPixelSize(fontPixels(points, japanese));
  f.setStyleHint(QFont::SansSerif);
  return f;
}

bool hasJapanese(const QString& text) {
  for (QChar c : text) {
    ushort u = c.unicode();
    if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
      return true;
  }
  return false;
}

bool catalogueIsJapanese() {
  try {
    return hasJapanese(QString::fromStdString(vb::LoadResString(0)));
  } catch (...) {
    return false;
  }
}

}  // namespace qtview
