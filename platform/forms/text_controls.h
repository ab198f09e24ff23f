#pragma once
// Text box, label and combo box.
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace forms {

// ---- Standard controls -----------------------------------------------------------------------
class TextBox : public Control {
 public:
  TextBox(Form* form, std::string name) : Control(Kind::TextBox, form, std::move(name)) { ResetDesign(); }
  // Writing a different text raises Change inside the write; the caret and selection keep
  // their place in the part of the text that stays (an end inside the part that changed goes
  // to its edge). Writing the same text does nothing at all (no Change, the caret and
  // selection stay).
  const std::string& Text() const;
  void Text(const std::string& v);
  long SelStart() const;
  void SelStart(long v);
  long SelLength() const;
  void SelLength(long v);
  std::string SelText() const;
  void SelText(const std::string& v);  // replaces the selection (Change when it changes)
  long MaxLength() const;
  void MaxLength(long v);
  bool Locked() const;
  void Locked(bool v);
  bool MultiLine() const;
  int ScrollBars() const;
  std::string PasswordChar() const;
  void PasswordChar(const std::string& v);
  int Alignment() const;
  void Alignment(int v);

  // The user types characters (each one a full key stroke: KeyDown, KeyPress, the
  // change, KeyUp); the box takes the focus first when it has not got it.
  bool UserType(const std::string& text);
  // The user pastes text over the selection (digits-only style does not apply; Locked and
  // MaxLength do).
  bool UserPaste(const std::string& text);
  // The user selects text with the mouse (no events).
  bool UserSelect(long start, long length);
  // True when the caret is at the start of the selection (a selection made with Shift and
  // Left or Home from its end); false when it is at the end or there is no selection.
  bool CaretAtSelStart() const;

  struct Props {
    std::string Text;
    long SelStart = 0, SelLength = 0, MaxLength = 0;
    bool Locked = false, MultiLine = false;
    int ScrollBars = 0;
    std::string PasswordChar;
    int Alignment = 0;
  };
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  friend class Control;
  template <class T>
  friend class ControlArray;
  friend class Form;
  TextBox(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::TextBox, form, std::move(name), index, array) { ResetDesign(); }
  void applyKeyDown(int keyCode, int shift) override;
  void applyChar(int ascii) override;
  // A click raises Click (after MouseUp), as Control does.
  // Replaces [start, start+len) by `s` as the user would (Locked, MaxLength); caret after it.
  bool userEdit(long start, long len, const std::string& s, bool checkDigits);
  // The new text with the caret at `caret` (selecting `selLength` characters from there).
  void setText(const std::string& v, long caret, long selLength = 0);
  Props t_;
  // The selection the keys made last, with the end the caret is at: it stands while the
  // selection is still that one.
  struct KeySelection {
    long start = 0, length = 0;
    bool caretAtStart = false;
  };
  KeySelection keySel_;
  // One level of undo, as the desktop's text box keeps it: the text before the user's last
  // edit (a run of typed characters counts as one edit). Ctrl+Z swaps it with the text shown
  // (so a second Ctrl+Z redoes); a write of a different text by the program forgets it.
  struct Undo {
    bool valid = false;
    std::string text;
    long caret = 0;
  };
  Undo undo_;
  bool typingRun_ = false;  // the last edit was a typed character, ending at runEnd_
  long runEnd_ = 0;
  void undo();
};

class Label : public Control {
 public:
  Label(Form* form, std::string name) : Control(Kind::Label, form, std::move(name)) { ResetDesign(); }
  // Raises Change when the caption really changes; AutoSize fits the label to the text.
  const std::string& Caption() const;
  void Caption(const std::string& v);
  bool AutoSize() const;
  void AutoSize(bool v);
  bool WordWrap() const;
  void WordWrap(bool v);
  int Alignment() const;
  void Alignment(int v);
  int BackStyle() const;  // 0 transparent, 1 opaque
  void BackStyle(int v);
  int BorderStyle() const;
  void BorderStyle(int v);
  bool UseMnemonic() const;
  void UseMnemonic(bool v);

  struct Props {
    std::string Caption;
    bool AutoSize = false, WordWrap = false, UseMnemonic = true;
    int Alignment = 0, BackStyle = 1, BorderStyle = 0;
  };
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;
  void AfterLayout() override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Label(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Label, form, std::move(name), index, array) { ResetDesign(); }
  void fitToText();
  Props l_;
};

class ComboBox : public Control {
 public:
  ComboBox(Form* form, std::string name) : Control(Kind::ComboBox, form, std::move(name)) { ResetDesign(); }
  int Style() const;  // design time only
  bool Sorted() const;
  bool Locked() const;
  void Locked(bool v);
  // Appends, or inserts at `index` (5 when index > ListCount); Sorted ignores the index.
  void AddItem(const std::string& item, int index = -1);
  void RemoveItem(int index);  // 5 when out of range
  void Clear();                // ListIndex -1, Text ""
  int ListCount() const;
  std::string List(int index) const;  // "" when out of range
  void List(int index, const std::string& v);  // 381 when out of range
  long ItemData(int index) const;              // 381 when out of range
  void ItemData(int index, long v);
  int NewIndex() const;
  // -1..ListCount-1 else 380; a different index selects the item, sets Text, raises Click.
  int ListIndex() const;
  void ListIndex(int v);
  // Style 0/1: free text, a different text raises Change. Style 2: the text of the selected
  // item; assigning an item's text selects it, any other text raises 383.
  const std::string& Text() const;
  void Text(const std::string& v);

  // The user drops the list down and picks item i (focus, DropDown, Click).
  bool UserSelect(int index);
  // The user types into the edit part (styles 0 and 1): focus, keys, Change.
  bool UserType(const std::string& text);

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  ComboBox(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::ComboBox, form, std::move(name), index, array) { ResetDesign(); }
  void applyKeyDown(int keyCode, int shift) override;
  void applyChar(int ascii) override;
  // A combo box's Click means "the selection changed" (UserSelect, ListIndex): a click into
  // the box itself raises none.
  void onUserClick() override {}
  struct Item {
    std::string text;
    long data = 0;
  };
  struct Props {
    int Style = 0;
    bool Sorted = false, Locked = false;
    std::vector<Item> Items;
    int ListIndex = -1, NewIndex = -1;
    std::string Text;
  };
  void setText(const std::string& v);
  Props p_;
};

}  // namespace forms
