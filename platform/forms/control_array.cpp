// Control arrays: members loaded and unloaded at run time.
#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {

ControlArrayBase::ControlArrayBase(Form* form, std::string name, Kind kind)
    : form_(form), name_(std::move(name)), kind_(kind) {
  if (!form_) vb::Raise(91);
  form_->registerArray(this);
}

ControlArrayBase::~ControlArrayBase() {
  // The window itself is going: nobody is told about the members any more.
  auto doomed = std::move(members_);
  members_.clear();
  design_.clear();
  for (auto& [i, c] : doomed) form_->unregisterMember(c.get());
  doomed.clear();
  form_->unregisterArray(this);
}

void ControlArrayBase::touch() const {
  // As a control: once the program's end has begun, an unloaded window stays unloaded.
  if (!form_->Loaded() && !form_->loading() && !form_->unloading() && !ProgramEnding()) form_->beginImplicitLoad();
}

std::vector<int> ControlArrayBase::Indexes() const {
  touch();
  std::vector<int> out;
  for (auto& [i, c] : members_) out.push_back(i);
  return out;
}
int ControlArrayBase::Count() const {
  touch();
  return static_cast<int>(members_.size());
}
int ControlArrayBase::LBound() const {
  touch();
  if (members_.empty()) vb::Raise(9);
  return members_.begin()->first;
}
int ControlArrayBase::UBound() const {
  touch();
  if (members_.empty()) vb::Raise(9);
  return members_.rbegin()->first;
}
bool ControlArrayBase::Exists(int index) const {
  touch();
  return members_.count(index) != 0;
}
Control* ControlArrayBase::Find(int index) const {
  touch();
  auto it = members_.find(index);
  return it == members_.end() ? nullptr : it->second.get();
}
Control& ControlArrayBase::Member(int index) const {
  Control* c = Find(index);
  if (!c) vb::Raise(340, "Control array element '" + std::to_string(index) + "' doesn't exist");
  return *c;
}

void ControlArrayBase::Load(int index) {
  touch();
  if (index < 0 || index > 32767) vb::Raise(341);
  if (members_.count(index)) vb::Raise(360);
  if (members_.empty()) vb::Raise(340, "Control array element '" + std::to_string(index) + "' doesn't exist");
  Control& lowest = *members_.begin()->second;
  Control& c = CreateMember(index, false);
  c.CopyFrom(lowest);
  form_->addLive(&c);
  if (c.InTabOrder()) form_->placeInTabOrder(&c, -1);
}

void ControlArrayBase::Unload(int index) {
  touch();
  auto it = members_.find(index);
  if (it == members_.end()) vb::Raise(340, "Control array element '" + std::to_string(index) + "' doesn't exist");
  if (design_.count(index)) vb::Raise(362);
  std::unique_ptr<Control> doomed = std::move(it->second);
  members_.erase(it);
  form_->removeLive(doomed.get());
}

Control& ControlArrayBase::CreateMember(int index, bool design) {
  auto p = make(index);
  Control& ref = *p;
  members_[index] = std::move(p);
  if (design) design_.insert(index);
  return ref;
}

void ControlArrayBase::DestroyAll() {
  auto doomed = std::move(members_);
  members_.clear();
  design_.clear();
  for (auto& [i, c] : doomed) form_->removeLive(c.get());
  doomed.clear();
}

}  // namespace forms
