#pragma once
// Helpers shared by the views of the controls and the form window: text conversions and
// positions, captions, pictures, menu shortcuts and painting in the middle of the program's work.
#include <QKeySequence>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <string>

class QPainter;
class QWidget;

namespace qtview {

QString qs(const std::string& s);
std::string ss(const QString& s);

// The model counts text positions in bytes of UTF-8 (and a multi-line box holds CR LF);
// Qt counts UTF-16 units of the shown text (LF only).
int toQtIndex(const std::string& model, long bytes, bool multiLine);
long toModelIndex(const std::string& model, int units, bool multiLine);
// A text box's text as its widget shows it.
QString shownText(const std::string& model, bool multiLine);
// A label's caption as shown: "&" marks the access key (not shown), "&&" shows "&".
QString mnemonicStripped(const QString& text);

// Draws the desktop style's focus mark around `r` of widget `w` (which has the focus).
void drawFocusMark(QWidget* w, QPainter& p, const QRect& r);

// Lets the window system show what was painted, without handling user input or the
// program's posted tasks (see QtHost::Post).
void flushPaint();

bool isSystemColor(long c);
// Shows the cursor of a run-time MousePointer value over `w` (0: the default one).
void setPointer(QWidget* w, int mousePointer);
// A picture of a control: a resource path, else a file; empty for "".
QPixmap pictureOf(const std::string& path);
// A menu shortcut as the layouts write it ("^O", "+{F1}", "%X", "F5", "{DEL}") for Qt.
QKeySequence shortcutOf(const std::string& text);

}  // namespace qtview
