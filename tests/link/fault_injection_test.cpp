// Faults on the line, through the real termios port on a pty against the simulated camera served
// as camsim serves it (paced by the wire at 9600 baud): dropped, delayed, corrupted and extra
// bytes, a camera that falls silent, and a line that is closed mid-transfer, during a full read
// and a framed send of every transferred code, and during an EEPROM write. Each transfer ends in
// the state its failure calls for, no value of the current-value table is lost, and nothing
// hangs or crashes.
//
// The poll interval is fixed at 5 ms and the receive time-out at 1 s, so that a lost reply costs
// one to two seconds instead of the default five to six.

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <thread>

#include "core/command_lists.h"
#include "link/eeprom_operations.h"
#include "sim/camera.h"
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

namespace fs = std::filesystem;
using Table = std::array<uint8_t, 256>;

// A value for `code` that differs from `base`'s (the camera's and the program's tables then
// tell apart which codes a transfer reached).
uint8_t other(uint8_t base, uint8_t code) { return static_cast<uint8_t>(base ^ (0x40 | (code & 0x1F))); }

class FaultInjection : public PtyTest {
 protected:
  void SetUp() override {
    PtyTest::SetUp();
    host.sayNo = true;
    gblnAutoBaudRateChange = false;
    glngSleepTimeUnit = 5;
    glngTimeOut = 1;
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    ASSERT_TRUE(SubMain::mblnIniVariable());
    for (int code : Codes(gstrAllCmdList)) codes.push_back(static_cast<uint8_t>(code));
    ASSERT_EQ(codes.size(), 148u);
  }
  void TearDown() override {
    if (closer.joinable()) closer.join();
    PtyTest::TearDown();
  }

  // Serves the camera, counting every command it receives, and connects as the main window
  // does (without the baud-rate detection, which is off).
  void connect() {
    sim::ServerOptions o;
    o.log = [this](const std::string& line) {
      if (line.find(" RX ") == std::string::npos) return;
      std::lock_guard<std::mutex> lock(mutex);
      ++received;
      cv.notify_all();
    };
    serve(o);
    ASSERT_TRUE(mdlMSComm::gblnMSComm_Init());
    ASSERT_TRUE(gblnOnLine);
    ASSERT_TRUE(host.boxes.empty());
  }

  // Gives every transferred code a camera (or program) value that differs from the program's.
  void cameraHoldsOtherValues() {
    withCamera([&](sim::Camera& c) {
      for (uint8_t code : codes) c.SetValue(code, other(gbyteCurrentData[code], code));
    });
  }
  void programHoldsOtherValues() {
    for (uint8_t code : codes) gbyteCurrentData[code] = other(gbyteCurrentData[code], code);
  }
  void expectProgramHoldsTheCameraValues() {
    const Table cam = cameraValues();
    for (uint8_t code : codes) ASSERT_EQ(gbyteCurrentData[code], cam[code]) << "code " << int(code);
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

  // Runs a transfer (joining the closing thread after it); it must end within 20 seconds.
  template <class F>
  bool run(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = f();
    if (closer.joinable()) closer.join();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 20.0);
    return ok;
  }
  bool read() { return run([] { return mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }); }
  bool sendAll() { return run([] { return mdlMSComm::gblnSetDataFromPC(gstrAllCmdList, true); }); }
  bool eepromWrite(const std::string& list) {
    return run([&] { return mdlMSComm::gblnEEPROMOperation(mdlMSComm::eepOpWrite, list); });
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
  // A failed EEPROM write: the table as it was, write mode left, the backup kept and named, and
  // 19 fields of the list stored ((0, 1), (0, 243) and 18 codes were answered; the 19th was
  // stored but not answered).
  void expectFailedEepromWrite(const Table& before, const std::map<uint8_t, uint8_t>& fields) {
    EXPECT_FALSE(gblnEEPROMWriting);
    EXPECT_EQ(gbyteCurrentData, before);
    const auto found = backups();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(host.boxes.back().prompt, backupNamed(found[0]));
    const auto stored = eeprom();
    EXPECT_EQ(stored.size(), 19u);
    for (const auto& [code, value] : stored) EXPECT_EQ(fields.at(code), value) << "code " << int(code);
  }

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
  ASSERT_TRUE(read());
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front().prompt;
  expectProgramHoldsTheCameraValues();
  EXPECT_FALSE(gblnReadingData);
  EXPECT_TRUE(gblnOnLine);
  EXPECT_EQ(camera.CurrentMode(), sim::Mode::Normal);  // the end command was taken
}

TEST_P(RecoverableFault, FramedSendStoresEveryValueInTheCamera) {
  connect();
  programHoldsOtherValues();
  const Table before = gbyteCurrentData;
  inject(GetParam().fault);
  ASSERT_TRUE(sendAll());
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front().prompt;
  EXPECT_EQ(gbyteCurrentData, before);
  expectProgramHoldsTheCameraValues();
  EXPECT_TRUE(gblnOnLine);
}

// An EEPROM write (operation 2, without optimisation): the camera's EEPROM ends with every
// field, the backup file is deleted, the table is as it was.
TEST_P(RecoverableFault, EepromWriteStoresEveryField) {
  connect();
  std::map<uint8_t, uint8_t> fields;
  const std::string list = eepromList(fields);
  const Table before = gbyteCurrentData;
  inject(GetParam().fault);
  ASSERT_TRUE(eepromWrite(list));
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front().prompt;
  EXPECT_EQ(eeprom(), fields);
  EXPECT_EQ(gbyteCurrentData, before);
  EXPECT_FALSE(gblnEEPROMWriting);
  EXPECT_TRUE(backups().empty());
  EXPECT_EQ(camera.CurrentMode(), sim::Mode::Normal);
}

INSTANTIATE_TEST_SUITE_P(Line, RecoverableFault, ::testing::ValuesIn(kRecoverable),
                         [](const auto& info) { return std::string(info.param.name); });

// A corrupted data byte in read mode cannot be told from a value (the protocol has no check
// sum): the read takes it. In a send it is a wrong reply and is recovered.
TEST_F(FaultInjection, CorruptedDataByteIsTakenAsTheValueInReadModeAndSentAgainInASend) {
  connect();
  cameraHoldsOtherValues();
  inject("corrupt:index=1:value=0x33:skip=60");  // the 58th code of the list
  ASSERT_TRUE(read());
  EXPECT_TRUE(host.boxes.empty());
  Table cam = cameraValues();
  for (size_t i = 0; i < codes.size(); ++i)
    EXPECT_EQ(gbyteCurrentData[codes[i]], i == 58 ? 0x33 : cam[codes[i]]) << "code " << int(codes[i]);

  programHoldsOtherValues();
  inject("corrupt:index=1:skip=60");
  withCamera([](sim::Camera& c) { c.ClearReceived(); });
  ASSERT_TRUE(sendAll());
  EXPECT_TRUE(host.boxes.empty());
  const auto wire = withCamera([](sim::Camera& c) { return c.Received(); });
  EXPECT_GT(wire.size(), codes.size() + 2);  // the recovery's sync and the resend
  expectProgramHoldsTheCameraValues();
}

// ---- A camera that falls silent --------------------------------------------------------------

// The first time-out is retried silently; the second asks "Time out occurred. Retry?", and No
// takes the program off line. The read keeps what it had read; every other value stays.
// Yes to the time-out question resynchronises and the transfer goes on: after a second lost
// reply in a row (the recovery's own sync), or when the camera speaks again while the question
// is on the screen.
TEST_F(FaultInjection, YesToTheTimeOutQuestionCompletesTheRead) {
  connect();
  for (const char* fault : {"drop:skip=60:count=2", "silent:skip=60"}) {
    SCOPED_TRACE(fault);
    host.boxes.clear();
    cameraHoldsOtherValues();
    inject(fault);
    host.answers = {forms::vbYes};
    host.onBox = [this](const Box&) { withCamera([](sim::Camera& c) { c.ClearFaults(); }); };
    ASSERT_TRUE(read());
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.count(331), 1);
    EXPECT_TRUE(gblnOnLine);
    expectProgramHoldsTheCameraValues();
  }
}

// ---- Silence and a closed line mid-transfer -------------------------------------------------

// The camera falls silent, or the line is closed (the cable pulled), in the middle of a read, a
// framed send or an EEPROM write. Silence is a time-out: asked once (331), No goes off line
// (333). A closed line is a run-time error of the port: reported, asked nothing, off line as
// well, and the port can still be closed; the camera stops answering where the line is to be closed, so that the
// transfer is still waiting there however late the closing thread runs. Either way a read keeps
// the values it got, a send leaves the table as it was, and an EEPROM write keeps its backup.
struct Interruption {
  const char* name;
  enum Transfer { Read, Send, EepromWrite } transfer;
  bool lineClosed;
};
void PrintTo(const Interruption& i, std::ostream* os) { *os << i.name; }

class Interrupted : public FaultInjection, public ::testing::WithParamInterface<Interruption> {};

TEST_P(Interrupted, EndsTheTransferKeepingWhatWasDone) {
  const Interruption& p = GetParam();
  connect();
  std::map<uint8_t, uint8_t> fields;
  std::string list;
  if (p.transfer == Interruption::Read) cameraHoldsOtherValues();
  if (p.transfer == Interruption::Send) programHoldsOtherValues();
  if (p.transfer == Interruption::EepromWrite) list = eepromList(fields);
  const Table before = gbyteCurrentData, cam = cameraValues();
  const long skip = p.transfer == Interruption::EepromWrite ? 20 : 60;
  inject(("silent:skip=" + std::to_string(skip)).c_str());
  // The closed line ends the wait at once; a long time-out keeps a closing thread that a busy
  // machine runs late from finding a time-out question on the screen instead.
  if (p.lineClosed) glngTimeOut = 10;
  if (p.lineClosed) closeLineAfter(skip + 1);
  EXPECT_FALSE(p.transfer == Interruption::Read   ? read()
               : p.transfer == Interruption::Send ? sendAll()
                                                  : eepromWrite(list));
  if (p.lineClosed) {
    EXPECT_EQ(host.count(331), 0);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports[0].text, "mdlMSComm.gblnSendSettingData");
    EXPECT_TRUE(mdlMSComm::gblnMSComm_Close());
    EXPECT_FALSE(comm->PortOpen());
  } else {
    EXPECT_EQ(host.count(331), 1);
    EXPECT_EQ(host.count(333), 1);
  }
  EXPECT_FALSE(gblnOnLine);
  switch (p.transfer) {
    case Interruption::Read:
      EXPECT_FALSE(gblnReadingData);
      EXPECT_FALSE(gblnShowStatus);
      // (0, 1), (0, 12) and 58 codes were answered: those 58 hold the camera's values.
      EXPECT_EQ(reachedPrefix(gbyteCurrentData, cam, before), 58);
      break;
    case Interruption::Send:
      EXPECT_FALSE(gblnShowStatus);
      EXPECT_EQ(gbyteCurrentData, before);
      // The sync and 59 codes were answered; the 60th was carried out, but not answered, when
      // the camera fell silent; it heard nothing after that.
      if (!p.lineClosed) {
        EXPECT_EQ(reachedPrefix(cameraValues(), before, cam), 60);
      }
      break;
    case Interruption::EepromWrite:
      expectFailedEepromWrite(before, fields);
      break;
  }
}

const Interruption kInterruptions[] = {
    {"SilenceDuringARead", Interruption::Read, false},
    {"SilenceDuringASend", Interruption::Send, false},
    {"SilenceDuringAnEepromWrite", Interruption::EepromWrite, false},
    {"LineClosedDuringARead", Interruption::Read, true},
    {"LineClosedDuringASend", Interruption::Send, true},
    {"LineClosedDuringAnEepromWrite", Interruption::EepromWrite, true},
};
INSTANTIATE_TEST_SUITE_P(Line, Interrupted, ::testing::ValuesIn(kInterruptions),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace linktest
