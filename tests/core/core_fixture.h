#pragma once
// A program folder of its own for each test: the App object points at a temporary folder,
// message boxes are recorded, the parameter table is built and errors report through the
// program's error reporter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/logs.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"
#include "tests/platform/temp_folder.h"

namespace testutil {

struct ShownBox {
  std::string prompt;
  int buttons;
  std::string title;
};

class RecordingHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    boxes.push_back({prompt, buttons, title});
    return forms::vbOK;
  }
  std::vector<ShownBox> boxes;
};

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vb::App::SetLocationForTesting(dir.path(), "orvadex");
    forms::setHost(&host);
    vb::SetErrorReporter([](const std::string& text) { SubMain::gErrorProc(text); });
    Err.Clear();
    ASSERT_TRUE(SubMain::mblnSetDataInfo());
    gstrRecentlyUsedFile.assign(6, std::string());
  }
  void TearDown() override {
    forms::setHost(nullptr);
    vb::App::SetLocationForTesting("", "");
    for (auto& e : gobjDataInfo) e.reset();
  }

  // The error-log lines written so far, without their time stamps ("[...]" TAB dropped).
  std::vector<std::string> ErrorLogLines() const {
    std::vector<std::string> lines;
    std::string log = dir.read("orvadex.ERR");
    std::size_t pos = 0;
    while (pos < log.size()) {
      std::size_t end = log.find("\r\n", pos);
      if (end == std::string::npos) end = log.size();
      std::string line = log.substr(pos, end - pos);
      std::size_t tab = line.find('\t');
      lines.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
      pos = end + 2;
    }
    return lines;
  }

  TempFolder dir;
  RecordingHost host;
};

}  // namespace testutil
