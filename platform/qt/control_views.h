#pragma once
// The view of each control kind (used by the form view).
#include <memory>

#include "platform/qt/form_view.h"

namespace qtview {

// A new view of `control` with its widget created in `parent` (menus and common dialogs get
// a view without a widget).
std::unique_ptr<ControlView> makeControlView(FormView& form, forms::Control& control, QWidget* parent);

}  // namespace qtview
