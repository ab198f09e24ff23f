#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>

#include "platform/qt/convert.h"
#include "qt_support.h"

namespace {

TEST(Convert, TwipsAndPixelsAtFifteenPerPixel) {
  EXPECT_EQ(qtview::px(0), 0);
  EXPECT_EQ(qtview::px(15), 1);
  EXPECT_EQ(qtview::px(1440), 96);
  EXPECT_EQ(qtview::px(7), 0);
  EXPECT_EQ(qtview::px(8), 1);
  EXPECT_EQ(qtview::px(-8), -1);
  EXPECT_EQ(qtview::twips(96), 1440);
  // Controls that touch in twips touch in pixels, whatever the rounding of each edge.
  for (long left = 0; left < 60; ++left) {
    QRect a = qtview::pxRect(left, 0, 1207, 100);
    QRect b = qtview::pxRect(left + 1207, 0, 500, 100);
    EXPECT_EQ(a.right() + 1, b.left()) << left;
    EXPECT_FALSE(a.intersects(b)) << left;
  }
  // The progress window's bar: 300, 480, 3975 x 315.
  EXPECT_EQ(qtview::pxRect(300, 480, 3975, 315), QRect(20, 32, 265, 21));
}

TEST(Convert, ColoursAreBgrAndSystemColoursComeFromThePalette) {
  qttest::app();
  EXPECT_EQ(qtview::color(255), QColor(255, 0, 0));
  EXPECT_EQ(qtview::color(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(qtview::color(0x00FF00), QColor(0, 255, 0));
  EXPECT_EQ(qtview::color(0x123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(qtview::color(static_cast<long>(0x8000000Ful)), QApplication::palette().color(QPalette::Button));
  EXPECT_EQ(qtview::color(static_cast<long>(0x80000005ul)), QApplication::palette().color(QPalette::Base));
  // A negative long (the high bit as a signed value) is a system colour too.
  EXPECT_EQ(qtview::color(-2147483633L), QApplication::palette().color(QPalette::Button));
}

TEST(Convert, KeyCodesShiftAndButtonMasks) {
  using qtview::keyCode;
  EXPECT_EQ(keyCode(Qt::Key_A, {}), 65);
  EXPECT_EQ(keyCode(Qt::Key_Z, Qt::ShiftModifier), 90);
  EXPECT_EQ(keyCode(Qt::Key_5, {}), 53);
  EXPECT_EQ(keyCode(Qt::Key_5, Qt::KeypadModifier), 101);
  EXPECT_EQ(keyCode(Qt::Key_Percent, Qt::ShiftModifier), 53);  // Shift+5
  EXPECT_EQ(keyCode(Qt::Key_F1, {}), 112);
  EXPECT_EQ(keyCode(Qt::Key_F12, {}), 123);
  EXPECT_EQ(keyCode(Qt::Key_Return, {}), 13);
  EXPECT_EQ(keyCode(Qt::Key_Enter, Qt::KeypadModifier), 13);
  EXPECT_EQ(keyCode(Qt::Key_Escape, {}), 27);
  EXPECT_EQ(keyCode(Qt::Key_Backspace, {}), 8);
  EXPECT_EQ(keyCode(Qt::Key_Up, {}), 38);
  EXPECT_EQ(keyCode(Qt::Key_Down, {}), 40);
  EXPECT_EQ(keyCode(Qt::Key_Left, {}), 37);
  EXPECT_EQ(keyCode(Qt::Key_Right, {}), 39);
  EXPECT_EQ(keyCode(Qt::Key_Delete, {}), 46);
  EXPECT_EQ(keyCode(Qt::Key_Minus, {}), 189);
  EXPECT_EQ(keyCode(Qt::Key_Minus, Qt::KeypadModifier), 109);
  EXPECT_EQ(keyCode(Qt::Key_unknown, {}), 0);
  EXPECT_EQ(keyCode(Qt::Key_Backtab, Qt::ShiftModifier), 9);
  EXPECT_EQ(keyCode(Qt::Key_Question, Qt::ShiftModifier), 191);
  EXPECT_EQ(keyCode(Qt::Key_QuoteDbl, Qt::ShiftModifier), 222);
  EXPECT_EQ(keyCode(Qt::Key_Slash, Qt::KeypadModifier), 111);
  QKeyEvent e(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  EXPECT_EQ(keyCode(e), 112);
  EXPECT_EQ(qtview::shiftMask(Qt::ShiftModifier | Qt::AltModifier), 5);
  EXPECT_EQ(qtview::shiftMask(Qt::ControlModifier), 2);
  EXPECT_EQ(qtview::buttonMask(Qt::LeftButton), 1);
  EXPECT_EQ(qtview::buttonMask(Qt::RightButton | Qt::MiddleButton), 6);
}

TEST(Convert, MousePointers) {
  EXPECT_EQ(qtview::cursorShape(11), Qt::WaitCursor);
  EXPECT_EQ(qtview::cursorShape(0), Qt::ArrowCursor);
  EXPECT_EQ(qtview::cursorShape(13), Qt::BusyCursor);
  EXPECT_EQ(qtview::cursorShape(3), Qt::IBeamCursor);
  EXPECT_EQ(qtview::cursorShape(12345), Qt::ArrowCursor);
}

TEST(Convert, FileFilters) {
  auto f = qtview::fileFilters("Text (*.txt)|*.txt|All (*.*)|*.*");
  ASSERT_EQ(f.size(), 2);
  EXPECT_EQ(f[0].description, "Text (*.txt)");
  EXPECT_EQ(f[0].patterns, QStringList{"*.[tT][xX][tT]"});
  EXPECT_EQ(f[0].qtFilter, "Text (*.txt) (*.[tT][xX][tT])");
  EXPECT_EQ(f[1].patterns, QStringList{"*"});
  auto g = qtview::fileFilters("Parameter files|*.krv; *.MZL;*.cfg");
  ASSERT_EQ(g.size(), 1);
  EXPECT_EQ(g[0].patterns, (QStringList{"*.[kK][rR][vV]", "*.[mM][zZ][lL]", "*.[cC][fF][gG]"}));
  // A pattern with a character set keeps the set as written.
  EXPECT_EQ(qtview::fileFilters("x|cable[0-9]*.cfg")[0].patterns, QStringList{"[cC][aA][bB][lL][eE][0-9]*.[cC][fF][gG]"});
  // A dangling description without patterns is dropped; nothing at all offers every file.
  EXPECT_EQ(qtview::fileFilters("Text|*.txt|Odd").size(), 1);
  auto none = qtview::fileFilters("");
  ASSERT_EQ(none.size(), 1);
  EXPECT_EQ(none[0].patterns, QStringList{"*"});
}

TEST(Convert, CaptionsKeepAccessKeys) {
  EXPECT_EQ(qtview::caption("OK(&O)"), "OK(&O)");
  EXPECT_EQ(qtview::caption("A && B"), "A && B");
  EXPECT_EQ(qtview::caption("Trailing&"), "Trailing&&");
}

TEST(Convert, JapaneseTextGetsAFontThatHasItsGlyphs) {
  qttest::app();
  EXPECT_TRUE(qtview::hasJapanese(QString::fromUtf8("カメラ")));
  EXPECT_TRUE(qtview::hasJapanese(QString::fromUtf8("受信")));
  EXPECT_FALSE(qtview::hasJapanese("Receiving data"));
  QFont ja = qtview::uiFont(true);
  QFontMetrics fm(ja);
  const QString text = QString::fromUtf8("カメラからデータを受信中です。");
  for (QChar c : text) EXPECT_TRUE(fm.inFontUcs4(c.unicode())) << int(c.unicode());
  EXPECT_EQ(QFontInfo(ja).pixelSize(), 11);
  EXPECT_EQ(QFontInfo(qtview::uiFont(false)).pixelSize(), 12);
  // A line of Japanese text fits the row a layout gives a line (255 twips, 17 pixels).
  EXPECT_LE(fm.boundingRect(QRect(0, 0, 1000, 1000), 0, text).height(), 17);
}

}  // namespace
