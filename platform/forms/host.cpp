#include "platform/forms/host.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"
#include "platform/serial/clock.h"
#include "platform/vb/error.h"

namespace forms {
namespace {

// Answers with the default button; used before a front end installs its host.
class ConsoleHost : public Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), prompt.c_str());
    return DefaultMsgBoxAnswer(buttons);
  }
};

Host* current = nullptr;

// Length in display units: wide (East Asian) characters count twice.
long displayUnits(const std::string& s) {
  long units = 0;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned cp = c;
    int len = 1;
    if (c >= 0xF0) { len = 4; cp = c & 0x07; }
    else if (c >= 0xE0) { len = 3; cp = c & 0x0F; }
    else if (c >= 0xC0) { len = 2; cp = c & 0x1F; }
    for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += len;
    units += cp >= 0x1100 ? 2 : 1;
  }
  return units;
}

}  // namespace

int DefaultMsgBoxAnswer(int buttons) {
  const int kind = buttons & 7;
  const int def = (buttons >> 8) & 3;
  static const int answers[6][3] = {{vbOK, vbOK, vbOK},           {vbOK, vbCancel, vbCancel},
                                    {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
                                    {vbYes, vbNo, vbNo},          {vbRetry, vbCancel, vbCancel}};
  return kind < 6 ? answers[kind][def > 2 ? 2 : def] : vbOK;
}

int CancelMsgBoxAnswer(int buttons) {
  static const int answers[6] = {vbOK, vbCancel, vbAbort, vbCancel, vbNo, vbCancel};
  const int kind = buttons & 7;
  return kind < 6 ? answers[kind] : vbOK;
}

void Host::RunModal(Form& form) {
  if (!form.ModalDone()) form.UserClose();
  if (!form.ModalDone()) form.Hide();
}

void Host::DoEvents() { RunPosted(); }

void Host::Post(std::function<void()> task) { posted_.push_back(std::move(task)); }

void Host::RunPosted() {
  if (runningPosted_) return;
  runningPosted_ = true;
  try {
    while (!posted_.empty()) {
      auto task = std::move(posted_.front());
      posted_.erase(posted_.begin());
      if (task) task();
    }
  } catch (...) {
    runningPosted_ = false;
    throw;
  }
  runningPosted_ = false;
}

TextSize Host::MeasureText(const std::string& text, const Font& font) {
  // A fixed average character width: 9 points gives 6 x 12 pixels (90 x 180 twips).
  const long charWidth = static_cast<long>(font.Size * 10 + 0.5);
  const long lineHeight = static_cast<long>(font.Size * 20 + 0.5);
  TextSize size;
  long lines = 0;
  size_t pos = 0;
  for (;;) {
    size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size.Width = std::max(size.Width, displayUnits(line) * charWidth);
    ++lines;
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  size.Height = lines * lineHeight;
  return size;
}

void Host::UnhandledError(const std::string& where, long number, const std::string& description) {
  std::fprintf(stderr, "Unhandled run-time error %ld in %s: %s\n", number, where.c_str(), description.c_str());
}

Host& host() {
  static ConsoleHost console;
  return current ? *current : console;
}

void setHost(Host* h) { current = h; }

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  return host().MsgBox(prompt, buttons, title);
}

bool Host::SessionEnding() const { return sessionEnding_ || serial::SessionEnded(); }

bool SessionEnding() { return host().SessionEnding(); }

int DoEvents() {
  host().DoEvents();
  return static_cast<int>(LoadedForms().size());
}

bool Pause(long ms, const std::function<bool()>& stopped) {
  // How long the windows go unserved at most: a click or a repaint is not seen to wait.
  constexpr int64_t kServedEveryUs = 20000;
  serial::Clock& clock = serial::clock();
  const int64_t until = clock.NowUs() + std::max(ms, 0L) * int64_t{1000};
  for (;;) {
    DoEvents();
    if (stopped() || SessionEnding()) return false;
    const int64_t left = until - clock.NowUs();
    if (left <= 0) return true;
    serial::Pause(static_cast<long>((std::min(left, kServedEveryUs) + 999) / 1000));
  }
}

namespace {

struct Stroke {
  int keyCode = 0, shift = 0, ascii = 0;
};

std::vector<Stroke> parseKeys(const std::string& keys) {
  static const std::map<std::string, int> named = {
      {"ENTER", vbKeyReturn}, {"ESC", vbKeyEscape}, {"ESCAPE", vbKeyEscape}, {"TAB", vbKeyTab},
      {"BS", vbKeyBack}, {"BKSP", vbKeyBack}, {"BACKSPACE", vbKeyBack}, {"DEL", vbKeyDelete},
      {"DELETE", vbKeyDelete}, {"UP", vbKeyUp}, {"DOWN", vbKeyDown}, {"LEFT", vbKeyLeft},
      {"RIGHT", vbKeyRight}, {"HOME", vbKeyHome}, {"END", vbKeyEnd}, {"PGUP", vbKeyPageUp},
      {"PGDN", vbKeyPageDown}, {"INSERT", vbKeyInsert}, {"INS", vbKeyInsert}};
  std::vector<Stroke> out;
  int shift = 0;
  for (size_t i = 0; i < keys.size(); ++i) {
    char c = keys[i];
    if (c == '+') { shift |= vbShiftMask; continue; }
    if (c == '^') { shift |= vbCtrlMask; continue; }
    if (c == '%') { shift |= vbAltMask; continue; }
    Stroke s;
    if (c == '~') {
      s.keyCode = vbKeyReturn;
    } else if (c == '{') {
      size_t close = keys.find('}', i + 2);
      if (close == std::string::npos) vb::Raise(5);
      std::string name = keys.substr(i + 1, close - i - 1);
      i = close;
      std::string upper;
      for (char ch : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      if (name.size() == 1) {
        int kc, sh;
        detail::keyForChar(static_cast<unsigned char>(name[0]), kc, sh);
        s.keyCode = kc;
        s.ascii = name[0];
        shift |= sh;
      } else if (auto it = named.find(upper); it != named.end()) {
        s.keyCode = it->second;
      } else if (upper.size() >= 2 && upper[0] == 'F' && std::isdigit(static_cast<unsigned char>(upper[1]))) {
        int n = std::atoi(upper.c_str() + 1);
        if (n < 1 || n > 16) vb::Raise(5);
        s.keyCode = vbKeyF1 + n - 1;
      } else {
        vb::Raise(5);
      }
    } else if (c == '}' || c == '(' || c == ')' || c == '[' || c == ']') {
      vb::Raise(5);
    } else {
      int kc, sh;
      detail::keyForChar(static_cast<unsigned char>(c), kc, sh);
      s.keyCode = kc;
      s.ascii = static_cast<unsigned char>(c);
      shift |= sh;
    }
    s.shift = shift;
    if (!s.ascii) s.ascii = detail::asciiForKey(s.keyCode, shift);
    if (shift & (vbCtrlMask | vbAltMask)) s.ascii = 0;
    out.push_back(s);
    shift = 0;
  }
  return out;
}

void sendStrokes(const std::vector<Stroke>& strokes) {
  for (const auto& s : strokes) {
    Form* f = Screen.ActiveForm();
    if (!f || !f->AcceptsInput()) return;
    detail::userInput("SendKeys", [&] {
      f->keyStroke(f->ActiveControl(), s.keyCode, s.shift, s.ascii);
      return true;
    });
  }
}

}  // namespace

void SendKeys(const std::string& keys, bool wait) {
  auto strokes = parseKeys(keys);
  if (wait) {
    sendStrokes(strokes);
  } else {
    host().Post([strokes] { sendStrokes(strokes); });
  }
}

}  // namespace forms
