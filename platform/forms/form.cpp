// Forms: life cycle, layout, focus, keyboard routing, activation and modality; the
// application's list of forms.
#include <algorithm>
#include <map>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"
#include "platform/app/app.h"
#include "platform/vb/scoped_value.h"
#include "resources/resources.h"

namespace forms {
namespace detail {
bool typeInto(Control& first, Form& form, const std::string& text);
}

namespace {

std::vector<Form*>& allForms() {
  static std::vector<Form*> forms;
  return forms;
}
std::vector<Form*>& activationStack() {
  static std::vector<Form*> stack;
  return stack;
}
std::vector<Form*>& modalStack() {
  static std::vector<Form*> stack;
  return stack;
}
Form* activeForm = nullptr;

template <class V, class T>
void eraseValue(V& v, T* x) {
  v.erase(std::remove(v.begin(), v.end(), x), v.end());
}

bool usable(const Control* c) {
  return c && c->Parent().Loaded() && c->IsShownInForm() && c->IsEnabledInForm();
}

}  // namespace

std::vector<Form*> AllForms() { return allForms(); }

std::vector<Form*> LoadedForms() {
  std::vector<Form*> out;
  for (Form* f : allForms())
    if (f->Loaded()) out.push_back(f);
  return out;
}

Form* TopModalForm() { return modalStack().empty() ? nullptr : modalStack().back(); }

Form* ScreenObject::ActiveForm() const { return activeForm; }
Control* ScreenObject::ActiveControl() const { return activeForm ? activeForm->ActiveControl() : nullptr; }

namespace detail {
namespace {
std::vector<void (*)()>& instances() {
  static std::vector<void (*)()> v;
  return v;
}
}  // namespace
void registerInstance(void (*release)()) { instances().push_back(release); }
}  // namespace detail

void ReleaseDefaultInstances() {
  detail::EndOfProgramEnd();
  for (Form* f : allForms()) {
    if (f->Loaded()) {
      host().FormUnloaded(*f);
    }
  }
  modalStack().clear();
  activationStack().clear();
  activeForm = nullptr;
  auto list = std::move(detail::instances());
  detail::instances().clear();
  for (auto it = list.rbegin(); it != list.rend(); ++it) (*it)();
}

// ---- Form ----------------------------------------------------------------------------------
Form::Form(std::string name, std::string layout) : Control(Kind::Form, nullptr, std::move(name)) {
  form_ = this;
  layoutName_ = layout.empty() ? "forms/" + name_ + ".txt" : layout;
  allForms().push_back(this);
  ResetDesign();
}

Form::~Form() {
  announced_ = false;
  loaded_ = false;
  for (auto& a : extraArrays_) a->DestroyAll();
  extraArrays_.clear();
  extras_.clear();
  live_.clear();
  tabOrder_.clear();
  eraseValue(allForms(), this);
  eraseValue(activationStack(), this);
  eraseValue(modalStack(), this);
  if (activeForm == this) activeForm = nullptr;
}

void Form::UseLayoutText(std::string text) { layoutText_ = std::move(text); }

void Form::ResetDesign() {
  Control::ResetDesign();
  c_.Visible = false;
  c_.Width = 4800;
  c_.Height = 3600;
  f_ = Props{};
}

bool Form::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Caption") f_.Caption = value;
  else if (key == "Icon") f_.Icon = value;
  else if (key == "ClientWidth") pendingClientWidth_ = LayoutLong(value);
  else if (key == "ClientHeight") pendingClientHeight_ = LayoutLong(value);
  else if (key == "ClientLeft") c_.Left = LayoutLong(value);
  else if (key == "ClientTop") c_.Top = LayoutLong(value);
  else if (key == "StartUpPosition") f_.StartUpPosition = static_cast<int>(LayoutLong(value));
  else if (key == "BorderStyle") f_.BorderStyle = static_cast<int>(LayoutLong(value));
  else if (key == "KeyPreview") f_.KeyPreview = LayoutBool(value);
  else if (key == "ControlBox") f_.ControlBox = LayoutBool(value);
  else if (key == "MinButton") f_.MinButton = LayoutBool(value);
  else if (key == "MaxButton") f_.MaxButton = LayoutBool(value);
  else if (key == "WindowState") f_.WindowState = static_cast<int>(LayoutLong(value));
  else if (key == "Visible") return false;  // forms appear through Show
  else return Control::ApplyLayout(key, value);
  return true;
}

const std::string& Form::Caption() const { touch(); return f_.Caption; }
void Form::Caption(const std::string& v) {
  touch();
  if (f_.Caption == v) return;
  f_.Caption = v;
  notify(Prop::Caption);
}
const std::string& Form::Icon() const { touch(); return f_.Icon; }
void Form::Icon(const std::string& v) {
  touch();
  f_.Icon = v;
  notify(Prop::Picture);
}
int Form::WindowState() const { touch(); return f_.WindowState; }
void Form::WindowState(int v) {
  touch();
  if (v < 0 || v > 2) vb::Raise(380);
  if (f_.WindowState == v) return;
  f_.WindowState = v;
  notify(Prop::Geometry);
  Form_Resize();
}
bool Form::KeyPreview() const { touch(); return f_.KeyPreview; }
void Form::KeyPreview(bool v) { touch(); f_.KeyPreview = v; }
int Form::BorderStyle() const { touch(); return f_.BorderStyle; }
void Form::BorderStyle(int v) {
  touch();
  if (v < 0 || v > 5) vb::Raise(380);
  f_.BorderStyle = v;
  notify(Prop::Appearance);
}
bool Form::ControlBox() const { touch(); return f_.ControlBox; }
bool Form::MinButton() const { touch(); return f_.MinButton; }
bool Form::MaxButton() const { touch(); return f_.MaxButton; }
int Form::StartUpPosition() const { touch(); return f_.StartUpPosition; }

long Form::FrameWidth() const {
  switch (f_.BorderStyle) {
    case 0: return 0;
    case 2: case 5: return 120;
    default: return 90;
  }
}
long Form::FrameHeight() const {
  if (f_.BorderStyle == 0) return 0;
  return FrameWidth() + (f_.BorderStyle >= 4 ? 270 : 360) + menuBarHeight();
}
long Form::menuBarHeight() const {
  for (Control* c : live_)
    if (c->kind() == Kind::Menu && !c->c_.Container && c->c_.Visible) return 300;
  return 0;
}
long Form::FrameWidthOnScreen() const {
  WindowFrame frame;
  if (f_.BorderStyle == 0 || !host().FrameOf(f_.BorderStyle, frame)) return FrameWidth();
  return frame.Left + frame.Right;
}
long Form::FrameHeightOnScreen() const {
  WindowFrame frame;
  if (f_.BorderStyle == 0 || !host().FrameOf(f_.BorderStyle, frame)) return FrameHeight();
  return frame.Top + frame.Bottom + menuBarHeight();
}
long Form::ScaleWidth() const { touch(); return std::max(0L, c_.Width - FrameWidth()); }
long Form::ScaleHeight() const { touch(); return std::max(0L, c_.Height - FrameHeight()); }
void Form::ClientSize(long width, long height) {
  touch();
  if (width < 0 || height < 0) vb::Raise(380);
  c_.Width = width + FrameWidth();
  c_.Height = height + FrameHeight();
  notify(Prop::Geometry);
  if (loaded_) Form_Resize();
}

// Where a window opens when it is first shown, after its Form_Load (which may have sized it):
// a centred StartUpPosition centres it on the work area, and every window is moved to lie
// wholly inside the work area, with the frame the screen draws; one larger than it keeps its
// top-left corner there.
void Form::place() {
  placed_ = true;
  const ScreenObject::Area& a = Screen.WorkArea();
  const long width = ScaleWidth() + FrameWidthOnScreen(), height = ScaleHeight() + FrameHeightOnScreen();
  if (f_.StartUpPosition == vbStartUpOwner || f_.StartUpPosition == vbStartUpScreen) {
    c_.Left = a.Left + (a.Width - width) / 2;
    c_.Top = a.Top + (a.Height - height) / 2;
  }
  c_.Left = std::max(a.Left, std::min(c_.Left, a.Left + a.Width - width));
  c_.Top = std::max(a.Top, std::min(c_.Top, a.Top + a.Height - height));
  notify(Prop::Geometry);
}

std::vector<Control*> Form::Controls() const {
  if (!loaded_ && !loading_) return {};
  return live_;
}

Control* Form::FindControl(const std::string& name, int index) const {
  for (Control* c : live_)
    if (c->Index() == index && c->Name() == name) return c;
  return nullptr;
}

std::vector<Control*> Form::TabOrder() const {
  if (!loaded_ && !loading_) return {};
  return tabOrder_;
}

std::vector<Menu*> Form::MenuBar() const {
  std::vector<Menu*> out;
  for (Control* c : Controls())
    if (c->kind() == Kind::Menu && !c->c_.Container) out.push_back(static_cast<Menu*>(c));
  return out;
}

CommandButton* Form::DefaultButton() const { return default_; }
CommandButton* Form::CancelButton() const { return cancel_; }

namespace {
// Gives button `b` a role of which a form has at most one (its default or its cancel button),
// taking it from the button that had it, or takes the role from `b`.
void SetButtonRole(CommandButton*& holder, bool CommandButton::*flag, CommandButton* b, bool on) {
  if (on) {
    if (holder && holder != b) holder->*flag = false;
    holder = b;
  } else if (holder == b) {
    holder = nullptr;
  }
  b->*flag = on;
}
}  // namespace

void Form::setDefaultButton(CommandButton* b, bool on) { SetButtonRole(default_, &CommandButton::default_, b, on); }
void Form::setCancelButton(CommandButton* b, bool on) { SetButtonRole(cancel_, &CommandButton::cancel_, b, on); }

// Registration ----------------------------------------------------------------------------------
void Form::registerMember(Control* c) { members_.push_back(c); }

void Form::unregisterMember(Control* c) {
  eraseValue(members_, c);
  eraseValue(live_, c);
  eraseValue(tabOrder_, c);
  if (active_ == c) active_ = nullptr;
  if (focusTarget_ == c) focusTarget_ = nullptr;
  if (static_cast<Control*>(default_) == c) default_ = nullptr;
  if (static_cast<Control*>(cancel_) == c) cancel_ = nullptr;
}

void Form::registerArray(ControlArrayBase* a) { arrays_.push_back(a); }
void Form::unregisterArray(ControlArrayBase* a) { eraseValue(arrays_, a); }

void Form::notifyAbout(Control& c, Prop what) {
  if (observers_.empty()) return;
  auto copy = observers_;
  for (auto& [id, fn] : copy)
    if (fn) fn(c, what);
}

void Form::addLive(Control* c) {
  live_.push_back(c);
  if (announced_) notifyAbout(*c, Prop::ControlAdded);
}

void Form::removeLive(Control* c) {
  if (announced_) notifyAbout(*c, Prop::ControlRemoved);
  eraseValue(live_, c);
  eraseValue(tabOrder_, c);
  if (active_ == c) active_ = nullptr;
  if (focusTarget_ == c) focusTarget_ = nullptr;
  if (static_cast<Control*>(default_) == c) default_ = nullptr;
  if (static_cast<Control*>(cancel_) == c) cancel_ = nullptr;
}

void Form::placeInTabOrder(Control* c, int index) {
  eraseValue(tabOrder_, c);
  size_t pos = index < 0 ? tabOrder_.size() : std::min(static_cast<size_t>(index), tabOrder_.size());
  tabOrder_.insert(tabOrder_.begin() + pos, c);
  for (size_t i = 0; i < tabOrder_.size(); ++i) tabOrder_[i]->c_.TabIndex = static_cast<int>(i);
}

// Layout ------------------------------------------------------------------------------------
std::unique_ptr<Control> Form::createExtra(Kind kind, const std::string& name) {
  switch (kind) {
    case Kind::TextBox: return std::unique_ptr<Control>(new TextBox(this, name, -1, nullptr));
    case Kind::Label: return std::unique_ptr<Control>(new Label(this, name, -1, nullptr));
    case Kind::CheckBox: return std::unique_ptr<Control>(new CheckBox(this, name, -1, nullptr));
    case Kind::OptionButton: return std::unique_ptr<Control>(new OptionButton(this, name, -1, nullptr));
    case Kind::Frame: return std::unique_ptr<Control>(new Frame(this, name, -1, nullptr));
    case Kind::CommandButton: return std::unique_ptr<Control>(new CommandButton(this, name, -1, nullptr));
    case Kind::HScrollBar: return std::unique_ptr<Control>(new HScrollBar(this, name, -1, nullptr));
    case Kind::VScrollBar: return std::unique_ptr<Control>(new VScrollBar(this, name, -1, nullptr));
    case Kind::ComboBox: return std::unique_ptr<Control>(new ComboBox(this, name, -1, nullptr));
    case Kind::PictureBox: return std::unique_ptr<Control>(new PictureBox(this, name, -1, nullptr));
    case Kind::Shape: return std::unique_ptr<Control>(new Shape(this, name, -1, nullptr));
    case Kind::Line: return std::unique_ptr<Control>(new Line(this, name, -1, nullptr));
    case Kind::Image: return std::unique_ptr<Control>(new Image(this, name, -1, nullptr));
    case Kind::Menu: return std::unique_ptr<Control>(new Menu(this, name, -1, nullptr));
    case Kind::UpDown: return std::unique_ptr<Control>(new UpDown(this, name, -1, nullptr));
    case Kind::SSTab: return std::unique_ptr<Control>(new SSTab(this, name, -1, nullptr));
    case Kind::ProgressBar: return std::unique_ptr<Control>(new ProgressBar(this, name, -1, nullptr));
    case Kind::CommonDialog: return std::unique_ptr<Control>(new CommonDialog(this, name, -1, nullptr));
    case Kind::Form: break;
  }
  vb::Raise(5);
}

ControlArrayBase* Form::createExtraArray(Kind kind, const std::string& name) {
  std::unique_ptr<ControlArrayBase> a;
  switch (kind) {
    case Kind::TextBox: a = std::make_unique<ControlArray<TextBox>>(this, name); break;
    case Kind::Label: a = std::make_unique<ControlArray<Label>>(this, name); break;
    case Kind::CheckBox: a = std::make_unique<ControlArray<CheckBox>>(this, name); break;
    case Kind::OptionButton: a = std::make_unique<ControlArray<OptionButton>>(this, name); break;
    case Kind::Frame: a = std::make_unique<ControlArray<Frame>>(this, name); break;
    case Kind::CommandButton: a = std::make_unique<ControlArray<CommandButton>>(this, name); break;
    case Kind::HScrollBar: a = std::make_unique<ControlArray<HScrollBar>>(this, name); break;
    case Kind::VScrollBar: a = std::make_unique<ControlArray<VScrollBar>>(this, name); break;
    case Kind::ComboBox: a = std::make_unique<ControlArray<ComboBox>>(this, name); break;
    case Kind::PictureBox: a = std::make_unique<ControlArray<PictureBox>>(this, name); break;
    case Kind::Shape: a = std::make_unique<ControlArray<Shape>>(this, name); break;
    case Kind::Line: a = std::make_unique<ControlArray<Line>>(this, name); break;
    case Kind::Image: a = std::make_unique<ControlArray<Image>>(this, name); break;
    case Kind::Menu: a = std::make_unique<ControlArray<Menu>>(this, name); break;
    case Kind::UpDown: a = std::make_unique<ControlArray<UpDown>>(this, name); break;
    case Kind::SSTab: a = std::make_unique<ControlArray<SSTab>>(this, name); break;
    case Kind::ProgressBar: a = std::make_unique<ControlArray<ProgressBar>>(this, name); break;
    case Kind::CommonDialog: a = std::make_unique<ControlArray<CommonDialog>>(this, name); break;
    case Kind::Form: vb::Raise(5);
  }
  // The array registered itself as declared; keep the extra arrays apart.
  eraseValue(arrays_, a.get());
  extraArrays_.push_back(std::move(a));
  return extraArrays_.back().get();
}

void Form::applyLayout() {
  if (!layoutText_ && layoutName_ == NoLayout) {
    for (Control* m : members_) {
      live_.push_back(m);
      if (m->InTabOrder()) tabOrder_.push_back(m);
    }
    for (size_t i = 0; i < tabOrder_.size(); ++i) tabOrder_[i]->c_.TabIndex = static_cast<int>(i);
    return;
  }
  std::string text;
  if (layoutText_) {
    text = *layoutText_;
  } else {
    auto found = resources::find(layoutName_);
    if (!found) vb::Raise(380, "The layout " + layoutName_ + " of " + name_ + " is missing");
    text = std::string(*found);
  }
  const std::string source = layoutText_ ? name_ + " layout" : layoutName_;
  Layout layout = ParseLayout(text, source);
  auto fail = [&](const LayoutEntry& e, const std::string& what) {
    vb::Raise(380, source + " line " + std::to_string(e.line) + ": " + what);
  };

  std::map<std::string, Control*> declared;
  for (Control* m : members_) declared[m->name_] = m;
  std::map<std::string, ControlArrayBase*> arrays;
  for (ControlArrayBase* a : arrays_) arrays[a->Name()] = a;
  std::map<std::string, ControlArrayBase*> extraArrays;
  std::map<std::pair<std::string, int>, Control*> byName;
  std::set<Control*> placed;
  std::vector<std::pair<Control*, const LayoutEntry*>> made;

  // 1. Create or find every control.
  for (const LayoutEntry& e : layout.entries) {
    if (e.kind == "Form") {
      if (e.container.size() || e.tab >= 0) fail(e, "a form has no container");
      for (auto& [k, v] : e.props) {
        try {
          if (!ApplyLayout(k, v)) fail(e, "Form has no property " + k);
        } catch (const vb::Error& err) {
          if (err.Description().rfind(source, 0) == 0) throw;
          fail(e, k + ": " + err.Description());
        }
      }
      continue;
    }
    Kind kind = *KindFromName(e.kind);
    Control* c = nullptr;
    if (byName.count({e.name, e.index})) fail(e, e.name + (e.index >= 0 ? "(" + std::to_string(e.index) + ")" : "") + " appears twice");
    if (e.index >= 0) {
      if (declared.count(e.name)) fail(e, e.name + " is not an array");
      ControlArrayBase* a = nullptr;
      if (auto it = arrays.find(e.name); it != arrays.end()) a = it->second;
      else if (auto jt = extraArrays.find(e.name); jt != extraArrays.end()) a = jt->second;
      else {
        if (byName.count({e.name, -1})) fail(e, e.name + " is not an array");
        a = createExtraArray(kind, e.name);
        extraArrays[e.name] = a;
      }
      if (a->kind() != kind) fail(e, e.name + " is a " + KindName(a->kind()) + " array");
      c = &a->CreateMember(e.index, true);
    } else {
      if (arrays.count(e.name) || extraArrays.count(e.name)) fail(e, e.name + " is an array: give its index");
      if (auto it = declared.find(e.name); it != declared.end()) {
        c = it->second;
        if (c->kind_ != kind) fail(e, e.name + " is a " + std::string(KindName(c->kind_)));
      } else {
        extras_.push_back(createExtra(kind, e.name));
        c = extras_.back().get();
      }
    }
    byName[{e.name, e.index}] = c;
    placed.insert(c);
    live_.push_back(c);
    made.emplace_back(c, &e);
  }
  for (Control* m : members_)
    if (!placed.count(m)) vb::Raise(380, source + ": the control " + m->name_ + " of " + name_ + " is missing");
  for (ControlArrayBase* a : arrays_)
    if (a->members_.empty()) vb::Raise(380, source + ": the control array " + a->Name() + " of " + name_ + " is missing");

  // 2. Containers.
  for (auto& [c, e] : made) {
    if (e->container.empty()) {
      if (e->tab >= 0) fail(*e, "tab= needs an SSTab container");
      continue;
    }
    auto it = byName.find({e->container, e->containerIndex});
    if (it == byName.end()) fail(*e, "unknown container " + e->container);
    Control* ct = it->second;
    bool ok = c->kind_ == Kind::Menu ? ct->kind_ == Kind::Menu
                                     : ct->kind_ == Kind::Frame || ct->kind_ == Kind::PictureBox || ct->kind_ == Kind::SSTab;
    if (!ok) fail(*e, e->container + " cannot hold a " + std::string(KindName(c->kind_)));
    for (Control* p = ct; p; p = p->c_.Container)
      if (p == c) fail(*e, "containers form a loop");
    c->c_.Container = ct;
    if (ct->kind_ == Kind::SSTab) {
      auto* tab = static_cast<SSTab*>(ct);
      int page = std::max(e->tab, 0);
      c->c_.ContainerTab = page;
      (void)tab;
    } else if (e->tab >= 0) {
      fail(*e, "tab= needs an SSTab container");
    }
  }

  // 3. Properties (buddies after everything else).
  std::vector<std::pair<Control*, const LayoutEntry*>> buddies;
  std::vector<std::pair<Control*, long>> tabKeys;
  int position = 0;
  for (auto& [c, e] : made) {
    c->c_.Font = c_.Font;  // controls start with the window's font
    for (auto& [k, v] : e->props) {
      if (k == "BuddyControl") {
        if (c->kind_ != Kind::UpDown) fail(*e, "only an UpDown has a buddy");
        buddies.emplace_back(c, e);
        continue;
      }
      try {
        if (!c->ApplyLayout(k, v)) fail(*e, std::string(KindName(c->kind_)) + " has no property " + k);
      } catch (const vb::Error& err) {
        if (err.Description().rfind(source, 0) == 0) throw;
        fail(*e, k + ": " + err.Description());
      }
    }
    // Key: the TabIndex given, else the place among the lines; a given TabIndex wins a tie.
    c->AfterLayout();
    if (c->InTabOrder()) tabKeys.emplace_back(c, 2L * (e->hasTabIndex ? c->c_.TabIndex : position) + (e->hasTabIndex ? 0 : 1));
    if (c->InTabOrder()) ++position;
  }
  for (auto& [c, e] : buddies) {
    for (auto& [k, v] : e->props) {
      if (k != "BuddyControl") continue;
      auto [bname, bindex] = SplitIndexedName(v);
      auto it = byName.find({bname, bindex});
      if (it == byName.end()) fail(*e, "unknown buddy " + v);
      try {
        static_cast<UpDown*>(c)->BuddyControl(it->second);
      } catch (const vb::Error&) {
        fail(*e, "a " + std::string(KindName(it->second->kind_)) + " cannot be a buddy");
      }
    }
  }
  // 4. Tab order.
  std::stable_sort(tabKeys.begin(), tabKeys.end(), [](auto& a, auto& b) { return a.second < b.second; });
  for (auto& [c, key] : tabKeys) tabOrder_.push_back(c);
  for (size_t i = 0; i < tabOrder_.size(); ++i) tabOrder_[i]->c_.TabIndex = static_cast<int>(i);

  if (pendingClientWidth_ >= 0) c_.Width = pendingClientWidth_ + FrameWidth();
  if (pendingClientHeight_ >= 0) c_.Height = pendingClientHeight_ + FrameHeight();
  pendingClientWidth_ = pendingClientHeight_ = -1;
}

void Form::destroyLive() {
  announced_ = false;
  for (ControlArrayBase* a : arrays_) a->DestroyAll();
  for (auto& a : extraArrays_) a->DestroyAll();
  extraArrays_.clear();
  extras_.clear();
  live_.clear();
  tabOrder_.clear();
  active_ = nullptr;
  focusTarget_ = nullptr;
  if (default_) setDefaultButton(default_, false);
  if (cancel_) setCancelButton(cancel_, false);
}

// Life cycle --------------------------------------------------------------------------------
void Form::Load() {
  if (loaded_ || loading_) return;
  detail::EndOfProgramEnd();  // loading a window on purpose goes on with the program
  loading_ = true;
  ++loadGeneration_;
  try {
    ResetDesign();
    for (Control* m : members_) m->ResetDesign();
    applyLayout();
  } catch (...) {
    destroyLive();
    for (Control* m : members_) m->ResetDesign();
    loading_ = false;
    throw;
  }
  loaded_ = true;
  placed_ = false;
  announced_ = true;
  host().FormLoaded(*this);
  try {
    Form_Load();
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
}

void Form::beginImplicitLoad() {
  Load();
  if (!loaded_) vb::Raise(364);
}

void Form::Show(int modal) {
  if (!loaded_) {
    Load();
    if (!loaded_) vb::Raise(364);
  }
  if (modal) {
    if (c_.Visible) vb::Raise(400);
  } else {
    Form* top = TopModalForm();
    if (top && top != this) vb::Raise(401);
  }
  if (!c_.Visible) {
    if (!placed_) place();
    c_.Visible = true;
    {
      const vb::ScopedValue<bool> showing(showingModal_, modal != 0);
      notify(Prop::Visible);
    }
    Form_Resize();
    if (!loaded_) vb::Raise(364);
  }
  activate();
  if (!modal) return;
  if (!loaded_ || !c_.Visible) return;  // closed while activating
  modal_ = true;
  modalStack().push_back(this);
  try {
    host().RunModal(*this);
  } catch (...) {
    eraseValue(modalStack(), this);
    modal_ = false;
    throw;
  }
  eraseValue(modalStack(), this);
  modal_ = false;
  if (!ModalDone()) Hide();  // the host gave up: never leave the caller waiting
}

void Form::Hide() {
  if (!loaded_) {
    Load();
    if (!loaded_) return;
  }
  if (!c_.Visible) return;
  c_.Visible = false;
  notify(Prop::Visible);
  if (activeForm == this) activatePrevious();
}

bool Form::unload(int mode) {
  if (!loaded_ || unloading_) return false;
  unloading_ = true;
  try {
    int cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (cancel || !loaded_) {
      unloading_ = false;
      return !loaded_;
    }
    cancel = 0;
    Form_Unload(cancel);
    if (cancel || !loaded_) {
      unloading_ = false;
      return !loaded_;
    }
  } catch (...) {
    unloading_ = false;
    throw;
  }
  bool wasVisible = c_.Visible;
  c_.Visible = false;
  if (wasVisible) notify(Prop::Visible);
  host().FormUnloaded(*this);
  destroyLive();
  loaded_ = false;
  unloading_ = false;
  eraseValue(activationStack(), this);
  if (activeForm == this) {
    activeForm = nullptr;
    activatePrevious();
  }
  return true;
}

void Form::activatePrevious() {
  eraseValue(activationStack(), this);
  if (activeForm == this) activeForm = nullptr;
  auto& st = activationStack();
  for (auto it = st.rbegin(); it != st.rend(); ++it) {
    Form* f = *it;
    if (f->loaded_ && f->c_.Visible) {
      f->activate();
      return;
    }
  }
}

void Form::activate() {
  Form* prev = activeForm;
  if (prev == this) return;
  eraseValue(activationStack(), this);
  activationStack().push_back(this);
  activeForm = this;
  if (prev && prev->loaded_) {
    prev->Form_Deactivate();
    if (!prev->active_ && prev->loaded_) prev->Form_LostFocus();
  }
  if (activeForm != this || !loaded_) return;
  notify(Prop::Activated);
  Form_Activate();
  if (activeForm != this || !loaded_ || !c_.Visible) return;
  if (!active_) {
    Control* first = nextInTabOrder(nullptr, false);
    if (first) focusTo(first);
    else Form_GotFocus();
  }
}

bool Form::AcceptsInput() const {
  if (!loaded_ || !c_.Visible || !c_.Enabled) return false;
  Form* top = TopModalForm();
  return !top || top == this;
}

bool Form::UserClose() {
  return detail::userInput("Close " + name_, [&] {
    if (!loaded_) return false;
    Form* top = TopModalForm();
    if (top && top != this) return false;
    return unload(vbFormControlMenu);
  });
}

bool Form::UserActivate() {
  return detail::userInput("Activate " + name_, [&] {
    if (!AcceptsInput()) return false;
    activate();
    return activeForm == this;
  });
}

// Focus ---------------------------------------------------------------------------------------
namespace {
struct FocusScope {
  bool& flag;
  Control*& target;
  explicit FocusScope(bool& f, Control*& t) : flag(f), target(t) { flag = true; }
  ~FocusScope() {
    flag = false;
    target = nullptr;
  }
};
}  // namespace

bool Form::isLive(const Control* c) const {
  return c && loaded_ && std::find(live_.begin(), live_.end(), c) != live_.end();
}

void Form::focusTo(Control* target) {
  if (focusMoving_) {
    focusTarget_ = target;  // a SetFocus inside Validate or LostFocus redirects the move
    return;
  }
  Control* from = active_;
  if (from == target || !target) return;
  if (from && !isLive(from)) from = nullptr;
  {
    FocusScope scope(focusMoving_, focusTarget_);
    focusTarget_ = target;
    if (from && target->c_.CausesValidation) {
      if (from->raiseValidate()) return;  // Cancel: the focus stays
      if (!isLive(focusTarget_) || focusTarget_ == from) return;
    }
    active_ = focusTarget_;
    if (from && isLive(from)) from->raiseLostFocus();
    Control* final = focusTarget_;
    if (final != active_) {
      if (isLive(final) && final->CanTakeFocus()) active_ = final;
    }
  }
  if (!isLive(active_)) {
    active_ = nullptr;
    return;
  }
  notify(Prop::Focus);
  active_->raiseGotFocus();
}

bool Form::tabCandidate(Control* c) const {
  if (!c->c_.TabStop || !c->CanTakeFocus() || !c->IsShownInForm()) return false;
  if (c->kind_ == Kind::OptionButton && !static_cast<OptionButton*>(c)->value_) {
    for (Control* o : live_)
      if (o != c && o->kind_ == Kind::OptionButton && o->c_.Container == c->c_.Container &&
          static_cast<OptionButton*>(o)->value_)
        return false;  // only the selected button of a group is a tab stop
  }
  return true;
}

Control* Form::nextInTabOrder(Control* from, bool backwards) const {
  if (tabOrder_.empty()) return nullptr;
  long n = static_cast<long>(tabOrder_.size());
  long start = -1;
  if (from) {
    auto it = std::find(tabOrder_.begin(), tabOrder_.end(), from);
    if (it != tabOrder_.end()) start = it - tabOrder_.begin();
  }
  for (long k = 1; k <= n; ++k) {
    long i = start < 0 ? (backwards ? n - k : k - 1) : ((start + (backwards ? -k : k)) % n + n) % n;
    Control* c = tabOrder_[i];
    if (c != from && tabCandidate(c)) return c;
  }
  return nullptr;
}

void Form::tabNavigate(bool backwards) {
  Control* next = nextInTabOrder(active_, backwards);
  if (next) focusTo(next);
}

// Keyboard ------------------------------------------------------------------------------------
void Form::keyStroke(Control* target, int keyCode, int shift, int ascii) {
  Control* t = isLive(target) ? target : nullptr;
  if (keyCode == vbKeyTab && !(shift & (vbCtrlMask | vbAltMask))) {
    tabNavigate(shift & vbShiftMask);
    return;
  }
  if (pageKey(t, keyCode, shift) || IsMenuKey(keyCode, shift)) return;
  int kc = keyCode;
  if (f_.KeyPreview || !t) {
    Form_KeyDown(kc, shift);
    if (!loaded_) return;
  }
  if (t && kc != 0 && isLive(t)) t->raiseKeyDown(kc, shift);
  if (!loaded_) return;
  if (t && !isLive(t)) t = nullptr;

  bool consumed = false;
  if (keyCode == vbKeyF1) {
    detail::showHelpFor(*this, t);
    consumed = true;
  } else if (keyCode == vbKeyReturn && !(shift & (vbCtrlMask | vbAltMask))) {
    bool multiLine = t && t->kind_ == Kind::TextBox && static_cast<TextBox*>(t)->t_.MultiLine;
    if (t && t->kind_ == Kind::CommandButton) {
      t->raiseClick();
      consumed = true;
    } else if (!multiLine && usable(default_)) {
      default_->raiseClick();
      consumed = true;
    }
  } else if (keyCode == vbKeyEscape && usable(cancel_)) {
    cancel_->raiseClick();
    consumed = true;
  } else if ((shift & (vbAltMask | vbCtrlMask)) == vbAltMask &&
             ((keyCode >= vbKeyA && keyCode <= vbKeyZ) || (keyCode >= vbKey0 && keyCode <= vbKey9))) {
    accessKey(keyCode);
    consumed = true;
    if (isLive(active_)) t = active_;  // the key comes up where the focus went
  } else if (t) {
    t->applyKeyDown(keyCode, shift);
  }
  if (!loaded_) return;
  if (t && !isLive(t)) t = nullptr;

  if (!consumed && ascii) {
    int a = ascii;
    if (f_.KeyPreview || !t) {
      Form_KeyPress(a);
      if (!loaded_) return;
    }
    if (t && a && isLive(t)) t->raiseKeyPress(a);
    if (!loaded_) return;
    if (t && a && isLive(t)) t->applyChar(a);
    if (!loaded_) return;
  }
  if (t && !isLive(t)) t = nullptr;
  int ku = keyCode;
  if (f_.KeyPreview || !t) {
    Form_KeyUp(ku, shift);
    if (!loaded_) return;
  }
  if (t && ku != 0 && isLive(t)) t->raiseKeyUp(ku, shift);
}

bool Form::IsMenuKey(int keyCode, int shift) const {
  if (keyCode != vbKeyF10 || shift) return false;
  for (Menu* m : MenuBar())
    if (m->c_.Visible && m->c_.Enabled) return true;
  return false;
}

bool Form::pageKey(Control* target, int keyCode, int shift) {
  if ((shift & (vbCtrlMask | vbAltMask)) != vbCtrlMask) return false;
  if (keyCode != vbKeyTab && keyCode != vbKeyPageDown && keyCode != vbKeyPageUp) return false;
  SSTab* tab = nullptr;
  for (Control* p = target ? target->c_.Container : nullptr; p && !tab; p = p->c_.Container)
    if (p->kind_ == Kind::SSTab) tab = static_cast<SSTab*>(p);
  if (target && target->kind_ == Kind::SSTab) tab = static_cast<SSTab*>(target);
  for (Control* c : tabOrder_) {
    if (tab) break;
    if (c->kind_ == Kind::SSTab && c->IsShownInForm() && c->IsEnabledInForm()) tab = static_cast<SSTab*>(c);
  }
  if (!tab) return false;
  const bool back = keyCode == vbKeyPageUp || (keyCode == vbKeyTab && (shift & vbShiftMask));
  const int page = tab->stepFrom(tab->tab_, back ? -1 : 1, true);
  if (page >= 0) tab->selectByUser(page);
  return true;
}

bool Form::accessKey(int key) {
  // From the control after the focus round the tab order, as the keyboard of the desktop does.
  const long n = static_cast<long>(tabOrder_.size());
  long start = 0;
  if (auto it = std::find(tabOrder_.begin(), tabOrder_.end(), active_); it != tabOrder_.end())
    start = (it - tabOrder_.begin()) + 1;
  for (long k = 0; k < n; ++k) {
    Control* c = tabOrder_[(start + k) % n];
    if (!c->IsShownInForm() || !c->IsEnabledInForm()) continue;
    if (c->kind_ == Kind::SSTab) {
      auto* tab = static_cast<SSTab*>(c);
      int page = tab->PageOfAccessKey(key);
      if (page >= 0) return tab->selectByUser(page);
      continue;
    }
    std::string caption;
    switch (c->kind_) {
      case Kind::CommandButton: case Kind::CheckBox: case Kind::OptionButton:
        caption = static_cast<ButtonBase*>(c)->b_.Caption;
        break;
      case Kind::Label:
        if (static_cast<Label*>(c)->l_.UseMnemonic) caption = static_cast<Label*>(c)->l_.Caption;
        break;
      case Kind::Frame: caption = static_cast<Frame*>(c)->caption_; break;
      default: continue;
    }
    if (detail::accessKeyOf(caption) != key) continue;
    if (!c->CanFocusKind()) {
      // A label or frame hands its access key on to the next control in the tab order.
      if (Control* next = nextInTabOrder(c, false)) focusTo(next);
      return true;
    }
    if (!c->CanTakeFocus()) return false;
    focusTo(c);
    if (active_ == c) c->onUserClick();
    return true;
  }
  return false;
}

bool Form::UserKey(int keyCode, int shift) {
  return detail::userInput("Key " + name_, [&] {
    if (!AcceptsInput()) return false;
    keyStroke(active_, keyCode, shift, detail::asciiForKey(keyCode, shift));
    return true;
  });
}

bool Form::UserKeyStroke(int keyCode, int shift, int character) {
  return detail::userInput("Key " + name_, [&] {
    if (!AcceptsInput()) return false;
    int ascii = character;
    if (keyCode == vbKeyBack || keyCode == vbKeyReturn || keyCode == vbKeyEscape) ascii = keyCode;
    if (shift & (vbCtrlMask | vbAltMask)) ascii = 0;
    keyStroke(active_, keyCode, shift, ascii);
    return true;
  });
}

bool Form::UserMoveResize(long left, long top, long width, long height) {
  return detail::userInput("Move " + name_, [&] {
    if (!loaded_ || width < 0 || height < 0) return false;
    bool resized = width != c_.Width || height != c_.Height;
    c_.Left = left;
    c_.Top = top;
    c_.Width = width;
    c_.Height = height;
    notify(Prop::Geometry);
    if (resized) Form_Resize();
    return true;
  });
}

bool Form::UserType(const std::string& text) {
  return detail::userInput("Type " + name_, [&] {
    if (!AcceptsInput()) return false;
    if (active_) return detail::typeInto(*active_, *this, text);
    for (unsigned char ch : text) {
      if (!loaded_ || !AcceptsInput()) break;
      int kc, sh;
      detail::keyForChar(ch, kc, sh);
      keyStroke(active_, kc, sh, ch == '\t' ? 0 : ch);
    }
    return true;
  });
}

void Form::onUserClick() { Form_Click(); }

void Form::toScale(double xPixels, double yPixels, float& x, float& y) const {
  x = static_cast<float>(xPixels * Screen.TwipsPerPixelX());
  y = static_cast<float>(yPixels * Screen.TwipsPerPixelY());
}

}  // namespace forms
