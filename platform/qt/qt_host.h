#pragma once
// The Host of the forms model on Qt: real message boxes, file dialogs, DoEvents, the mouse
// pointer, modal windows through a nested event loop, help and links through the desktop.
#include <QString>

#include "platform/forms/host.h"

class QWidget;

namespace qtview {

class QtHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
};

// The window a dialog belongs to: the active modal window, else the active window.
QWidget* dialogParent();

// True when a Qt platform can be opened here: a display (DISPLAY or WAYLAND_DISPLAY) or a
// platform named in QT_QPA_PLATFORM. `why` receives the message to show otherwise.
bool displayAvailable(QString* why = nullptr);

}  // namespace qtview
