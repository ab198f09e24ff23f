// parameter_file_bench: how long a parameter file takes to load and to save.
//
// It saves the current values as a CFG file, then a copy of that file grown with unknown
// sections and comments to just under the 1 MiB limit of a parameter file, and times
// gblnKRVFileLoad and gblnKRVFileSave of each (the median of the runs, in milliseconds of the
// wall clock and of CPU time).
//
//   build/bench/parameter_file_bench [--runs N] [--check]
//
// --check exits 1 when the targets are missed: a normal file loads and saves in under 2 ms,
// a file at the limit in under 50 ms.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "core/command_lists.h"
#include "core/parameter_files.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"

namespace {

namespace fs = std::filesystem;

// Every message box is a failure of the run.
class BenchHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int, const std::string&) override {
    boxes.push_back(prompt);
    return forms::vbOK;
  }
  std::vector<std::string> boxes;
};

double cpuMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The median time of `work`, on the wall clock and in CPU time (which a busy machine does not
// stretch), in milliseconds.
struct Time {
  double wallMs, cpuMs;
};
Time median(int runs, const std::function<bool()>& work) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuMs();
    if (!work()) {
      std::cerr << "the operation failed\n";
      std::exit(2);
    }
    cpu.push_back(cpuMs() - cpuStart);
    wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// The file grown to just under `limit` bytes with sections and comments the program does not
// know, put between its own sections, as an edited file might hold them.
void grow(const fs::path& file, std::uintmax_t limit) {
  std::ifstream in(file, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string block = "; a note kept by the user, which the program reads past\r\n";
  std::string extra;
  for (int n = 0; text.size() + extra.size() + 200 < limit; ++n) {
    extra += "[Unknown" + std::to_string(n) + "]\r\n";
    for (int k = 0; k < 8; ++k) extra += "Key" + std::to_string(k) + "=" + std::to_string(n * k) + "\r\n";
    extra += block;
  }
  const std::size_t middle = text.find("\r\n[", text.size() / 2);
  text.insert(middle == std::string::npos ? text.size() : middle + 2, extra);
  std::ofstream(file, std::ios::binary) << text;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 21;
  bool check = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--check")) check = true;
    else {
      std::cerr << "usage: parameter_file_bench [--runs N] [--check]\n";
      return 2;
    }
  }
  char pattern[] = "/tmp/orvadex-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 2;
  const fs::path dir = pattern;
  vb::App::SetLocationForTesting(dir.string(), "orvadex");
  BenchHost host;
  forms::setHost(&host);
  vb::SetErrorReporter([&](const std::string& text) { host.boxes.push_back(text); });
  if (!SubMain::mblnSetDataInfo() || !SubMain::gblnMakeAllCmdSet()) return 2;
  for (int c = 0; c < 256; ++c) gbyteCurrentData[c] = static_cast<uint8_t>(c * 7 + 3);

  struct Case {
    const char* name;
    fs::path file;
    double targetMs;
  };
  const std::vector<Case> cases = {{"normal", dir / "normal.CFG", 2}, {"1 MiB", dir / "large.CFG", 50}};
  for (const Case& c : cases) SubMain::gblnKRVFileSave(c.file.string(), gbyteCurrentData, false);
  grow(cases[1].file, SubMain::glngMaxParameterFileSize);

  bool met = true;
  std::printf("%-8s %10s %10s %10s %10s %10s\n", "file", "bytes", "load ms", "(cpu)", "save ms", "(cpu)");
  for (const Case& c : cases) {
    std::array<int16_t, 256> table{};
    std::string kind;
    bool cancel = false;
    const Time load = median(runs, [&] { return SubMain::gblnKRVFileLoad(c.file.string(), table, kind, cancel); });
    const Time save = median(runs, [&] { return SubMain::gblnKRVFileSave(c.file.string(), gbyteCurrentData, false); });
    std::printf("%-8s %10ju %10.2f %10.2f %10.2f %10.2f\n", c.name, static_cast<std::uintmax_t>(fs::file_size(c.file)),
                load.wallMs, load.cpuMs, save.wallMs, save.cpuMs);
    met = met && load.wallMs < c.targetMs && save.wallMs < c.targetMs;
  }
  fs::remove_all(dir);
  if (!host.boxes.empty()) {
    std::cerr << "message boxes during the runs: " << host.boxes.front() << "\n";
    return 1;
  }
  if (check && !met) {
    std::cerr << "targets missed: a normal file within 2 ms, a file at the limit within 50 ms\n";
    return 1;
  }
  return 0;
}
