// Parameter files: round trips of every kind, hand-written files, the version question, the
// legacy formats and bad input, on real files in a temporary folder.
#include "core/parameter_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/command_lists.h"
#include "tests/core/core_fixture.h"

namespace {

namespace fsys = std::filesystem;
using SubMain::gblnKRVFileLoad;
using SubMain::gblnKRVFileSave;
using testutil::AsUnprivilegedUser;
using testutil::Box;
using testutil::Codes;

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

int OpenFileCount() {
  int n = 0;
  for ([[maybe_unused]] auto& e : fsys::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

long FilesIn(const std::string& folder) {
  return std::distance(fsys::directory_iterator(folder), fsys::directory_iterator());
}

class ParameterFiles : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    showErrors = false;
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    gbyteFirmVersion = 3;
    gbyteCameraModel = 24;
    gbyteCameraType = 2;
    gblnInitialSet = false;
    // Values unlike the defaults, each code its own.
    for (int c = 0; c < 256; ++c) data_[c] = static_cast<uint8_t>((c * 7 + 3) & 0xFF);
  }

  // Loads `name`; returns the result and leaves the table, kind and cancel flag in members.
  bool Load(const std::string& name) {
    table_.fill(1234);
    return gblnKRVFileLoad(dir.file(name), table_, kind_, cancel_);
  }
  bool LoadText(const std::string& name, const std::string& content) {
    dir.write(name, content);
    return Load(name);
  }

  std::array<uint8_t, 256> data_{};
  std::array<int16_t, 256> table_{};
  std::string kind_ = "untouched";
  bool cancel_ = false;
};

// ---- Round trips ---------------------------------------------------------------------------

struct KindCase {
  const char* name;
  const char* kind;
  friend std::ostream& operator<<(std::ostream& out, const KindCase& k) { return out << k.name; }
};

class RoundTrip : public ParameterFiles, public ::testing::WithParamInterface<KindCase> {};

TEST_P(RoundTrip, SavedValuesComeBackForTheCodesTheKindCarries) {
  const KindCase k = GetParam();
  ASSERT_TRUE(gblnKRVFileSave(dir.file(k.name), data_, false));
  ASSERT_TRUE(Load(k.name));
  EXPECT_EQ(kind_, k.kind);
  EXPECT_FALSE(cancel_);
  EXPECT_FALSE(gblnInitialSet);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());

  std::vector<int> carried;
  if (std::string(k.kind) == "CFG") carried = Codes(gstrAllCmdList);
  else if (std::string(k.kind) == "KRV") carried = Codes(gstrKRVCmdList);
  else for (int c = 1; c <= 254; ++c) carried.push_back(c);
  for (int c = 0; c < 256; ++c) {
    const bool held = std::find(carried.begin(), carried.end(), c) != carried.end();
    EXPECT_EQ(table_[c], held ? data_[c] : -1) << "code " << c;
  }
  // The file gains no recent-file entry unless asked.
  EXPECT_EQ(gstrRecentlyUsedFile[0], "");
}

INSTANTIATE_TEST_SUITE_P(EveryKindAndSpelling, RoundTrip,
                         ::testing::Values(KindCase{"a.KRV", "KRV"}, KindCase{"b.mzl", "KRV"},
                                           KindCase{"c.MZL", "KRV"}, KindCase{"noextension", "KRV"},
                                           KindCase{"d.CFG", "CFG"}, KindCase{"e.cfg", "CFG"},
                                           KindCase{"f.Cfg", "CFG"}, KindCase{"g.DEV", "DEV"},
                                           KindCase{"h.dev", "DEV"}, KindCase{"i.txt", "KRV"}));

TEST_F(ParameterFiles, SavedFileLaysOutVersionKindValuesAndFactoryInOrder) {
  ASSERT_TRUE(gblnKRVFileSave(dir.file("x.krv"), data_, false));
  const std::string text = dir.read("x.krv");
  const std::string version = "[Version]\r\nFirmWare=3\r\nFirmWareMax=3\r\nFirmWareMin=3\r\n"
                              "AppMajor=" + std::to_string(vb::App::Major()) + "\r\nAppMinor=" +
                              std::to_string(vb::App::Minor()) + "\r\nAppRevision=" +
                              std::to_string(vb::App::Revision()) + "\r\nCameraModel=24\r\nCameraType=2\r\n"
                              "SoftWareVrsion=\"" + SubMain::gstrGetVersionString() +
                              "\"\r\nFileKind=KRV\r\n";
  EXPECT_EQ(text.substr(0, version.size()), version);
  // The first carried code's section follows, and the factory section closes the file.
  const std::string first = "[Switch]\r\nDIPSwitch=" + std::to_string(data_[1]) + "\r\n";
  EXPECT_EQ(text.substr(version.size(), first.size()), first);
  const std::string factory = "[Factory]\r\nInitialSet=False\r\n";
  EXPECT_EQ(text.substr(text.size() - factory.size()), factory);
  EXPECT_EQ(CountOf(text, "InitialSet"), 1);
  EXPECT_EQ(CountOf(text, "ForceWrite"), 0);

  ASSERT_TRUE(gblnKRVFileSave(dir.file("x.dev"), data_, false));
  const std::string dev = dir.read("x.dev");
  EXPECT_NE(dev.find("[H7X]\r\nH70=" + std::to_string(data_[112]) + "\r\n"), std::string::npos);
  EXPECT_NE(dev.find("[H0X]\r\nH01="), std::string::npos);
  EXPECT_NE(dev.find("HFE="), std::string::npos);
  EXPECT_EQ(dev.find("H00="), std::string::npos);
  EXPECT_EQ(dev.find("HFF="), std::string::npos);
  EXPECT_NE(dev.find("FileKind=DEV"), std::string::npos);
}

TEST_F(ParameterFiles, SavingTwiceKeepsOneCopyOfEachKeyAndEveryForeignLine) {
  const std::string name = "keep.cfg";
  dir.write(name, "; written by hand\r\n[Notes]\r\nWho=me\r\n\r\n[Factory]\r\nForceWrite=1\r\n"
            "[Aperture]\r\nPeak=2 ; old\r\n");
  data_[112] = 5;
  ASSERT_TRUE(gblnKRVFileSave(dir.file(name), data_, false));
  const std::string once = dir.read(name);
  ASSERT_TRUE(gblnKRVFileSave(dir.file(name), data_, false));
  const std::string twice = dir.read(name);
  EXPECT_EQ(once, twice);
  EXPECT_EQ(twice.rfind("; written by hand\r\n[Notes]\r\nWho=me\r\n\r\n[Factory]\r\nForceWrite=1\r\n", 0), 0u);
  EXPECT_EQ(CountOf(twice, "\nPeak="), 1);
  EXPECT_EQ(CountOf(twice, "\nFirmWare="), 1);
  EXPECT_EQ(CountOf(twice, "[Aperture]"), 1);
  EXPECT_EQ(CountOf(twice, "[Version]"), 1);
  EXPECT_EQ(CountOf(twice, "\nInitialSet=False"), 1);

  // ForceWrite stays and still asks for the EEPROM clear.
  ASSERT_TRUE(Load(name));
  EXPECT_EQ(table_[112], 5);
  EXPECT_TRUE(gblnInitialSet);
}

// ---- Saves that cannot be written ----------------------------------------------------------

// The save replaces the file as the profile writer does (files::ReplaceContent, whose failures
// are tested with it); here, what each failure reports. A failed save changes nothing and
// enters nothing in the recent-file list.
TEST_F(ParameterFiles, SavesThatCannotBeWrittenReportTheirErrorAndChangeNothing) {
  const std::string before = "[Notes]\r\nA=1\r\n";
  dir.write("ro.krv", before);
  ::chmod(dir.file("ro.krv").c_str(), 0444);  // read-only, also for root
  fsys::create_directory(dir.file("folder.cfg"));
  dir.write("full.cfg", before);
  struct Case {
    const char* file;
    long error;
  };
  for (const Case& c : {Case{"no/such/folder/x.cfg", vb::errPathNotFound}, Case{"ro.krv", vb::errPermissionDenied},
                        Case{"folder.cfg", vb::errPathFileAccess}, Case{"full.cfg", vb::errDiskFull}}) {
    reports.clear();
    {
      testutil::FileSizeLimit limit(std::string(c.file) == "full.cfg" ? 100 : RLIM_INFINITY);
      EXPECT_FALSE(gblnKRVFileSave(dir.file(c.file), data_, true)) << c.file;
    }
    ASSERT_EQ(reports.size(), 1u) << c.file;
    EXPECT_EQ(reports[0].text, "SubMain.gblnKRVFileSave");
    EXPECT_EQ(reports[0].number, c.error) << c.file;
  }
  EXPECT_FALSE(fsys::exists(dir.file("no")));
  EXPECT_EQ(dir.read("ro.krv"), before);
  EXPECT_EQ(dir.read("full.cfg"), before);
  EXPECT_EQ(FilesIn(dir.path()), 3);  // no copy left beside them
  EXPECT_EQ(gstrRecentlyUsedFile[0], "");
  gstrRecentlyUsedFile[0] = "older.krv";
  ASSERT_TRUE(gblnKRVFileSave(dir.file("r.krv"), data_, true));
  EXPECT_EQ(gstrRecentlyUsedFile[0], dir.file("r.krv"));
  EXPECT_EQ(gstrRecentlyUsedFile[1], "older.krv");
}

TEST_F(ParameterFiles, AWritableFileIsSavedInAFolderThatTakesNoNewFile) {
  fsys::create_directory(dir.file("locked"));
  dir.write("locked/p.krv", "[Notes]\r\nA=1\r\n");
  const std::string failure = AsUnprivilegedUser(dir.path(), [&]() -> std::string {
    ::chmod(dir.file("locked").c_str(), 0555);
    if (!gblnKRVFileSave(dir.file("locked/p.krv"), data_, false)) return "not saved";
    if (dir.read("locked/p.krv").rfind("[Notes]\r\nA=1\r\n[Version]\r\n", 0) != 0) return "not in place";
    return "";
  });
  EXPECT_EQ(failure, "");
}

// ---- Hand-written files --------------------------------------------------------------------

TEST_F(ParameterFiles, ApertureKeysOfACfgFileWinOwnKeyThenPeekThenHexKey) {
  const std::string head = "[Version]\r\nFirmWare=3\r\n";
  for (auto [keys, value] : {std::pair{"[7X]\r\n70=5\r\n", 5}, {"[7X]\r\n70=5\r\n[Aperture]\r\nPeek=3\r\n", 3},
                             {"[7X]\r\n70=5\r\n[Aperture]\r\nPeak=4\r\nPeek=3\r\n", 4}}) {
    ASSERT_TRUE(LoadText("a.cfg", head + keys));
    EXPECT_EQ(table_[112], value) << keys;
  }
  // Other codes: the hex key counts in a CFG file ([0A] for code 10 is [0X] 0A=).
  ASSERT_TRUE(LoadText("a.cfg", head + "[0X]\r\n0A=17\r\n"));
  EXPECT_EQ(table_[10], 17);
  EXPECT_EQ(table_[1], -1);
  EXPECT_EQ(kind_, "");
  EXPECT_TRUE(reports.empty());
}

TEST_F(ParameterFiles, KrvAndDevFilesIgnoreThePlainHexKeys) {
  const std::string head = "[Version]\r\nFirmWare=3\r\nFileKind=KRV\r\n";
  ASSERT_TRUE(LoadText("a.krv", head + "[7X]\r\n70=5\r\n[0X]\r\n0A=17\r\n[Aperture]\r\nPeek=3\r\n"));
  EXPECT_EQ(table_[112], 3);
  EXPECT_EQ(table_[10], -1);
  EXPECT_EQ(kind_, "KRV");
  ASSERT_TRUE(LoadText("a.dev", head + "[7X]\r\n70=5\r\n[Aperture]\r\nPeak=6\r\n[H7X]\r\nH71=9\r\n"));
  EXPECT_EQ(table_[112], -1);
  EXPECT_EQ(table_[113], 9);
  EXPECT_EQ(table_[0], -1);
  EXPECT_EQ(table_[255], -1);
  EXPECT_EQ(kind_, "KRV");  // handed back as the file says, unchecked
}

TEST_F(ParameterFiles, KeysInOtherCaseQuotedAndSpacedValuesAreRead) {
  ASSERT_TRUE(LoadText("h.MzL",
                       "\xEF\xBB\xBF[version]\nfirmware = 3\nfilekind=\"MZL\"\n"
                       "[SWITCH]\n  dipswitch  =  \"200\"  \n[aperture]\nPEAK='6'\n"
                       "[ManualWhiteBalance]\r\nb=&H10\r\n"));
  EXPECT_EQ(kind_, "MZL");
  EXPECT_EQ(table_[1], 200);
  EXPECT_EQ(table_[112], 6);
  EXPECT_EQ(table_[10], 16);
  EXPECT_TRUE(reports.empty());
}

TEST_F(ParameterFiles, DevelopingModeCodes9And83ShareOneKey) {
  gblnDeveloping = true;
  ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
  data_[9] = 4;
  data_[83] = 6;
  ASSERT_TRUE(gblnKRVFileSave(dir.file("dev.cfg"), data_, false));
  const std::string text = dir.read("dev.cfg");
  EXPECT_EQ(CountOf(text, "\nG="), 1);
  EXPECT_NE(text.find("\nG=4\r\n"), std::string::npos);
  ASSERT_TRUE(Load("dev.cfg"));
  EXPECT_EQ(table_[9], 4);
  EXPECT_EQ(table_[83], 4);
  // Undefined codes travel under their hex names.
  EXPECT_EQ(table_[5], data_[5]);
  EXPECT_NE(text.find("[0X]\r\n05="), std::string::npos);
}

TEST_F(ParameterFiles, FactoryKeysSetTheInitialSetFlag) {
  for (auto [factory, set] : {std::pair{"", false}, {"[Factory]\r\nInitialSet=True\r\n", true},
                              {"[Factory]\r\nInitialSet=False\r\nForceWrite=1\r\n", true},
                              {"[Factory]\r\nInitialSet=0\r\nForceWrite=\r\n", false}}) {
    gblnInitialSet = !set;
    ASSERT_TRUE(LoadText("f.krv", std::string("[Version]\r\nFirmWare=3\r\n") + factory));
    EXPECT_EQ(gblnInitialSet, set) << factory;
  }
}

// ---- Bad values ----------------------------------------------------------------------------

struct BadValue {
  const char* body;  // follows [Version] FirmWare=3
  long number;
  friend std::ostream& operator<<(std::ostream& out, const BadValue& b) { return out << b.body; }
};

class BadValues : public ParameterFiles, public ::testing::WithParamInterface<BadValue> {};

TEST_P(BadValues, AreReportedAsRunTimeErrorsOfTheLoad) {
  const BadValue b = GetParam();
  EXPECT_FALSE(LoadText("bad.krv", std::string("[Version]\r\nFirmWare=3\r\n") + b.body));
  ASSERT_EQ(reports.size(), 1u) << b.body;
  EXPECT_EQ(reports[0].text, "SubMain.gblnKRVFileLoad");
  EXPECT_EQ(reports[0].number, b.number) << b.body;
  EXPECT_TRUE(host.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EmptyNonNumericOverflowNotBoolean, BadValues,
    ::testing::Values(BadValue{"[Switch]\r\nDIPSwitch=\r\n", vb::errTypeMismatch},
                      BadValue{"[Switch]\r\nDIPSwitch=abc\r\n", vb::errTypeMismatch},
                      BadValue{"[Switch]\r\nDIPSwitch=\"\"\r\n", vb::errTypeMismatch},
                      BadValue{"[Switch]\r\nDIPSwitch=12 34\r\n", vb::errTypeMismatch},
                      BadValue{"[Switch]\r\nDIPSwitch=40000\r\n", vb::errOverflow},
                      BadValue{"FirmWareMax=\r\n", vb::errTypeMismatch},
                      BadValue{"AppMajor=99999999999\r\n", vb::errOverflow},
                      BadValue{"[Factory]\r\nInitialSet=maybe\r\n", vb::errTypeMismatch},
                      BadValue{"[Aperture]\r\nPeek=x\r\n", vb::errTypeMismatch}));

TEST_F(ParameterFiles, ValuesOutsideTheByteRangeAreStoredAsRead) {
  // The range is checked when the file's values are laid over the current ones.
  ASSERT_TRUE(LoadText("r.krv", "[Version]\r\nFirmWare=3\r\n[Switch]\r\nDIPSwitch=300\r\n"
                                "[ManualWhiteBalance]\r\nB=-2\r\n"));
  EXPECT_EQ(table_[1], 300);
  EXPECT_EQ(table_[10], -2);
}

TEST_F(ParameterFiles, BadFirmWareTextFailsBeforeAnythingElseIsRead) {
  gblnInitialSet = true;
  EXPECT_FALSE(LoadText("v.krv", "[Version]\r\nFirmWare=three\r\n"));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].number, vb::errTypeMismatch);
  EXPECT_FALSE(gblnInitialSet);
  EXPECT_EQ(kind_, "untouched");
}

// ---- The version question -------------------------------------------------------------------

TEST_F(ParameterFiles, AFileOfAnotherFirmwareAsksWithBothVersions) {
  ASSERT_TRUE(gblnKRVFileSave(dir.file("v.krv"), data_, false));
  gbyteFirmVersion = 0;  // off line
  host.answers = {forms::vbNo};
  ASSERT_TRUE(Load("v.krv"));
  EXPECT_TRUE(cancel_);
  const std::string app = std::to_string(vb::App::Major()) + "." + std::to_string(vb::App::Minor()) +
                          std::to_string(vb::App::Revision());
  EXPECT_EQ(host.boxes, (std::vector<Box>{{"This KRV file is a different version. Do you use the file?\r\n"
                                           "[File Created]     FirmWare:3   SoftWare:" + app + "\r\n"
                                           "[Current Version]     FirmWare:0   SoftWare:" + app + "\r\n",
                                           forms::vbYesNo | forms::vbQuestion, SubMain::gstrGetAppTitleString()}}));
  EXPECT_EQ(table_[1], data_[1]);  // the values are read before the question

  // Yes leaves the flag as the caller set it.
  cancel_ = false;
  host.answers = {forms::vbYes};
  ASSERT_TRUE(Load("v.krv"));
  EXPECT_FALSE(cancel_);
  EXPECT_EQ(host.boxes.size(), 2u);
}

TEST_F(ParameterFiles, TheVersionQuestionFollowsFirmWareAndItsRange) {
  struct Case {
    const char* version;
    int fw;
    bool asks;
  } cases[] = {
      {"FirmWare=3\r\n", 3, false},                                // same version
      {"FirmWare=3\r\n", 0, true},                                 // no range: -1 to -1
      {"FirmWare=3\r\nFirmWareMin=0\r\nFirmWareMax=5\r\n", 0, false},
      {"FirmWare=3\r\nFirmWareMin=0\r\nFirmWareMax=5\r\n", 5, false},
      {"FirmWare=3\r\nFirmWareMin=0\r\nFirmWareMax=5\r\n", 6, true},
      {"FirmWare=3\r\nFirmWareMin=4\r\nFirmWareMax=9\r\n", 2, true},
      {"FirmWare=7\r\nFirmWareMin=0\r\n", 9, true},
      {"FirmWare=7\r\nFirmWareMax=255\r\n", 9, false},
  };
  for (const Case& c : cases) {
    host.boxes.clear();
    gbyteFirmVersion = static_cast<uint8_t>(c.fw);
    cancel_ = true;  // never cleared by the load
    ASSERT_TRUE(LoadText("q.krv", std::string("[Version]\r\n") + c.version)) << c.version;
    EXPECT_EQ(host.boxes.size(), c.asks ? 1u : 0u) << c.version << " fw " << c.fw;
    EXPECT_TRUE(cancel_);
  }
}

TEST_F(ParameterFiles, TheJapaneseQuestionKeepsTheSameVersionLines) {
  vb::ForceResLanguage(vb::ResLanguage::Japanese);
  gbyteFirmVersion = 0;
  ASSERT_TRUE(LoadText("j.krv", "[Version]\r\nFirmWare=12\r\nAppMajor=2\r\nAppMinor=0\r\nAppRevision=10\r\n"));
  ASSERT_EQ(host.boxes.size(), 1u);
  const std::string& p = host.boxes[0].prompt;
  EXPECT_EQ(p.rfind(vb::LoadResString(341, vb::ResLanguage::Japanese) + "\r\n[File Created]     FirmWare:12"
                    "   SoftWare:2.010\r\n[Current Version]     FirmWare:0   SoftWare:", 0), 0u);
}

// ---- Legacy formats -------------------------------------------------------------------------

// A legacy file of either format: the codes of each step in order, each value code + 1.
std::string Legacy4000(const std::string& endMarker = "-1") {
  return "\"Parameter File\",4000\r\n\"FirmWare\",1,9\r\n\"Gain\",65,66,67,68\r\n"
         "\"IRIS\",193,225,229,230\r\n\"Chroma\",77,78\r\n\"Y1\",36,40,37,38\r\n"
         "\"Y2\",33,34,35,39\r\n\"Picture\",79,80\r\n\"IRIS2\",201,202,203,204\r\n"
         "\"IRIS3\",205,206,207,208\r\n\"End\"," + endMarker + "\r\n";
}

std::string Legacy5000() {
  return "Header,5000\nSwitch,2\nGain,65,66\nWB,11,12\nGamma,93,94,95,96\nChroma,78,77\n"
         "Aperture,115,116,114,113\nAWB,147,148,145,146\nPicture,79,80\n"
         "IRIS,201,202,203,204,205,206,207,208\nY,53,49\nEnd,-1\n";
}

TEST_F(ParameterFiles, LegacyFormatsStoreEveryCodeOfTheirSteps) {
  const std::vector<int> codes4000 = {64, 65, 66, 67, 192, 224, 228, 229, 76, 77, 35, 39, 36, 37,
                                      32, 33, 34, 38, 78, 79, 200, 201, 202, 203, 204, 205, 206, 207};
  const std::vector<int> codes5000 = {1, 64, 65, 10, 11, 92, 93, 94, 95, 77, 76, 114, 115, 113, 112,
                                      146, 147, 144, 145, 78, 79, 200, 201, 202, 203, 204, 205, 206,
                                      207, 52, 48};
  ASSERT_EQ(codes4000.size(), 28u);
  ASSERT_EQ(codes5000.size(), 31u);
  for (auto [content, codes] : {std::pair{Legacy4000(), codes4000}, std::pair{Legacy5000(), codes5000}}) {
    gblnInitialSet = true;
    gbyteFirmVersion = 0;
    ASSERT_TRUE(LoadText("old.krv", content));
    for (int c = 0; c < 256; ++c) {
      const bool held = std::find(codes.begin(), codes.end(), c) != codes.end();
      EXPECT_EQ(table_[c], held ? c + 1 : -1) << "code " << c;
    }
    EXPECT_EQ(kind_, "untouched");
    EXPECT_FALSE(gblnInitialSet);
    EXPECT_TRUE(host.boxes.empty());  // never the version question
    EXPECT_TRUE(reports.empty());
  }
}

TEST_F(ParameterFiles, LegacyFilesWithAWrongFormatOrEndMarkerAreRefused) {
  const std::string notCollect = "This file type is not collect.";
  // The end marker is checked after every value is stored.
  EXPECT_FALSE(LoadText("end.krv", Legacy4000("0")));
  EXPECT_EQ(table_[207], 208);
  EXPECT_FALSE(LoadText("fmt.krv", "\"Parameter File\",4001\r\n1,2,3\r\n"));
  EXPECT_EQ(table_[64], -1);
  EXPECT_FALSE(LoadText("fmt.krv", "\"Parameter File\",abc\r\n"));
  ASSERT_EQ(host.boxes.size(), 3u);
  for (const Box& b : host.boxes) {
    EXPECT_EQ(b.prompt, notCollect);
    EXPECT_EQ(b.buttons, forms::vbOKOnly | forms::vbExclamation);
    EXPECT_EQ(b.title, SubMain::gstrGetAppTitleString());
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(ParameterFiles, ALegacyFileThatEndsEarlyIsRefusedWithBothMessages) {
  const std::string full = Legacy5000();
  for (std::size_t cut : {std::size_t{0}, std::size_t{6}, full.size() / 2, full.size() - 5}) {
    host.boxes.clear();
    EXPECT_FALSE(LoadText("short.krv", full.substr(0, cut))) << cut;
    ASSERT_EQ(host.boxes.size(), 1u) << cut;
    EXPECT_EQ(host.boxes[0].prompt, "This file type is not collect.\r\nThis operation was canceled.");
    EXPECT_EQ(host.boxes[0].buttons, forms::vbOKOnly | forms::vbExclamation);
  }
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(Err.Number, 0);
}

TEST_F(ParameterFiles, AMissingFileShowsTheSystemsDescriptionAndCancels) {
  EXPECT_FALSE(Load("missing.krv"));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].prompt, "File not found\r\nThis operation was canceled.");
  EXPECT_EQ(host.boxes[0].buttons, forms::vbOKOnly | forms::vbExclamation);
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(Err.Number, 0);
  EXPECT_EQ(table_[1], -1);
}

TEST_F(ParameterFiles, ALegacyValueBeyond16BitsIsReportedAndTheFileClosed) {
  const int before = OpenFileCount();
  std::string content = Legacy5000();
  content.replace(content.find("Switch,2"), 8, "Switch,99999");
  EXPECT_FALSE(LoadText("big.krv", content));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "SubMain.gblnKRVFileLoad");
  EXPECT_EQ(reports[0].number, vb::errOverflow);
  // Every path above closed its file.
  EXPECT_FALSE(LoadText("end.krv", Legacy4000("7")));
  EXPECT_FALSE(LoadText("short.krv", "x,4000,"));
  EXPECT_FALSE(LoadText("fmt.krv", "x,1,"));
  EXPECT_EQ(OpenFileCount(), before);
}

// ---- Garbage --------------------------------------------------------------------------------

TEST_F(ParameterFiles, BinaryGarbageAndHugeFilesFailWithAMessage) {
  std::mt19937 random(42);
  for (int round = 0; round < 20; ++round) {
    std::string junk(1 + random() % 3000, '\0');
    for (char& ch : junk) ch = static_cast<char>(random());
    host.boxes.clear();
    reports.clear();
    const bool ok = LoadText("junk.cfg", junk);
    // Garbage is refused with a message or a report, never taken silently as a file.
    EXPECT_FALSE(ok);
    EXPECT_EQ(host.boxes.size() + reports.size(), 1u);
  }
  host.boxes.clear();
  {
    std::ofstream out(dir.file("huge.krv"), std::ios::binary);
    out << "[Version]\r\nFirmWare=3\r\n";
    const std::string line = "[Filler]\r\nText=" + std::string(1000, 'x') + "\r\n";
    while (out.tellp() < static_cast<std::streamoff>(SubMain::glngMaxParameterFileSize) + 10)
      out << line;
  }
  EXPECT_FALSE(Load("huge.krv"));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].prompt, "This file type is not collect.");
  EXPECT_FALSE(gblnKRVFileSave(dir.file("huge.krv"), data_, false));
  EXPECT_EQ(host.boxes.size(), 2u);
}

}  // namespace
