#pragma once
// Shared by the tests of the Qt view: one QApplication on the offscreen platform, screenshots
// under the build folder, and a way to act inside a modal dialog while it runs.
#include <QApplication>
#include <QString>
#include <QWidget>
#include <functional>

namespace qttest {

// The screen the tests' windows open on (pixels), the smallest the layouts are made for.
constexpr int kScreenWidth = 1366, kScreenHeight = 768;

// The application (created on first use, always on the offscreen platform), with the forms'
// screen set to the size above.
QApplication& app();

// Saves the widget as build/screenshots/<name>.png and returns the path.
QString screenshot(QWidget* w, const QString& name);

// Runs `act` with the top modal widget as soon as one is shown (polled from the event loop
// for at most `timeoutMs`). Use before calling code that opens a modal dialog.
void whenModal(std::function<void(QWidget*)> act, int timeoutMs = 5000);

// Processes pending events.
void settle();

}  // namespace qttest
