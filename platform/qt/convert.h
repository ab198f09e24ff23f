#pragma once
// Conversions between the forms model's units and codes and Qt's: twips and pixels, colours
// (BGR longs and system colours), key codes and shift masks, mouse pointers, file-dialog
// filter strings, and the font that shows the catalogue's language.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <Qt>

class QKeyEvent;

namespace qtview {

// Twips per pixel at 96 dpi, the scale every layout is drawn in.
constexpr int kTwipsPerPixel = 15;

// A twips coordinate in pixels (rounded to the nearest pixel).
int px(long twips);
// A pixel count in twips.
long twips(int pixels);
// A rectangle given in twips, in pixels. The right and bottom edges are rounded on their own,
// so that controls that touch in twips touch in pixels too (never overlap by rounding).
QRect pxRect(long left, long top, long width, long height);

// A colour of the model: &H00BBGGRR, or a system colour (&H80000000 + index) resolved from
// the application's palette.
QColor color(long vbColor);

// The run time's key code (vbKeyA = 65, vbKeyF1 = 112, vbKeyReturn = 13...) of a Qt key
// event; 0 for keys the run time has no code for.
int keyCode(const QKeyEvent& e);
int keyCode(int qtKey, Qt::KeyboardModifiers mods);
// The Shift argument of key and mouse events: vbShiftMask 1, vbCtrlMask 2, vbAltMask 4.
int shiftMask(Qt::KeyboardModifiers mods);
// The Button argument of mouse events: vbLeftButton 1, vbRightButton 2, vbMiddleButton 4.
int buttonMask(Qt::MouseButtons buttons);

// The cursor of a run-time MousePointer value (vbHourglass 11 is the wait cursor).
Qt::CursorShape cursorShape(int mousePointer);

// One entry of a file-dialog filter.
struct FileFilter {
  QString description;  // shown to the user, as written in the filter string
  QString qtFilter;     // "description (patterns)" for QFileDialog
  QStringList patterns; // the globs, matching either case
};
// Splits a filter string of description|pattern pairs ("Text (*.txt)|*.txt|All (*.*)|*.*";
// several patterns in one entry separated by ";"). "*.*" matches every file, and patterns
// match names in either case, as on the system the files come from.
QList<FileFilter> fileFilters(const QString& vbFilter);

// Converts a caption with access keys as the run time writes them ("OK(&O)", "&&" for "&")
// for a Qt widget: the two agree, so this only guards against a trailing lone "&".
QString caption(const QString& text);

// The font the windows use for a font size in points: a sans family with a Japanese-capable
// family first when `japanese` is true, and as fallback otherwise, so that every catalogue
// text shows. Sized in pixels (96 dpi) so that layouts in twips fit at any screen dpi; the
// Japanese face is set one pixel smaller, so that its taller lines fit the rows the layouts
// give a line of text (255 twips).
QFont uiFont(bool japanese, double points = 9);
// The pixel size of a font size in points.
int fontPixels(double points, bool japanese);
// True when the text holds characters of the Japanese scripts.
bool hasJapanese(const QString& text);
// True when the message catalogue speaks Japanese now (the windows then prefer a Japanese font).
bool catalogueIsJapanese();

}  // namespace qtview
