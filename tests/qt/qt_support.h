#pragma once
// Shared by the tests of the Qt view: one QApplication (offscreen, or on a private X server), screenshots
// under the build folder, and a way to act inside a modal dialog while it runs.
#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QString>
#include <QWidget>
#include <QImage>
#include <functional>
#include <string>
#include <vector>

namespace qttest {

// The screen the tests' windows open on offscreen (pixels).
constexpr int kScreenWidth = 1366, kScreenHeight = 768;
// The smallest screen every window fits, with a 40-pixel panel, and the frames window managers
// draw around a window: openbox and fluxbox, icewm, metacity (its title bar 37 or 38 pixels).
constexpr int kSmallScreenWidth = 1024, kSmallScreenHeight = 768, kPanelHeight = 40;
inline constexpr QMargins kWindowManagerFrames[] = {{1, 20, 1, 1}, {5, 24, 5, 5}, {0, 38, 0, 0}};

// The application (created on first use, on the offscreen platform unless QT_QPA_PLATFORM is
// xcb), with the forms' screen set to the size above offscreen and to the X server's screen on
// one, its work area above a panel of kPanelHeight.
QApplication& app();
// The forms' screen (pixels).
QSize screenSize();

// Saves the widget as build/screenshots/<name>.png and returns the path (on an X server the
// whole screen; ORVADEX_SCREENSHOT_PREFIX goes before the name).
QString screenshot(QWidget* w, const QString& name);

// True when the tests run on an X server (QT_QPA_PLATFORM=xcb) rather than offscreen.
bool onX11();
// The frame of the top-level `w` as the window system has it (Qt's idea of a window's frame may
// lag behind the window manager's).
QRect frameRect(QWidget* w);
// Puts `w`'s X window into a new window of the tests' own (a child of the root, on the screen),
// as a window manager puts a window into its frame; with `virtualRoot` the new window is marked
// as a manager's virtual root (__SWM_VROOT). Returns the new window (0 off X).
unsigned long putIntoWindow(QWidget* w, bool virtualRoot);

// A property of the X window of `w` (of the root window when null) as xprop prints it (empty
// when it cannot be read).
QString windowProperty(QWidget* w, const QString& name);

// Under a window manager (ORVADEX_WM_PID set): expects the manager to let the user move the
// window of `w` but neither resize nor maximise it (its _NET_WM_ALLOWED_ACTIONS).
void expectFixedSizeForWindowManager(QWidget* w);

// The pixels of an area of the screen as the X server holds them now, what the user sees,
// read over an X connection of its own (so from any thread, while the program is busy); a null
// image when the tests do not run on an X server.
QImage screenArea(const QRect& area);
// True while the X window `window` is on the screen, asked over a connection of its own.
bool onScreen(unsigned long window);
// Where the window of `w` lies on the screen as the X server has it (Qt's idea may lag behind a
// window manager's move); Qt's idea elsewhere.
QRect screenRect(QWidget* w);
// True when a compositing manager draws the screen (it, not the program, paints what a closed
// window uncovers).
bool compositing();

// Sends the root window a client message about the window of `w` (about the screen when null)
// as another client of the window manager (a pager, a task bar, a key binding) sends it: `type`
// and up to five values, each a number or the name of an atom.
void sendToWindowManager(QWidget* w, const std::string& type, const std::vector<std::string>& values);

// Under a window manager: the window of `w`, of a fixed size, asked three times in turn to
// maximise and to go full-screen as another client (a task bar, a key binding) asks it, stays
// where it was at its size after each request whether the manager grants it or not: the same
// place and size on the X server (its frame's corner too), in neither state, as the program
// knows too; a message box also over its window and wholly on the screen (see expectOverItsWindow).
void expectStaysPutWhenMaximisedOrFullScreen(QWidget* w, int timeoutMs);

// On an X server: the message box `box` lies over the window it belongs to (its centre in the
// middle half of that window, or of the screen when it has none shown) and wholly on the
// screen with its frame, as the X server has them, within `timeoutMs`.
void expectOverItsWindow(QWidget* box, int timeoutMs);

// True once the window of `w` is shown and exposed on the screen (under a window manager: the
// manager has mapped it), waiting for it at most `timeoutMs`.
bool appears(QWidget* w, int timeoutMs);

// Runs `act` with the top modal widget as soon as one is shown (polled from the event loop
// for at most `timeoutMs`). Use before calling code that opens a modal dialog.
void whenModal(std::function<void(QWidget*)> act, int timeoutMs = 5000);

// Processes pending events.
void settle();

// The user clicks a part of a scroll bar (an arrow, or the track beside the thumb).
void clickScrollBar(QScrollBar* bar, QStyle::SubControl part);

}  // namespace qttest
