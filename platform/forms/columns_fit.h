#pragma once
// Fits a window that lists rows top to bottom in columns into the screen's work area, with the
// frame the screen draws around it: how many rows a column takes, how wide the columns may be,
// and the band of the scroll bar under columns the window cannot show all at once.
namespace forms {

class Form;

class ColumnsFit {
 public:
  // The scroll bar over the columns, and the gap between it and the rows (twips).
  static constexpr long kBarHeight = 255, kBarGap = 60;

  // `form`: the window, with its border style and menu bar; `firstTop`: the top of the first row
  // in its client area; `pitch`: the rows' pitch; `footer`: the client height from the lowest
  // row's top to the bottom of the window (the row itself, the buttons and the margins).
  ColumnsFit(const Form& form, long firstTop, long pitch, long footer);

  // The client height that holds rows down to `bottom` (the lowest row's top), with the scroll
  // bar's band when the columns scroll.
  long ClientHeight(long bottom, bool scrolls) const;
  // True when a window of that client size lies in the work area, its frame included.
  bool Fits(long clientWidth, long clientHeight) const;
  // The rows a column takes in a window as tall as the work area allows (at least one).
  int RowsFitting(bool scrolls) const;
  // The widest client area the work area holds.
  long RoomWidth() const { return roomWidth_; }

 private:
  long firstTop_, pitch_, footer_;
  long roomWidth_, roomHeight_;
};

}  // namespace forms
