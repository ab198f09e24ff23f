#include "core/parameter_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/common_helpers.h"
#include "core/data_info.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/fs/files.h"
#include "platform/profile/profile.h"
#include "platform/vb/error.h"
#include "platform/vb/vb.h"

namespace SubMain {
namespace {

namespace fsys = std::filesystem;

constexpr int kMsgDifferentVersion = 341;  // "This KRV file is a different version. ..."
constexpr int kMsgNotCollect = 342;        // "This file type is not collect."
constexpr int kMsgCanceled = 351;          // "This operation was canceled."

// ---- Kinds and key names ----------------------------------------------------------------

enum class FileKind { KRV, CFG, DEV };

// The kind follows the text after the last "." of the name, in any case.
FileKind KindOf(const std::string& fileName) {
  const std::string ext = vb::UCase(mdlCommon::GetExt(fileName));
  if (ext == "CFG") return FileKind::CFG;
  if (ext == "DEV") return FileKind::DEV;
  return FileKind::KRV;
}

const char* KindText(FileKind kind) {
  switch (kind) {
    case FileKind::CFG: return "CFG";
    case FileKind::DEV: return "DEV";
    default: return "KRV";
  }
}

// Both hex digits of a code, upper case ("0A", "70").
std::string Hex2(int code) {
  static const char digits[] = "0123456789ABCDEF";
  return {digits[(code >> 4) & 15], digits[code & 15]};
}

// Plain hex key of a CFG file: [7X] 70= for code 112.
std::string HexSection(int code) { return Hex2(code).substr(0, 1) + "X"; }
// Key of a DEV file: [H7X] H70= for code 112.
std::string DevSection(int code) { return "H" + HexSection(code); }
std::string DevKey(int code) { return "H" + Hex2(code); }

// The codes of a command list, converted as every list reader does (13 for a bad item).
std::vector<int> CodesOf(const std::string& list) {
  std::vector<int> codes;
  if (list.empty()) return codes;
  for (const std::string& item : vb::Split(list, ",")) codes.push_back(vb::CLng(item));
  return codes;
}

// Entry `code` of a value table; a code outside the table is a subscript error.
template <class T>
T& At(std::span<T> table, long code) {
  if (code < 0 || static_cast<std::size_t>(code) >= table.size()) vb::Raise(vb::errSubscript);
  return table[static_cast<std::size_t>(code)];
}

const clsDataInfo& InfoOf(long code) {
  if (code < 0 || code > 255) vb::Raise(vb::errSubscript);
  const auto& info = gobjDataInfo[static_cast<std::size_t>(code)];
  if (!info) vb::Raise(vb::errObjectVariable);
  return *info;
}

// The definition whose "Peek" spelling older files carry: [Aperture] Peak.
bool IsAperturePeak(const clsDataInfo& info) {
  return vb::EqualNoCase(info.SectionName, "Aperture") && vb::EqualNoCase(info.KeyName, "Peak");
}

// The codes a kind carries, in the kind's order.
std::vector<int> CodesOfKind(FileKind kind) {
  if (kind == FileKind::CFG) return CodesOf(gstrAllCmdList);
  if (kind == FileKind::KRV) return CodesOf(gstrKRVCmdList);
  std::vector<int> codes;
  for (int code = 1; code <= 254; ++code) codes.push_back(code);
  return codes;
}

void MessageBox(const std::string& text, int style) {
  forms::MsgBox(text, forms::vbOKOnly | style, gstrGetAppTitleString());
}

// ---- Error numbers of the file system ------------------------------------------------------

[[noreturn]] void RaiseErrno(int err) { vb::Raise(files::ErrorNumberOf(err)); }

// A file far larger than any parameter file is refused before it is read key by key.
bool TooLargeForParameterFile(const std::string& fileName) {
  struct stat st {};
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         static_cast<std::uintmax_t>(st.st_size) > glngMaxParameterFileSize;
}

// ---- Saving ---------------------------------------------------------------------------------

// Writes the keys of a save into the file's text as the profile writer does, key by key, and
// puts the text in place of the file once at the end (files::ReplaceContent), so that a crash,
// a full disk or a run-time error in the middle of a save leaves the previous file whole.
class ParameterWriter {
 public:
  explicit ParameterWriter(std::string file) : file_(std::move(file)) {
    if (file_.empty()) vb::Raise(vb::errBadFileNameOrNumber);
    std::error_code ec;
    if (!fsys::exists(file_, ec)) return;
    std::string content = files::ReadAll(file_);  // 75 for a folder, a pipe or a device
    if (profile::text::IsUtf16(content)) vb::Raise(vb::errPathFileAccess);
    text_ = profile::Document(std::move(content));
  }
  // Values are numbers and names come from the parameter table: nothing a profile line could
  // not hold.
  void Put(const std::string& section, const std::string& key, const std::string& value) {
    text_.Set(section, key, value);
  }
  void Write() {
    if (const int err = files::ReplaceContent(file_, text_.Text())) RaiseErrno(err);
  }

 private:
  std::string file_;
  profile::Document text_;
};

// ---- Loading --------------------------------------------------------------------------------

// One value of the file into the table entry of its code, the entry's value as the default,
// so that a key the file lacks keeps what an earlier key of the same code gave.
void ReadCode(std::span<int16_t> table, int code, const std::string& section, const std::string& key,
              const profile::Document& file) {
  int16_t& entry = At(table, code);
  const std::string text = mdlCommon::GetPrivateProfileString(section, key, vb::CStr(long{entry}), file);
  entry = vb::CInt(text);
}

// The legacy sequential formats, after the header and the format number: the fields of each
// format in order. kText is a label whose content is not used, kLong a 32-bit number that is
// not used, any other entry the code whose value the field holds.
constexpr int kText = -1;
constexpr int kLong = -2;
constexpr int kFormat4000[] = {kText, kLong, kLong, kText, 64, 65, 66, 67, kText, 192, 224, 228, 229,
                               kText, 76, 77, kText, 35, 39, 36, 37, kText, 32, 33, 34, 38, kText,
                               78, 79, kText, 200, 201, 202, 203, kText, 204, 205, 206, 207, kText};
constexpr int kFormat5000[] = {kText, 1, kText, 64, 65, kText, 10, 11, kText, 92, 93, 94, 95, kText,
                               77, 76, kText, 114, 115, 113, 112, kText, 146, 147, 144, 145, kText,
                               78, 79, kText, 200, 201, 202, 203, 204, 205, 206, 207, kText, 52, 48,
                               kText};

// Input # into a number: an empty or non-numeric field reads as 0; a number beyond the
// variable's range is an overflow.
int16_t InputInteger(files::InputFile& file) {
  const std::string field = file.Input();
  return vb::IsNumeric(field) ? vb::CInt(field) : int16_t{0};
}
int32_t InputLong(files::InputFile& file) {
  const std::string field = file.Input();
  return vb::IsNumeric(field) ? vb::CLng(field) : int32_t{0};
}

enum class LegacyResult { Read, WrongFormat, WrongEndMarker };

// Reads a legacy file into the table. Throws the run-time errors of the file (opening,
// reading past the end, overflow); `opened` tells the caller whether the open succeeded.
// The file's whole content is read when it is opened, so no handle stays open on any path.
LegacyResult ReadLegacyFile(const std::string& fileName, std::span<int16_t> table, bool& opened) {
  files::InputFile file(fileName);
  opened = true;
  file.Input();  // header
  const int16_t format = InputInteger(file);
  std::span<const int> fields;
  if (format == 4000) fields = kFormat4000;
  else if (format == 5000) fields = kFormat5000;
  else return LegacyResult::WrongFormat;
  for (int field : fields) {
    if (field == kText) file.Input();
    else if (field == kLong) InputLong(file);
    else At(table, field) = InputInteger(file);
  }
  const int16_t endMarker = InputInteger(file);
  return endMarker == -1 ? LegacyResult::Read : LegacyResult::WrongEndMarker;
}

}  // namespace

bool gblnKRVFileSave(const std::string& vstrFileName, std::span<const uint8_t> rbyteData,
                     bool vblnAddRecent) {
  return vb::guarded("SubMain.gblnKRVFileSave", [&] {
    if (TooLargeForParameterFile(vstrFileName)) {
      MessageBox(vb::LoadResString(kMsgNotCollect), forms::vbExclamation);
      return false;
    }
    const FileKind kind = KindOf(vstrFileName);
    const std::vector<int> codes = CodesOfKind(kind);
    ParameterWriter w(vstrFileName);

    const std::string firm = vb::CStr(long{gbyteFirmVersion});
    w.Put("Version", "FirmWare", firm);
    w.Put("Version", "FirmWareMax", firm);
    w.Put("Version", "FirmWareMin", firm);
    w.Put("Version", "AppMajor", vb::CStr(long{vb::App::Major()}));
    w.Put("Version", "AppMinor", vb::CStr(long{vb::App::Minor()}));
    w.Put("Version", "AppRevision", vb::CStr(long{vb::App::Revision()}));
    w.Put("Version", "CameraModel", vb::CStr(long{gbyteCameraModel}));
    w.Put("Version", "CameraType", vb::CStr(long{gbyteCameraType}));
    w.Put("Version", "SoftWareVrsion", "\"" + gstrGetVersionString() + "\"");
    w.Put("Version", "FileKind", KindText(kind));

    for (int code : codes) {
      const std::string value = vb::CStr(long{At(rbyteData, code)});
      if (kind == FileKind::DEV) {
        w.Put(DevSection(code), DevKey(code), value);
      } else {
        const clsDataInfo& info = InfoOf(code);
        w.Put(info.SectionName, info.KeyName, value);
      }
    }
    w.Put("Factory", "InitialSet", "False");

    w.Write();

    if (vblnAddRecent && !gblnAddRecentlyUsedFile(vstrFileName)) return false;
    return true;
  });
}

bool gblnKRVFileLoad(const std::string& vstrFileName, std::span<int16_t> rintData,
                     std::string& rstrKind, bool& rblnCancel) {
  return vb::guarded("SubMain.gblnKRVFileLoad", [&] {
    gblnInitialSet = false;
    if (TooLargeForParameterFile(vstrFileName)) {
      MessageBox(vb::LoadResString(kMsgNotCollect), forms::vbExclamation);
      return false;
    }
    const std::string& fileName = vstrFileName;
    const profile::Document file = profile::Document::Read(fileName);  // read once for every key
    auto read = [&](const char* section, const char* key, const char* def) {
      return mdlCommon::GetPrivateProfileString(section, key, def, file);
    };
    const long firmWare = vb::CLng(read("Version", "FirmWare", "-1"));
    const long firmWareMax = vb::CLng(read("Version", "FirmWareMax", "-1"));
    const long firmWareMin = vb::CLng(read("Version", "FirmWareMin", "-1"));
    const long appMajor = vb::CLng(read("Version", "AppMajor", "0"));
    const long appMinor = vb::CLng(read("Version", "AppMinor", "0"));
    const long appRevision = vb::CLng(read("Version", "AppRevision", "0"));
    const std::string fileKind = read("Version", "FileKind", "");
    const std::string forceWrite = read("Factory", "ForceWrite", "");
    gblnInitialSet = vb::CBool(read("Factory", "InitialSet", "False"));
    if (!forceWrite.empty()) gblnInitialSet = true;

    for (int16_t& entry : rintData) entry = -1;

    const long fw = gbyteFirmVersion;
    if (firmWare == -1) {
      bool opened = false;
      LegacyResult result;
      try {
        result = ReadLegacyFile(fileName, rintData, opened);
      } catch (const vb::Error& e) {
        if (!opened) {
          Err.Clear();
          MessageBox(e.Description() + vb::vbCrLf + vb::LoadResString(kMsgCanceled), forms::vbExclamation);
          return false;
        }
        if (e.Number() == vb::errInputPastEnd) {
          Err.Clear();
          MessageBox(vb::LoadResString(kMsgNotCollect) + vb::vbCrLf + vb::LoadResString(kMsgCanceled),
                     forms::vbExclamation);
          return false;
        }
        throw;
      }
      if (result != LegacyResult::Read) {
        MessageBox(vb::LoadResString(kMsgNotCollect), forms::vbExclamation);
        return false;
      }
      // Neither format raises the version question: a format 4000 file keeps FirmWare at -1,
      // and a format 5000 file is taken as made for the present firmware.
    } else {
      rstrKind = fileKind;
      const FileKind kind = KindOf(fileName);
      for (int code : CodesOfKind(kind)) {
        if (kind == FileKind::DEV) {
          ReadCode(rintData, code, DevSection(code), DevKey(code), file);
          continue;
        }
        const clsDataInfo& info = InfoOf(code);
        if (kind == FileKind::CFG) ReadCode(rintData, code, HexSection(code), Hex2(code), file);
        if (IsAperturePeak(info)) ReadCode(rintData, code, info.SectionName, "Peek", file);
        ReadCode(rintData, code, info.SectionName, info.KeyName, file);
      }
    }

    if (firmWare != -1 && firmWare != fw && (firmWareMin > fw || firmWareMax < fw)) {
      const std::string crlf = vb::vbCrLf;
      const std::string text =
          vb::LoadResString(kMsgDifferentVersion) + crlf + "[File Created]" + "     FirmWare:" +
          vb::CStr(firmWare) + "   SoftWare:" + vb::CStr(appMajor) + "." + vb::CStr(appMinor) +
          vb::CStr(appRevision) + crlf + "[Current Version]" + "     FirmWare:" + vb::CStr(fw) +
          "   SoftWare:" + vb::CStr(long{vb::App::Major()}) + "." + vb::CStr(long{vb::App::Minor()}) +
          vb::CStr(long{vb::App::Revision()}) + crlf;
      if (forms::MsgBox(text, forms::vbYesNo | forms::vbQuestion, gstrGetAppTitleString()) == forms::vbNo)
        rblnCancel = true;
    }
    return true;
  });
}

}  // namespace SubMain
