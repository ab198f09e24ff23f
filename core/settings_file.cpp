#include "core/settings_file.h"

#include <cerrno>
#include <cstdio>

#include "core/common_helpers.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/fs/files.h"
#include "platform/vb/vb.h"

namespace SubMain {
namespace {

// Entry i of the recent-file list (9 Subscript out of range when the list is shorter).
std::string& Recent(int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= gstrRecentlyUsedFile.size()) vb::Raise(vb::errSubscript);
  return gstrRecentlyUsedFile[static_cast<std::size_t>(i)];
}

std::string RecentKey(int i) {
  char key[16];
  std::snprintf(key, sizeof key, "Recently%02d", i);
  return key;
}

class Reader {
 public:
  explicit Reader(std::string file) : file_(std::move(file)) {}
  std::string Text(const char* section, const char* key, const char* def) const {
    return mdlCommon::GetPrivateProfileString(section, key, def, file_);
  }
  int32_t Long(const char* section, const char* key, const char* def) const {
    return vb::CLng(Text(section, key, def));
  }
  bool Bool(const char* section, const char* key, const char* def) const {
    return vb::CBool(Text(section, key, def));
  }

 private:
  std::string file_;
};

}  // namespace

std::string gstrInitFileName() {
  const std::string exe = vb::App::EXEName();
  const std::size_t dot = exe.rfind('.');
  return vb::App::Path() + "/" + (dot == std::string::npos ? exe : exe.substr(0, dot)) + ".ini";
}

bool gblnReadInitFile() {
  return vb::guarded("SubMain.gblnReadInitFile", [&] {
    const Reader ini(gstrInitFileName());
    glngPortNo = ini.Long("Comm", "PortNo", "0");
    glngRcvRetry = ini.Long("Comm", "RcvRetry", "10");
    glngSleepTimeUnit = ini.Long("Comm", "SleepTimeUnit", "100");
    glngTimeOut = ini.Long("Comm", "TimeOut", "5");
    glngRetryWrongReplayBeforeMsg = ini.Long("Comm", "RetryTimesForWrongReplayBeforeMsg", "10");
    glngRetryTimeOutBeforeMsg = ini.Long("Comm", "RetryTimesForTimeOutBeforeMsg", "1");
    gstrSettings = ini.Text("Comm", "Settings", "1200,n,8,2");
    gblnAutoBaudRateChange = ini.Bool("Comm", "AutoBaudRateChange", "True");
    gblnEnterKeySend = ini.Bool("Comm", "EnterKeySend", "False");

    if (glngRetryTimeOutBeforeMsg < 1) glngRetryTimeOutBeforeMsg = 1;
    if (glngTimeOut < 5) glngTimeOut = 5;
    if (glngSleepTimeUnit < 1) glngSleepTimeUnit = 1;

    gblnWriteErrLogWrongReplay = ini.Bool("Comm", "WriteErrLogWrongReplay", "False");
    gblnWriteErrLogTimeOut = ini.Bool("Comm", "WriteErrLogTimeOut", "False");
    gblnOptimizeWritting = ini.Bool("Comm", "OptimizeWritting", "False");
    for (int i = 0; i < 5; ++i) Recent(i) = ini.Text("File", RecentKey(i).c_str(), "");
    gblnWriteLogFile = ini.Bool("File", "WriteLogFile", "False");
    gblnDeveloping = ini.Bool("Mode", "Developing", "False");
    gstrAdvancedPwd = ini.Text("Mode", "AdvancedPwd", "");

    gblnAdvancedMode = vb::UCase(gstrAdvancedPwd) == vb::UCase(kAdvancedPassword) || gblnDeveloping;

    glngStartUpTabNo = ini.Long("Form", "StartUpTabNo", "0");
    glngSmallChange = ini.Long("Form", "SmallChange", "1");
    glngLargeChange = ini.Long("Form", "LargeChange", "5");
    return true;
  });
}

bool gblnWriteInitFile() {
  return vb::guarded("SubMain.gblnWriteInitFile", [&] {
    const std::string file = gstrInitFileName();
    // Every key is tried; the first that could not be written (a full disk: the old file stays
    // whole) fails the write, its error left pending for the end of the program to report.
    int failed = 0;
    auto put = [&](const char* section, const std::string& key, const std::string& value) {
      errno = 0;
      if (mdlCommon::WritePrivateProfileString(section, key, value, file) == 0 && failed == 0)
        failed = errno != 0 ? errno : EIO;
    };
    auto num = [](int32_t v) { return std::to_string(v); };
    auto flag = [](bool v) { return std::string(v ? "True" : "False"); };
    put("Comm", "PortNo", num(glngPortNo));
    put("Comm", "RcvRetry", num(glngRcvRetry));
    put("Comm", "SleepTimeUnit", num(glngSleepTimeUnit));
    put("Comm", "TimeOut", num(glngTimeOut));
    put("Comm", "RetryTimesForWrongReplayBeforeMsg", num(glngRetryWrongReplayBeforeMsg));
    put("Comm", "RetryTimesForTimeOutBeforeMsg", num(glngRetryTimeOutBeforeMsg));
    put("Comm", "WriteErrLogWrongReplay", flag(gblnWriteErrLogWrongReplay));
    put("Comm", "WriteErrLogTimeOut", flag(gblnWriteErrLogTimeOut));
    put("Comm", "OptimizeWritting", flag(gblnOptimizeWritting));
    put("Comm", "Settings", gstrSettings);
    put("Comm", "AutoBaudRateChange", flag(gblnAutoBaudRateChange));
    put("Comm", "EnterKeySend", flag(gblnEnterKeySend));
    for (int i = 0; i < 5; ++i) put("File", RecentKey(i), Recent(i));
    put("File", "WriteLogFile", flag(gblnWriteLogFile));
    put("Form", "StartUpTabNo", num(glngStartUpTabNo));
    put("Form", "SmallChange", num(glngSmallChange));
    put("Form", "LargeChange", num(glngLargeChange));
    put("Mode", "AdvancedPwd", gstrAdvancedPwd);
    if (failed != 0) {
      Err.Set(vb::Error(files::ErrorNumberOf(failed)));
      return false;
    }
    return true;
  });
}

bool gblnClearRecentlyUsedFile() {
  return vb::guarded("SubMain.gblnClearRecentlyUsedFile", [&] {
    for (int i = 0; i < 5; ++i) Recent(i) = "";
    return true;
  });
}

bool gblnAddRecentlyUsedFile(std::string vstrFileName) {
  return vb::guarded("SubMain.gblnAddRecentlyUsedFile", [&] {
    std::string carried = vb::Trim(Recent(0));
    Recent(0) = vb::Trim(vstrFileName);
    for (int i = 1; i <= 4; ++i) {
      if (carried == vstrFileName || carried.empty() || Recent(i) == carried) break;
      std::string remembered = Recent(i);
      Recent(i) = vb::Trim(carried);
      carried = remembered;
    }
    return true;
  });
}

}  // namespace SubMain
