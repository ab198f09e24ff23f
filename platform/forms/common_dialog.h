#pragma once
// File open and save dialogs.
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace forms {

// File open and save dialogs, answered by the host.
class CommonDialog : public Control {
 public:
  CommonDialog(Form* form, std::string name) : Control(Kind::CommonDialog, form, std::move(name)) { ResetDesign(); }
  const std::string& FileName() const;
  void FileName(const std::string& v);
  const std::string& FileTitle() const;
  const std::string& Filter() const;
  void Filter(const std::string& v);
  int FilterIndex() const;
  void FilterIndex(int v);
  const std::string& DialogTitle() const;
  void DialogTitle(const std::string& v);
  const std::string& DefaultExt() const;
  void DefaultExt(const std::string& v);
  const std::string& InitDir() const;
  void InitDir(const std::string& v);
  long Flags() const;
  void Flags(long v);
  bool CancelError() const;
  void CancelError(bool v);
  // Shows the dialog modally. On OK: FileName (DefaultExt added when the chosen name has no
  // extension), FileTitle and FilterIndex are set. On Cancel: error 32755 "Cancel was
  // selected." with CancelError, else nothing changes.
  void ShowOpen();
  void ShowSave();
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  CommonDialog(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::CommonDialog, form, std::move(name), index, array) { ResetDesign(); }
  void show(bool save);
  struct Props {
    std::string FileName, FileTitle, Filter, DialogTitle, DefaultExt, InitDir;
    int FilterIndex = 0;
    long Flags = 0;
    bool CancelError = false;
  };
  Props p_;
};

}  // namespace forms
