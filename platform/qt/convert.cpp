#include "platform/qt/convert.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QRegularExpression>
#include <cmath>

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
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: break;
  }
  if (mods & Qt::KeypadModifier) {
    switch (key) {
      case Qt::Key_Asterisk: return 106;
      case Qt::Key_Plus: return 107;
      case Qt::Key_Minus: return 109;
      case Qt::Key_Period: case Qt::Key_Comma: return 110;
      case Qt::Key_Slash: return 111;
      default: break;
    }
  }
  // Shifted digits of a US keyboard give the digit's code, as the key itself is reported.
  static const char shifted[] = ")!@#$%^&*(";
  for (int d = 0; d < 10; ++d)
    if (key == shifted[d]) return '0' + d;
  switch (key) {
    case ';': case ':': return 186;
    case '=': case '+': return 187;
    case ',': case '<': return 188;
    case '-': case '_': return 189;
    case '.': case '>': return 190;
    case '/': case '?': return 191;
    case '`': case '~': return 192;
    case '[': case '{': return 219;
    case '\\': case '|': return 220;
    case ']': case '}': return 221;
    case '\'': case '"': return 222;
    default: return 0;
  }
}

int keyCode(const QKeyEvent& e) { return keyCode(e.key(), e.modifiers()); }

int qtKey(int code) {
  if ((code >= 65 && code <= 90) || (code >= 48 && code <= 57)) return code;
  if (code >= 112 && code <= 135) return Qt::Key_F1 + (code - 112);
  switch (code) {
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 13: return Qt::Key_Return;
    case 16: return Qt::Key_Shift;
    case 17: return Qt::Key_Control;
    case 18: return Qt::Key_Alt;
    case 27: return Qt::Key_Escape;
    case 32: return Qt::Key_Space;
    case 33: return Qt::Key_PageUp;
    case 34: return Qt::Key_PageDown;
    case 35: return Qt::Key_End;
    case 36: return Qt::Key_Home;
    case 37: return Qt::Key_Left;
    case 38: return Qt::Key_Up;
    case 39: return Qt::Key_Right;
    case 40: return Qt::Key_Down;
    case 45: return Qt::Key_Insert;
    case 46: return Qt::Key_Delete;
    default: return 0;
  }
}

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
