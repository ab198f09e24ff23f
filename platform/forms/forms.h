#pragma once
// Headless forms and controls with the event semantics of the Windows forms the windows are
// written against. Every property is kept here and every event is raised synchronously,
// exactly where the platform raises it; a view (platform/qt) only mirrors the model and
// feeds user input back into it.
//
// ---- For the view (and for tests that play the user) --------------------------------------
// * Forms: every window class derives from Form. AllForms() lists the existing forms;
//   Host::FormLoaded / Host::FormUnloaded tell when a form's controls come and go.
//   Form::Controls() lists its live controls in z-order (later = in front).
// * Every control has kind(), Name(), Index() (-1 outside an array), Parent() (its form),
//   Container() (nullptr = the form itself; a Frame, PictureBox or SSTab otherwise) with
//   ContainerTab() (the SSTab page, -1 otherwise), and geometry Left/Top/Width/Height in
//   twips relative to its container (15 twips per pixel, Screen.TwipsPerPixelX). Menus use
//   Container() for the parent menu item. Line controls use X1/Y1/X2/Y2 instead.
//   Colours are &H00BBGGRR longs; ResolveColor() turns system colours (&H8000000F...) into RGB.
// * Observer: Control::Subscribe(fn) calls fn(control, Prop) after a property changes
//   (declared controls outlive an unload: unsubscribe when Host::FormUnloaded comes)
//   (Prop tells which group: Text, Caption, Value, Geometry, Visible, ...). A Form's
//   subscribers also get Prop::ControlAdded / Prop::ControlRemoved with the control that was
//   added (array member loaded) or is about to be destroyed. Prop::Refresh asks for an
//   immediate repaint; Prop::Drawing says a picture box's display list changed.
// * User input entry points (named User...): they raise the model's events in the
//   platform's order, refuse input the platform would not deliver (disabled or hidden
//   control, a form other than the topmost modal one) and return false then:
//     Control::UserClick()       a whole click without a pointer (MouseDown and MouseUp at
//                                0, 0; focus moves first where the kind takes focus)
//     Control::UserDblClick()    double click
//     Control::UserFocus()       focus moved to the control (Tab key or click)
//     Control::UserMouseDown/Move/Up(button, shift, xPixels, yPixels)
//                                a real mouse at the pointer: MouseDown (false when the focus
//                                could not move there), MouseMove, MouseUp; UserMouseUpClick
//                                for the release that completes a click (MouseUp and Click)
//     Control::UserDropFiles(files)  file drop (bubbles to the nearest container, then the
//                                form, whose OLEDropMode is manual)
//     Form::UserKey(KeyCode, Shift) / UserKeyStroke(KeyCode, Shift, character)
//                                one key pressed and released on the focused control: the
//                                view sends keys here instead of letting its widget edit
//                                itself, then mirrors Text/SelStart/SelLength back
//     Form::UserType(text)       characters typed into the focused control
//     Form::UserClose()          the close box (QueryUnload with vbFormControlMenu)
//     Form::UserActivate()       the user switched to the form's window: Deactivate of the
//                                active form, then Activate (nothing when it is active)
//     Form::UserMoveResize(...)  the window was moved or resized
//     TextBox::UserType / UserPaste / UserSelect; ComboBox::UserSelect / UserType;
//     ScrollBar::UserScroll / UserThumbMove / UserThumbRelease; UpDown::UserUp / UserDown;
//     SSTab::UserSelectTab; Menu::UserOpen / UserClick / UserChoose.
//   An error escaping a handler raised by user input goes to Host::UnhandledError.
//   Validate may refuse a focus move: after a User call the view re-reads
//   Form::ActiveControl() (the form also notifies Prop::Focus when the focus moves).
// * A modal Show calls Host::RunModal(form), which must return once Form::ModalDone().
// -----------------------------------------------------------------------------------------
//
// For the program's windows:
// * A window class derives from Form, declares its controls as members named as in its
//   layout (TextBox txtPortNo{this, "txtPortNo"}; ControlArray<TextBox> txtNum{this, "txtNum"};)
//   and overrides the Form_ handlers it has. Control events are std::function slots bound in
//   the constructor (cmdOk.Click = [this] { cmdOk_Click(); }; array slots get the Index
//   first: txtNum.KeyDown = [this](int Index, int& KeyCode, int Shift) {...}).
// * Its layout (resources/forms/<form name>.txt, see layout.h) is applied at every load:
//   members are reset to their design state, array members are created, controls that the
//   class does not declare (decorative labels, lines) are created and owned by the form.
// * Touching a control of a form that is not loaded loads it (implicit load). Reach each
//   window through DefaultInstance<T>(), which creates it on first use.
#include "platform/forms/buttons.h"
#include "platform/forms/common_dialog.h"
#include "platform/forms/constants.h"
#include "platform/forms/control.h"
#include "platform/forms/control_array.h"
#include "platform/forms/form.h"
#include "platform/forms/graphics.h"
#include "platform/forms/host.h"
#include "platform/forms/menu.h"
#include "platform/forms/range_controls.h"
#include "platform/forms/tab_control.h"
#include "platform/forms/text_controls.h"
