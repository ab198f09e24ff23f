#pragma once
// A program folder of its own for each test: the App object points at a temporary folder,
// message boxes are recorded, the parameter table is built, English texts are used and errors
// are recorded and, unless `showErrors` is false, reported through the program's error reporter.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "core/logs.h"
#include "core/start_up.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"
#include "platform/vb/vb.h"
#include "tests/platform/test_support.h"

namespace testutil {

// A file-size limit makes every write past it fail as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  sighandler_t old_handler_;
};

struct Report {
  std::string text;
  long number;
};

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vb::App::SetLocationForTesting(dir.path(), "orvadex");
    vb::ForceResLanguage(vb::ResLanguage::English);
    forms::setHost(&host);
    vb::SetErrorReporter([this](const std::string& text) {
      reports.push_back({text, Err.Number});
      if (showErrors) SubMain::gErrorProc(text);
      Err.Clear();
    });
    Err.Clear();
    saved_ = SubMain::UpperLayers();
    ASSERT_TRUE(SubMain::mblnSetDataInfo());
    gstrRecentlyUsedFile.assign(6, std::string());
  }
  void TearDown() override {
    SubMain::UpperLayers() = saved_;
    vb::SetErrorReporter(nullptr);
    forms::setHost(nullptr);
    vb::ForceResLanguage(std::nullopt);
    vb::App::SetLocationForTesting("", "");
    for (auto& e : gobjDataInfo) e.reset();
    gbyteCurrentData.fill(0);
    gblnDeveloping = gblnAdvancedMode = false;
  }

  // The error-log lines written so far, without their time stamps ("[...]" TAB dropped).
  std::vector<std::string> ErrorLogLines() const {
    std::vector<std::string> lines = vb::Split(dir.read("orvadex.ERR"), "\r\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    for (std::string& line : lines)
      if (line.find('\t') != std::string::npos) line = line.substr(line.find('\t') + 1);
    return lines;
  }

  TempFolder dir;
  RecordingHost host;
  std::vector<Report> reports;
  bool showErrors = true;

 private:
  SubMain::UpperLayerCalls saved_;
};

// The numbers of a comma-separated list.
inline std::vector<int> Codes(const std::string& list) {
  std::vector<int> codes;
  for (const std::string& item : vb::Split(list, ",")) codes.push_back(std::stoi(item));
  return codes;
}

}  // namespace testutil
