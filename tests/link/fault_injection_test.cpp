// Faults on the line, through the real termios port on a pty against the simulated camera served
// as camsim serves it (paced by the wire at 9600 baud): dropped, delayed, corrupted and extra
// bytes, a camera that falls silent, and a line that is closed mid-transfer, during a full read
// and a framed send of every transferred code, and during an EEPROM write. Each transfer ends in
// its specified state, no value of the current-value table is lost, and nothing hangs or crashes.
//
// The poll interval is fixed at 5 ms and the receive time-out at 1 s, so that a lost reply costs
// one to two seconds instead of the default five to six.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "core/command_lists.h"
#include "core/logs.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/eeprom_operations.h"
#include "link/mscomm.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/fs/files.h"
#include "platform/serial/mscomm.h"
#include "platform/serial/port_map.h"
#include "platform/vb/error.h"
#include "platform/vb/vb.h"
#include "sim/camera.h"
#include "sim/serial_server.h"
#include "tests/platform/temp_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Table = std::array<uint8_t, 256>;

// Records every message box and answers it from a script (No or OK when the script is empty).
class ScriptedHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    boxes.push_back(prompt);
    if (onBox) onBox();
    if (!answers.empty()) {
      const int a = answers.front();
      answers.erase(answers.begin());
      return a;
    }
    const int kind = buttons & 7;
    return kind == forms::vbYesNo || kind == forms::vbYesNoCancel ? forms::vbNo : forms::vbOK;
  }
  int count(long message) const {
    const std::string text = vb::LoadResString(message);
    int n = 0;
    for (const std::string& b : boxes)
      if (b.compare(0, text.size(), text) == 0) ++n;
    return n;
  }
  std::vector<std::string> boxes;
  std::vector<int> answers;
  std::function<void()> onBox;
};

std::vector<uint8_t> codesOf(const std::string& list) {
  std::vector<uint8_t> out;
  for (const std::string& item : vb::Split(list, ",")) out.push_back(static_cast<uint8_t>(std::stoi(item)));
  return out;
}

// A value for `code` that differs from `base`'s (the camera's and the program's tables then
// tell apart which codes a transfer reached).
uint8_t other(uint8_t base, uint8_t code) { return static_cast<uint8_t>(base ^ (0x40 | (code & 0x1F))); }

class FaultInjection : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool tableBuilt = SubMain::mblnSetDataInfo();
    ASSERT_TRUE(tableBuilt);
    vb::App::SetLocationForTesting(dir.path(), "orvadex");
    forms::setHost(&host);
    vb::SetErrorReporter([](const std::string& text) { SubMain::gErrorProc(text); });
    ::setenv("ORVADEX_PORTS_DIR", dir.file("ports").c_str(), 1);
    Err.Clear();

    glngPortNo = 1;
    gstrSettings = "9600,n,8,2";
    gblnAutoBaudRateChange = false;
    glngSleepTimeUnit = 5;
    glngTimeOut = 1;
    glngRcvRetry = 10;
    glngRetryTimeOutBeforeMsg = 1;
    glngRetryWrongReplayBeforeMsg = 10;
    gblnWriteErrLogWrongReplay = gblnWriteErrLogTimeOut = false;
    gblnWriteLogFile = false;
    gblnOptimizeWritting = false;
    gblnOnLine = false;
    gbyteCurrentMode = 0;
    gblnTimeOutRetry = gblnWrongReplayRetry = false;
    glngTimeOutCount = glngWrongReplayCount = 0;
    gblnShowStatus = false;
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    ASSERT_TRUE(SubMain::mblnIniVariable());
    codes = codesOf(gstrAllCmdList);
    ASSERT_EQ(codes.size(), 148u);
    comm = std::make_unique<serial::MSComm>();
    gobjMSComm = comm.get();
  }

  void TearDown() override {
    if (gobjMSComm && comm->PortOpen()) mdlMSComm::gblnMSComm_Close();
    if (server) server->Stop();
    gobjMSComm = nullptr;
    comm.reset();
    server.reset();
    ::unsetenv("ORVADEX_PORTS_DIR");
    vb::SetErrorReporter(nullptr);
    forms::setHost(nullptr);
    vb::App::SetLocationForTesting("", "");
  }

  // Serves the camera on a new pty linked as COM1; every command received is counted, and
  // `closeAfter` commands into the run (0: never) the line is closed as an unplugged cable would.
  void serve() {
    sim::ServerOptions o;
    o.log = [this](const std::string& line) {
      if (line.find(" RX ") == std::string::npos) return;
      std::lock_guard<std::mutex> lock(mutex);
      ++received;
      cv.notify_all();
    };
    server = sim::SerialServer::OnNewPty(camera, o);
    serial::CreatePortLink(dir.file("ports"), 1, server->Path());
    server->Start();
  }

  // Connects as the main window does (without the baud-rate detection, which is off).
  void connect() {
    serve();
    ASSERT_TRUE(mdlMSComm::gblnMSComm_Init());
    ASSERT_TRUE(gblnOnLine);
    ASSERT_TRUE(host.boxes.empty());
  }

  void inject(const char* spec) {
    const sim::Fault f = sim::ParseFault(spec);
    server->WithCamera([&](sim::Camera& c) { c.AddFault(f); });
  }

  // Gives every transferred code a camera value that differs from the program's.
  void cameraHoldsOtherValues() {
    server->WithCamera([&](sim::Camera& c) {
      for (uint8_t code : codes) c.SetValue(code, other(gbyteCurrentData[code], code));
    });
  }

  Table cameraValues() {
    return server->WithCamera([](sim::Camera& c) { return c.Values(); });
  }

  // Closes the line from another thread once the camera has received `n` more commands.
  void closeLineAfter(long n) {
    long target;
    {
      std::lock_guard<std::mutex> lock(mutex);
      target = received + n;
    }
    closer = std::thread([this, target] {
      std::unique_lock<std::mutex> lock(mutex);
      if (!cv.wait_for(lock, std::chrono::seconds(30), [&] { return received >= target; })) return;
      lock.unlock();
      server->Unplug();
    });
  }
  void joinCloser() {
    if (closer.joinable()) closer.join();
  }

  // Runs a transfer and reports how long it took (seconds).
  template <class F>
  double timed(F&& f, bool& ok) {
    const auto t0 = std::chrono::steady_clock::now();
    ok = f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }

  // The number of leading codes (in list order) whose entry in `table` equals `reached`; every
  // later code must still equal `untouched`. Returns -1 when the split is not clean.
  long reachedPrefix(const Table& table, const Table& reached, const Table& untouched) {
    size_t k = 0;
    while (k < codes.size() && table[codes[k]] == reached[codes[k]]) ++k;
    for (size_t i = k; i < codes.size(); ++i)
      if (table[codes[i]] != untouched[codes[i]]) return -1;
    return static_cast<long>(k);
  }

  // The first 62 transferred codes (the EEPROM keeps 63 fields), each given a value that differs
  // from the camera's default; the EEPROM fields a complete write leaves.
  std::string eepromList(std::map<uint8_t, uint8_t>& fields) {
    std::string list;
    for (size_t i = 0; i < 62; ++i) {
      const uint8_t code = codes[i];
      gbyteCurrentData[code] = other(gbyteCurrentData[code], code);
      fields[code] = gbyteCurrentData[code];
      list += (list.empty() ? "" : ",") + std::to_string(code);
    }
    return list;
  }
  std::map<uint8_t, uint8_t> eeprom() {
    return server->WithCamera([](sim::Camera& c) { return c.Eeprom(); });
  }
  std::vector<std::string> backups() const {
    std::vector<std::string> found;
    for (const std::string& name : files::ListFiles(dir.path()))
      if (files::Like(name, "tmp*.CFG", false)) found.push_back(name);
    return found;
  }

  testutil::TempFolder dir;
  ScriptedHost host;
  sim::Camera camera;
  std::unique_ptr<sim::SerialServer> server;
  std::unique_ptr<serial::MSComm> comm;
  std::vector<uint8_t> codes;
  std::mutex mutex;
  std::condition_variable cv;
  long received = 0;
  std::thread closer;
};

// ---- Faults the link recovers from silently ------------------------------------------------

struct Recoverable {
  const char* name;
  const char* fault;  // acts on the 61st command of the transfer and after
};
void PrintTo(const Recoverable& r, std::ostream* os) { *os << r.fault; }

// A lost reply is a time-out: the link resynchronises and sends the command again. A late reply
// within the time-out is simply taken. A corrupted or extra byte makes a wrong reply, recovered
// the same way; an extra byte that arrives after the reply was read lands in the next
// transaction's reply and is recovered there. A reply later than the time-out arrives in the
// middle of the recovery.
const Recoverable kRecoverable[] = {
    {"Dropped", "drop:skip=60"},
    {"Delayed", "delay:ms=300:skip=60"},
    {"DelayedPastTheTimeOut", "delay:ms=2500:skip=60"},
    {"CommandByteCorrupted", "corrupt:index=0:skip=60"},
    {"ExtraBytesBefore", "extra:bytes=AA55:before=1:skip=60"},
    {"ExtraBytesAfter", "extra:bytes=AA:skip=60"},
    {"ExtraBytesLate", "extra:bytes=0155:ms=3:skip=60"},
    {"SpuriousBytesAfterFourRepliesInARow", "extra:bytes=FF:ms=3:skip=30:count=4"},
};

class RecoverableFault : public FaultInjection, public ::testing::WithParamInterface<Recoverable> {};

TEST_P(RecoverableFault, FullReadStoresEveryCameraValue) {
  connect();
  cameraHoldsOtherValues();
  inject(GetParam().fault);
  bool ok = false;
  const double seconds = timed([&] { return mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }, ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front();
  const Table cam = cameraValues();
  for (uint8_t code : codes) ASSERT_EQ(gbyteCurrentData[code], cam[code]) << "code " << int(code);
  EXPECT_FALSE(gblnReadingData);
  EXPECT_TRUE(gblnOnLine);
  EXPECT_EQ(camera.CurrentMode(), sim::Mode::Normal);  // the end command was taken
  EXPECT_LT(seconds, 20.0);
}

TEST_P(RecoverableFault, FramedSendStoresEveryValueInTheCamera) {
  connect();
  for (uint8_t code : codes) gbyteCurrentData[code] = other(gbyteCurrentData[code], code);
  const Table before = gbyteCurrentData;
  inject(GetParam().fault);
  bool ok = false;
  const double seconds = timed([&] { return mdlMSComm::gblnSetDataFromPC(gstrAllCmdList, true); }, ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front();
  EXPECT_EQ(gbyteCurrentData, before);
  const Table cam = cameraValues();
  for (uint8_t code : codes) ASSERT_EQ(cam[code], before[code]) << "code " << int(code);
  EXPECT_TRUE(gblnOnLine);
  EXPECT_LT(seconds, 20.0);
}

// An EEPROM write (operation 2, without optimisation): the camera's EEPROM ends with every
// field, the backup file is deleted, the table is as it was.
TEST_P(RecoverableFault, EepromWriteStoresEveryField) {
  connect();
  std::map<uint8_t, uint8_t> fields;
  const std::string list = eepromList(fields);
  const Table before = gbyteCurrentData;
  inject(GetParam().fault);
  bool ok = false;
  const double seconds = timed([&] { return mdlMSComm::gblnEEPROMOperation(mdlMSComm::eepOpWrite, list); }, ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front();
  EXPECT_EQ(eeprom(), fields);
  EXPECT_EQ(gbyteCurrentData, before);
  EXPECT_FALSE(gblnEEPROMWriting);
  EXPECT_TRUE(backups().empty());
  EXPECT_EQ(camera.CurrentMode(), sim::Mode::Normal);
  EXPECT_LT(seconds, 20.0);
}

INSTANTIATE_TEST_SUITE_P(Line, RecoverableFault, ::testing::ValuesIn(kRecoverable),
                         [](const auto& info) { return std::string(info.param.name); });

// A corrupted data byte in read mode cannot be told from a value (the protocol has no check
// sum): the read takes it. In a send it is a wrong reply and is recovered.
TEST_F(FaultInjection, CorruptedDataByteIsTakenAsTheValueInReadMode) {
  connect();
  cameraHoldsOtherValues();
  inject("corrupt:index=1:value=0x33:skip=60");  // the 58th code of the list
  ASSERT_TRUE(mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList));
  EXPECT_TRUE(host.boxes.empty());
  const Table cam = cameraValues();
  for (size_t i = 0; i < codes.size(); ++i)
    EXPECT_EQ(gbyteCurrentData[codes[i]], i == 58 ? 0x33 : cam[codes[i]]) << "code " << int(codes[i]);
}

TEST_F(FaultInjection, CorruptedDataByteInASendIsAWrongReplyAndIsSentAgain) {
  connect();
  for (uint8_t code : codes) gbyteCurrentData[code] = other(gbyteCurrentData[code], code);
  inject("corrupt:index=1:skip=60");
  server->WithCamera([](sim::Camera& c) { c.ClearReceived(); });
  ASSERT_TRUE(mdlMSComm::gblnSetDataFromPC(gstrAllCmdList, true));
  EXPECT_TRUE(host.boxes.empty());
  const auto wire = server->WithCamera([](sim::Camera& c) { return c.Received(); });
  EXPECT_GT(wire.size(), codes.size() + 2);  // the recovery's sync and the resend
  const Table cam = cameraValues();
  for (uint8_t code : codes) ASSERT_EQ(cam[code], gbyteCurrentData[code]) << "code " << int(code);
}

// ---- A camera that falls silent --------------------------------------------------------------

// The first time-out is retried silently; the second asks "Time out occurred. Retry?", and No
// takes the program off line. The read keeps what it had read; every other value stays.
TEST_F(FaultInjection, SilenceDuringAReadEndsOffLineKeepingTheValuesRead) {
  connect();
  cameraHoldsOtherValues();
  const Table before = gbyteCurrentData;
  inject("silent:skip=60");
  bool ok = true;
  const double seconds = timed([&] { return mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(host.count(331), 1);
  EXPECT_EQ(host.count(333), 1);
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(gblnReadingData);
  EXPECT_FALSE(gblnShowStatus);
  // (0, 1), (0, 12) and 58 codes were answered: those 58 hold the camera's values.
  EXPECT_EQ(reachedPrefix(gbyteCurrentData, cameraValues(), before), 58);
  EXPECT_LT(seconds, 20.0);
}

TEST_F(FaultInjection, SilenceDuringASendEndsOffLineWithTheTableUnchanged) {
  connect();
  for (uint8_t code : codes) gbyteCurrentData[code] = other(gbyteCurrentData[code], code);
  const Table before = gbyteCurrentData;
  const Table camBefore = cameraValues();
  inject("silent:skip=60");
  bool ok = true;
  const double seconds = timed([&] { return mdlMSComm::gblnSetDataFromPC(gstrAllCmdList, true); }, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(host.count(331), 1);
  EXPECT_EQ(host.count(333), 1);
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(gblnShowStatus);
  EXPECT_EQ(gbyteCurrentData, before);
  // The sync and 59 codes were answered; the 60th was carried out, but not answered, when the
  // camera fell silent; it heard nothing after that.
  EXPECT_EQ(reachedPrefix(cameraValues(), before, camBefore), 60);
  EXPECT_LT(seconds, 20.0);
}

// A second lost reply in a row (the recovery's own sync) is the time-out limit: the question
// comes, and Yes goes on with the transfer, which then completes.
TEST_F(FaultInjection, TwoLostRepliesInARowAskAndYesCompletesTheRead) {
  connect();
  cameraHoldsOtherValues();
  inject("drop:skip=60:count=2");
  host.answers = {forms::vbYes};
  ASSERT_TRUE(mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList));
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.count(331), 1);
  EXPECT_TRUE(gblnOnLine);
  const Table cam = cameraValues();
  for (uint8_t code : codes) ASSERT_EQ(gbyteCurrentData[code], cam[code]) << "code " << int(code);
}

// Yes to the time-out question resynchronises; when the camera speaks again the transfer goes on.
TEST_F(FaultInjection, SilenceThatEndsAfterARetryLetsTheReadFinish) {
  connect();
  cameraHoldsOtherValues();
  inject("silent:skip=60");
  host.answers = {forms::vbYes};
  // The camera speaks again while the question is on the screen.
  host.onBox = [this] { server->WithCamera([](sim::Camera& c) { c.ClearFaults(); }); };
  const bool ok = mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList);
  ASSERT_TRUE(ok);
  EXPECT_EQ(host.count(331), 1);
  EXPECT_EQ(host.count(333), 0);
  EXPECT_TRUE(gblnOnLine);
  const Table cam = cameraValues();
  for (uint8_t code : codes) ASSERT_EQ(gbyteCurrentData[code], cam[code]) << "code " << int(code);
}

// ---- The line closed mid-transfer ------------------------------------------------------------

// Pulling the cable is a run-time error of the port: reported ("System error occured."), the
// transfer ends at once with False, and the port can still be closed. The camera stops
// answering where the line is to be closed, so that the transfer is still waiting there
// however late the closing thread runs (it has a second before the time-out).
TEST_F(FaultInjection, LineClosedDuringAReadIsReportedAndKeepsTheValues) {
  connect();
  cameraHoldsOtherValues();
  const Table cam = cameraValues();
  const Table before = gbyteCurrentData;
  inject("silent:skip=60");
  closeLineAfter(61);
  bool ok = true;
  const double seconds = timed([&] { return mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }, ok);
  joinCloser();
  EXPECT_FALSE(ok);
  EXPECT_FALSE(gblnReadingData);
  EXPECT_FALSE(gblnShowStatus);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.count(331), 0);  // a lost line is not a time-out
  EXPECT_EQ(reachedPrefix(gbyteCurrentData, cam, before), 58);
  EXPECT_TRUE(mdlMSComm::gblnMSComm_Close());
  EXPECT_FALSE(comm->PortOpen());
  EXPECT_LT(seconds, 20.0);
}

TEST_F(FaultInjection, LineClosedDuringASendIsReportedWithTheTableUnchanged) {
  connect();
  for (uint8_t code : codes) gbyteCurrentData[code] = other(gbyteCurrentData[code], code);
  const Table before = gbyteCurrentData;
  inject("silent:skip=60");
  closeLineAfter(61);
  bool ok = true;
  const double seconds = timed([&] { return mdlMSComm::gblnSetDataFromPC(gstrAllCmdList, true); }, ok);
  joinCloser();
  EXPECT_FALSE(ok);
  EXPECT_FALSE(gblnShowStatus);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(gbyteCurrentData, before);
  EXPECT_TRUE(mdlMSComm::gblnMSComm_Close());
  EXPECT_LT(seconds, 20.0);
}

// A failed EEPROM write keeps the backup of the current values and names it; the table is as it
// was, EEPROM write mode is left, and the EEPROM holds only fields of the list with their values.
TEST_F(FaultInjection, SilenceDuringAnEepromWriteKeepsTheBackup) {
  connect();
  std::map<uint8_t, uint8_t> fields;
  const std::string list = eepromList(fields);
  const Table before = gbyteCurrentData;
  inject("silent:skip=20");
  bool ok = true;
  const double seconds = timed([&] { return mdlMSComm::gblnEEPROMOperation(mdlMSComm::eepOpWrite, list); }, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(host.count(331), 1);
  EXPECT_EQ(host.count(333), 1);
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(gblnEEPROMWriting);
  EXPECT_EQ(gbyteCurrentData, before);
  const auto found = backups();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(host.boxes.back(), "\"" + dir.file(found[0]) + "\"" + vb::LoadResString(362));
  // (0, 1), (0, 243) and 18 codes were answered; the 19th was stored but not answered.
  const auto stored = eeprom();
  EXPECT_EQ(stored.size(), 19u);
  for (const auto& [code, value] : stored) EXPECT_EQ(fields.at(code), value) << "code " << int(code);
  EXPECT_LT(seconds, 20.0);
}

TEST_F(FaultInjection, LineClosedDuringAnEepromWriteKeepsTheBackup) {
  connect();
  std::map<uint8_t, uint8_t> fields;
  const std::string list = eepromList(fields);
  const Table before = gbyteCurrentData;
  inject("silent:skip=20");
  closeLineAfter(21);
  bool ok = true;
  const double seconds = timed([&] { return mdlMSComm::gblnEEPROMOperation(mdlMSComm::eepOpWrite, list); }, ok);
  joinCloser();
  EXPECT_FALSE(ok);
  EXPECT_EQ(host.count(331), 0);
  EXPECT_FALSE(gblnEEPROMWriting);
  EXPECT_EQ(gbyteCurrentData, before);
  const auto found = backups();
  ASSERT_EQ(found.size(), 1u);
  ASSERT_GE(host.boxes.size(), 2u);  // the error reporter's box, then the backup's name
  EXPECT_EQ(host.boxes.back(), "\"" + dir.file(found[0]) + "\"" + vb::LoadResString(362));
  const auto stored = server->WithCamera([](sim::Camera& c) { return c.Eeprom(); });
  EXPECT_EQ(stored.size(), 19u);
  for (const auto& [code, value] : stored) EXPECT_EQ(fields.at(code), value) << "code " << int(code);
  EXPECT_TRUE(mdlMSComm::gblnMSComm_Close());
  EXPECT_LT(seconds, 20.0);
}

// The camera process itself dies mid-read (its pty disappears with it).
TEST_F(FaultInjection, CamsimKilledDuringAReadIsReportedAndKeepsTheValues) {
  const std::string camsim = std::string(ORVADEX_BINARY_DIR) + "/sim/camsim";
  if (!fs::exists(camsim)) GTEST_SKIP() << "camsim is not built";
  const std::string log = dir.file("camsim.log");
  // It falls silent after the connect's 5 commands and 60 of the read (which then waits for a
  // reply), and is killed when it has heard the 61st.
  std::vector<std::string> args = {camsim, "--link", "1", "--ports-dir", dir.file("ports"), "--log", log,
                                   "--fault", "silent:skip=65"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  posix_spawn_file_actions_addclose(&fa, out[0]);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  ASSERT_EQ(::posix_spawn(&pid, camsim.c_str(), &fa, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&fa);
  ::close(out[1]);
  std::string path;
  char ch;
  while (::read(out[0], &ch, 1) == 1 && ch != '\n') path += ch;
  ::close(out[0]);
  ASSERT_FALSE(path.empty());

  ASSERT_TRUE(mdlMSComm::gblnMSComm_Init());
  gbyteCurrentData.fill(0xEE);  // camsim's values are its defaults; these tell the reached codes apart
  auto commandsLogged = [&] {
    std::ifstream in(log);
    std::string line;
    long n = 0;
    while (std::getline(in, line))
      if (line.find(" RX ") != std::string::npos) ++n;
    return n;
  };
  std::atomic<bool> done{false};
  std::thread killer([&] {
    const long start = commandsLogged();
    while (!done && commandsLogged() < start + 61) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ::kill(pid, SIGKILL);
  });
  bool ok = true;
  const double seconds = timed([&] { return mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }, ok);
  done = true;
  killer.join();
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(gblnReadingData);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.count(331), 0);
  Table defaults = sim::FactoryDefaults();
  Table untouched;
  untouched.fill(0xEE);
  const long reached = reachedPrefix(gbyteCurrentData, defaults, untouched);
  EXPECT_EQ(reached, 58);
  EXPECT_TRUE(mdlMSComm::gblnMSComm_Close());
  EXPECT_LT(seconds, 20.0);
}

}  // namespace
