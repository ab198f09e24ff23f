// File open and save dialogs.
#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {

// ---- CommonDialog ----------------------------------------------------------------------------
void CommonDialog::ResetDesign() {
  Control::ResetDesign();
  p_ = Props{};
}
bool CommonDialog::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "FileName") p_.FileName = value;
  else if (key == "Filter") p_.Filter = value;
  else if (key == "FilterIndex") p_.FilterIndex = static_cast<int>(LayoutLong(value));
  else if (key == "DialogTitle") p_.DialogTitle = value;
  else if (key == "DefaultExt") p_.DefaultExt = value;
  else if (key == "InitDir") p_.InitDir = value;
  else if (key == "Flags") p_.Flags = LayoutLong(value);
  else if (key == "CancelError") p_.CancelError = LayoutBool(value);
  else return Control::ApplyLayout(key, value);
  return true;
}
void CommonDialog::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  p_ = static_cast<const CommonDialog&>(other).p_;
}
#define FORMS_CD_PROP(Type, Name)                     \
  Type CommonDialog::Name() const {                   \
    touch();                                          \
    return p_.Name;                                   \
  }
FORMS_CD_PROP(const std::string&, FileName)
FORMS_CD_PROP(const std::string&, FileTitle)
FORMS_CD_PROP(const std::string&, Filter)
FORMS_CD_PROP(int, FilterIndex)
FORMS_CD_PROP(const std::string&, DialogTitle)
FORMS_CD_PROP(const std::string&, DefaultExt)
FORMS_CD_PROP(const std::string&, InitDir)
FORMS_CD_PROP(long, Flags)
FORMS_CD_PROP(bool, CancelError)
#undef FORMS_CD_PROP
void CommonDialog::FileName(const std::string& v) { touch(); p_.FileName = v; }
void CommonDialog::Filter(const std::string& v) { touch(); p_.Filter = v; }
void CommonDialog::FilterIndex(int v) { touch(); p_.FilterIndex = v; }
void CommonDialog::DialogTitle(const std::string& v) { touch(); p_.DialogTitle = v; }
void CommonDialog::DefaultExt(const std::string& v) { touch(); p_.DefaultExt = v; }
void CommonDialog::InitDir(const std::string& v) { touch(); p_.InitDir = v; }
void CommonDialog::Flags(long v) { touch(); p_.Flags = v; }
void CommonDialog::CancelError(bool v) { touch(); p_.CancelError = v; }
void CommonDialog::ShowOpen() { show(false); }
void CommonDialog::ShowSave() { show(true); }

void CommonDialog::show(bool save) {
  touch();
  FileDialogRequest r;
  r.Save = save;
  r.DialogTitle = p_.DialogTitle;
  r.Filter = p_.Filter;
  r.FilterIndex = p_.FilterIndex < 1 ? 1 : p_.FilterIndex;
  r.InitDir = p_.InitDir;
  r.DefaultExt = p_.DefaultExt;
  r.Flags = p_.Flags;
  r.FileName = p_.FileName;
  if (!host().FileDialog(r)) {
    if (p_.CancelError) vb::Raise(cdlCancel, "Cancel was selected.");
    return;
  }
  std::string name = r.FileName;
  size_t slash = name.find_last_of("/\\");
  std::string title = slash == std::string::npos ? name : name.substr(slash + 1);
  if (!p_.DefaultExt.empty() && !title.empty() && title.find('.') == std::string::npos) {
    name += "." + p_.DefaultExt;
    title += "." + p_.DefaultExt;
  }
  p_.FileName = name;
  p_.FileTitle = title;
  p_.FilterIndex = r.FilterIndex;
}

}  // namespace forms
