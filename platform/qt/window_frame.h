#pragma once
// The frame an X window manager draws around the program's framed windows (title bar and
// borders), known before a window is shown, so that a window can be sized and placed to lie in
// the screen's work area with it.
#include <QGuiApplication>
#include <QMargins>
#include <QWidget>
#include <cstdint>
#include <vector>
#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace qtview {

#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
// The connection to the X server Qt opened (nullptr elsewhere).
xcb_connection_t* xConnection();
// An atom of the X server (XCB_ATOM_NONE when it cannot be had), asked for once.
xcb_atom_t atomOf(xcb_connection_t* c, const char* name);
// The 32-bit values of a property of `window` (none when it has not got it).
std::vector<uint32_t> windowProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type);
#endif

// The frame (pixels) around a framed window, a tool window's when `toolWindow`. Asked of the
// window manager once per kind, for a window that is never shown (_NET_REQUEST_FRAME_EXTENTS);
// false where no window manager answers: offscreen, on an X server alone, or a manager that
// does not offer the request.
bool windowManagerFrame(bool toolWindow, QMargins& frame);

// The window an X window manager put the window of `w` in to draw its frame; 0 where it has none
// (no window manager, not on an X server). Asked while the window is on the screen.
unsigned long managerFrameOf(const QWidget* w);
// True while the X window `frame` is on the screen (false once its manager has taken it away).
bool frameOnScreen(unsigned long frame);

// A dialog that notes, as it hides, the frame its window manager drew round it, so that the
// windows it uncovers can be painted again once that frame is gone (FormView::repaintUncovered).
template <class Dialog>
class NotesItsFrame : public Dialog {
 public:
  using Dialog::Dialog;
  unsigned long closedFrame() const { return closedFrame_; }

 protected:
  void setVisible(bool visible) override {
    if (!visible && this->isVisible()) closedFrame_ = managerFrameOf(this);
    Dialog::setVisible(visible);
  }

 private:
  unsigned long closedFrame_ = 0;
};

}  // namespace qtview
