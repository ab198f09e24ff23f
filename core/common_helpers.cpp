#include "core/common_helpers.h"

#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/fs/files.h"
#include "platform/profile/profile.h"
#include "platform/vb/vb.h"

namespace mdlCommon {

namespace {
// A value as the program reads it: into a buffer of 1024 characters, without NULs and blanks
// around it.
std::string ReadValue(const profile::Document& file, const std::string& section, const std::string& key,
                      const std::string& def) {
  std::string value = file.Get(section, key, def, 1024);
  value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
  return vb::Trim(value);
}
}  // namespace

std::string GetPrivateProfileString(const std::string& vstrSection, const std::string& vstrKey,
                                    const std::string& vstrDefault, const std::string& vstrFileName) {
  return vb::guarded("mdlCommon.GetPrivateProfileString", [&] {
    return ReadValue(profile::Document::Read(vstrFileName), vstrSection, vstrKey, vstrDefault);
  });
}

std::string GetPrivateProfileString(const std::string& vstrSection, const std::string& vstrKey,
                                    const std::string& vstrDefault, const profile::Document& vobjFile) {
  return vb::guarded("mdlCommon.GetPrivateProfileString", [&] {
    return ReadValue(vobjFile, vstrSection, vstrKey, vstrDefault);
  });
}

int32_t WritePrivateProfileString(const std::string& vstrSection, const std::string& vstrKey,
                                  const std::string& vstrValue, const std::string& vstrFileName) {
  return vb::guarded("mdlCommon.WritePrivateProfileString", [&] {
    return static_cast<int32_t>(profile::WritePrivateProfileString(vstrSection, vstrKey, vstrValue, vstrFileName));
  });
}

std::string GetNoneExtFileName(const std::string& vstrPath) {
  return vb::guarded("mdlCommon.GetNoneExtFileName", [&] {
    std::size_t dot = vstrPath.rfind('.');
    return dot == std::string::npos ? vstrPath : vstrPath.substr(0, dot);
  });
}

std::string GetExt(const std::string& vstrPath) {
  return vb::guarded("mdlCommon.GetExt", [&] {
    std::size_t dot = vstrPath.rfind('.');
    return dot == std::string::npos ? std::string() : vstrPath.substr(dot + 1);
  });
}

std::string GetOnlyFileName(const std::string& vstrPath) {
  return vb::guarded("mdlCommon.GetOnlyFileName", [&] {
    std::size_t slash = vstrPath.rfind('/');
    return slash == std::string::npos ? vstrPath : vstrPath.substr(slash + 1);
  });
}

bool gblnDeleteFile(const std::string& vstrPath) {
  return vb::guarded("mdlCommon.gblnDeleteFile", [&] {
    try {
      files::Kill(vstrPath);
    } catch (const vb::Error& e) {
      if (e.Number() != vb::errFileNotFound) throw;
    }
    return true;
  });
}

bool gblnChkFileExist(const std::string& vstrPath) {
  return vb::guarded("mdlCommon.gblnChkFileExist", [&] {
    try {
      files::InputFile file(vstrPath);
    } catch (const vb::Error& e) {
      if (e.Number() == vb::errFileNotFound || e.Number() == vb::errPathNotFound) return false;
      throw;
    }
    return true;
  });
}

bool gFileSearch(std::vector<std::string>& rcolFiles, const std::string& vstrFolder, const std::string& vstrPattern) {
  return vb::guarded("mdlCommon.gFileSearch", [&] {
    std::string folder = vstrFolder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    for (const std::string& name : files::ListFiles(folder)) {
      if (vstrPattern.empty() || files::Like(name, vstrPattern, true)) rcolFiles.push_back(folder + name);
    }
    return true;
  });
}

bool gblnTextBox_LockStyle(forms::TextBox& rtxtTextBox, int32_t vlngStyle) {
  return vb::guarded("mdlCommon.gblnTextBox_LockStyle", [&] {
    rtxtTextBox.WindowStyle(rtxtTextBox.WindowStyle() | static_cast<long>(vlngStyle));
    return true;
  });
}

}  // namespace mdlCommon
