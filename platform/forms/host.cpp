#include "platform/forms/host.h"

#include <cstdio>

namespace forms {
namespace {

// Answers with the default button; used before a front end installs its host.
class ConsoleHost : public Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), prompt.c_str());
    const int kind = buttons & 7;
    const int def = (buttons >> 8) & 3;
    static const int answers[6][3] = {{vbOK, vbOK, vbOK},         {vbOK, vbCancel, vbCancel},
                                      {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
                                      {vbYes, vbNo, vbNo},          {vbRetry, vbCancel, vbCancel}};
    return kind < 6 ? answers[kind][def] : vbOK;
  }
};

Host* current = nullptr;
}  // namespace

Host& host() {
  static ConsoleHost console;
  return current ? *current : console;
}

void setHost(Host* h) { current = h; }

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  return host().MsgBox(prompt, buttons, title);
}

}  // namespace forms
