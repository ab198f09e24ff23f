#pragma once
// The parameter-file loader on arbitrary bytes: the fuzz target and the replay of its corpus
// in the test suite share this body. The first byte picks the file's extension (and so the
// kind and whether the developing-mode lists are used); the rest is the file's content.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/command_lists.h"
#include "core/parameter_files.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"

namespace parameter_file_fuzz {

// Answers every box with its default button (Yes for the version question) and counts them.
class QuietHost : public forms::Host {
 public:
  int MsgBox(const std::string&, int buttons, const std::string&) override {
    ++boxes;
    return (buttons & 7) == forms::vbYesNo ? forms::vbNo : forms::vbOK;
  }
  int boxes = 0;
};

inline QuietHost& Host() {
  static QuietHost host;
  return host;
}

// A temporary folder for the input file, removed when the process ends.
struct TempFolder {
  TempFolder() {
    char pattern[] = "/tmp/orvadex-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) std::abort();
    path = made;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

inline const std::string& Folder() {
  static const TempFolder folder;
  return folder.path;
}

[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "parameter-file fuzz: %s\n", what);
  std::abort();
}

// Runs one input; returns the load's result. Aborts when an invariant breaks.
inline bool LoadBytes(const uint8_t* data, std::size_t size) {
  // Built when missing: a test run before this one may have released the table.
  if (!gobjDataInfo[1] && !SubMain::mblnSetDataInfo()) std::abort();
  forms::setHost(&Host());
  vb::SetErrorReporter([](const std::string&) { Err.Clear(); });
  static const char* const names[] = {"f.krv", "f.CFG", "f.dev", "f.MZL", "f", "f.cfg"};
  const uint8_t selector = size > 0 ? data[0] : 0;
  gblnDeveloping = (selector & 0x80) != 0;
  if (!SubMain::gblnMakeAllCmdSet()) std::abort();
  gbyteFirmVersion = static_cast<uint8_t>(selector & 0x0F);
  const std::string path = Folder() + "/" + names[(selector >> 4 & 7) % 6];
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (size > 1) out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  std::array<int16_t, 256> table{};
  std::string kind = "-";
  bool cancel = false;
  const int boxesBefore = Host().boxes;
  const bool ok = SubMain::gblnKRVFileLoad(path, table, kind, cancel);
  // No error stays pending, and a declined file was asked about.
  if (Err.Number != 0) Fail("an error stays pending after the load");
  if (cancel && Host().boxes == boxesBefore) Fail("declined without a question");
  if (!ok && cancel) Fail("declined but failed");
  std::remove(path.c_str());
  return ok;
}

}  // namespace parameter_file_fuzz
