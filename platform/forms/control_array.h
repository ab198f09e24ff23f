#pragma once
// Control arrays: members loaded and unloaded at run time, indexed by the given index.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/forms/buttons.h"
#include "platform/forms/common_dialog.h"
#include "platform/forms/graphics.h"
#include "platform/forms/menu.h"
#include "platform/forms/range_controls.h"
#include "platform/forms/tab_control.h"
#include "platform/forms/text_controls.h"

namespace forms {

// ---- Control arrays --------------------------------------------------------------------------
class ControlArrayBase : public Events<int> {
 public:
  ControlArrayBase(Form* form, std::string name, Kind kind);
  virtual ~ControlArrayBase();
  ControlArrayBase(const ControlArrayBase&) = delete;
  ControlArrayBase& operator=(const ControlArrayBase&) = delete;
  const std::string& Name() const { return name_; }
  Kind kind() const { return kind_; }
  Form& Parent() const { return *form_; }

  // Loaded indexes in ascending order.
  std::vector<int> Indexes() const;
  int Count() const;
  int LBound() const;  // 9 when empty
  int UBound() const;
  bool Exists(int index) const;
  // The member (340 "Control array element 'i' doesn't exist" when missing).
  Control& Member(int index) const;
  Control* Find(int index) const;
  // Load arr(i): a new member copying the lowest member (invisible, in the same container,
  // last in the tab order); 360 when the index exists, 341 outside 0..32767.
  void Load(int index);
  // Unload arr(i): 340 when missing, 362 for a member of the layout.
  void Unload(int index);
  bool IsDesignMember(int index) const { return design_.count(index) != 0; }

  // Used by the form and its layout.
  Control& CreateMember(int index, bool design);
  void DestroyAll();
  // Click of SSTab arrays is not supported (no such arrays).

 protected:
  friend class Form;
  virtual std::unique_ptr<Control> make(int index) = 0;
  void touch() const;
  Form* form_;
  std::string name_;
  Kind kind_;
  std::map<int, std::unique_ptr<Control>> members_;
  std::set<int> design_;
};

template <class T>
struct KindOf;
#define FORMS_KIND_OF(T, K) \
  template <>               \
  struct KindOf<T> {        \
    static constexpr Kind value = Kind::K; \
  };
FORMS_KIND_OF(TextBox, TextBox)
FORMS_KIND_OF(Label, Label)
FORMS_KIND_OF(CheckBox, CheckBox)
FORMS_KIND_OF(OptionButton, OptionButton)
FORMS_KIND_OF(CommandButton, CommandButton)
FORMS_KIND_OF(Frame, Frame)
FORMS_KIND_OF(HScrollBar, HScrollBar)
FORMS_KIND_OF(VScrollBar, VScrollBar)
FORMS_KIND_OF(ComboBox, ComboBox)
FORMS_KIND_OF(PictureBox, PictureBox)
FORMS_KIND_OF(Shape, Shape)
FORMS_KIND_OF(Line, Line)
FORMS_KIND_OF(Image, Image)
FORMS_KIND_OF(Menu, Menu)
FORMS_KIND_OF(UpDown, UpDown)
FORMS_KIND_OF(SSTab, SSTab)
FORMS_KIND_OF(ProgressBar, ProgressBar)
FORMS_KIND_OF(CommonDialog, CommonDialog)
#undef FORMS_KIND_OF

template <class T>
class ControlArray : public ControlArrayBase {
 public:
  ControlArray(Form* form, std::string name) : ControlArrayBase(form, std::move(name), KindOf<T>::value) {}
  T& operator()(int index) const { return static_cast<T&>(Member(index)); }
  T& Item(int index) const { return (*this)(index); }

  class iterator {
   public:
    using Inner = std::map<int, std::unique_ptr<Control>>::const_iterator;
    explicit iterator(Inner it) : it_(it) {}
    T& operator*() const { return static_cast<T&>(*it_->second); }
    T* operator->() const { return static_cast<T*>(it_->second.get()); }
    iterator& operator++() { ++it_; return *this; }
    bool operator!=(const iterator& o) const { return it_ != o.it_; }
    bool operator==(const iterator& o) const { return it_ == o.it_; }
   private:
    Inner it_;
  };
  // For Each: the loaded members in index order (do not Load/Unload while iterating).
  iterator begin() const { touch(); return iterator(members_.begin()); }
  iterator end() const { return iterator(members_.end()); }

 protected:
  std::unique_ptr<Control> make(int index) override {
    return std::unique_ptr<Control>(new T(form_, name_, index, this));
  }
};

}  // namespace forms
