#include "platform/forms/columns_fit.h"

#include <algorithm>

#include "platform/forms/form.h"

namespace forms {

ColumnsFit::ColumnsFit(const Form& form, long firstTop, long pitch, long footer)
    : firstTop_(firstTop),
      pitch_(std::max(1L, pitch)),
      footer_(footer),
      roomWidth_(Screen.WorkArea().Width - form.FrameWidthOnScreen()),
      roomHeight_(Screen.WorkArea().Height - form.FrameHeightOnScreen()) {}

long ColumnsFit::ClientHeight(long bottom, bool scrolls) const {
  return bottom + footer_ + (scrolls ? kBarHeight + kBarGap : 0);
}

bool ColumnsFit::Fits(long clientWidth, long clientHeight) const {
  return clientWidth <= roomWidth_ && clientHeight <= roomHeight_;
}

int ColumnsFit::RowsFitting(bool scrolls) const {
  return static_cast<int>(std::max(1L, (roomHeight_ - ClientHeight(firstTop_, scrolls)) / pitch_ + 1));
}

}  // namespace forms
