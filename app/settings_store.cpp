#include "app/settings_store.h"

#include <algorithm>
#include <unordered_map>

#include "platform/md5.h"
#include "platform/text.h"

namespace ravelin::app {

namespace {
constexpr const char* kGeneral = "general";
constexpr const char* kURLs = "URLs";
constexpr const char* kUpdate = "update";
constexpr const char* kVerify = "verify";
constexpr const char* kScript = "script";
constexpr const char* kSupport = "support";
constexpr const char* kAd = "ad";
}  // namespace

bool hasUrlMarker(std::string_view entry) {
  for (const auto marker : kUrlMarkers)
    if (entry.find(marker) != std::string_view::npos) return true;
  return false;
}

runtime::UrlSource parseUrlSource(std::string_view entry) {
  using runtime::SourceKind;
  constexpr SourceKind kinds[] = {SourceKind::HTML, SourceKind::MET, SourceKind::BOT,
                                  SourceKind::DNS};
  for (std::size_t i = 0; i < std::size(kinds); ++i)
    if (entry.starts_with(kUrlMarkers[i])) return {kinds[i], std::string(entry.substr(4))};
  return {SourceKind::Other, std::string(entry)};
}

std::string urlSourceText(const runtime::UrlSource& source) {
  switch (source.kind) {
    case runtime::SourceKind::HTML:
      return std::string(kUrlMarkers[0]) + source.location;
    case runtime::SourceKind::MET:
      return std::string(kUrlMarkers[1]) + source.location;
    case runtime::SourceKind::BOT:
      return std::string(kUrlMarkers[2]) + source.location;
    case runtime::SourceKind::DNS:
      return std::string(kUrlMarkers[3]) + source.location;
    case runtime::SourceKind::Other:
      break;
  }
  return source.location;
}

std::vector<runtime::UrlSource> readUrlList(const IniFile& ini) {
  std::unordered_map<std::string, std::string> byKey;
  for (auto& [key, value] : ini.readSectionValues(kURLs))
    byKey.emplace(platform::lowerAscii(key), std::move(value));
  std::vector<runtime::UrlSource> urls;
  for (size_t n = 1;; ++n) {
    const auto it = byKey.find("url" + std::to_string(n));
    if (it == byKey.end()) break;
    if (hasUrlMarker(it->second)) urls.push_back(parseUrlSource(it->second));
  }
  return urls;
}

void clampSettings(runtime::Settings& s) {
  s.UpdThreadCount = std::clamp(s.UpdThreadCount, kUpdThreadCountMin, kUpdThreadCountMax);
  s.VrfThreadCount = std::clamp(s.VrfThreadCount, kVrfThreadCountMin, kVrfThreadCountMax);
  s.VrfParallel = std::clamp(s.VrfParallel, kVrfParallelMin, kVrfParallelFileMax);
  s.VrfProxyParallel = std::clamp(s.VrfProxyParallel, kVrfParallelMin, kVrfParallelFileMax);
  s.UpdTimeout = std::clamp(s.UpdTimeout, kTimeoutMin, kTimeoutMax);
  s.VrfTimeout = std::clamp(s.VrfTimeout, kTimeoutMin, kTimeoutMax);
  s.MaxListMB = std::clamp(s.MaxListMB, runtime::kMaxListMBMin, runtime::kMaxListMBMax);
  // The pauses are waited for with an unsigned millisecond count: a negative value would
  // turn into a wait of weeks.
  s.EDWaittime = std::max(s.EDWaittime, 0);
  s.LogKeep = std::max(s.LogKeep, 0);
  s.waittime1 = std::max(s.waittime1, 0);
  s.waittime2 = std::max(s.waittime2, 0);
}

runtime::Settings settingsFromIni(const IniFile& ini) {
  runtime::Settings s;
  s.EDPath = ini.readString(kGeneral, "EDPath", s.EDPath);
  s.EDFilename = ini.readString(kGeneral, "EDFilename", s.EDFilename);
  s.EDGUI = ini.readBool(kGeneral, "EDGUI", s.EDGUI);
  s.EDWaittime = ini.readInteger(kGeneral, "EDWaittime", s.EDWaittime);
  s.LOG = ini.readBool(kGeneral, "LOG", s.LOG);
  s.LogKeep = ini.readInteger(kGeneral, "LogKeep", s.LogKeep);
  s.NegCompare = ini.readBool(kGeneral, "NegCompare", s.NegCompare);
  s.ProxyAddr = ini.readString(kGeneral, "ProxyAddr", s.ProxyAddr);
  s.ProxyPort = ini.readInteger(kGeneral, "ProxyPort", s.ProxyPort);
  s.NoRegCheck = ini.readBool(kGeneral, "NoRegCheck", s.NoRegCheck);
  s.MetAddressTags = ini.readBool(kGeneral, "MetAddressTags", s.MetAddressTags);
  s.ECHost = ini.readString(kGeneral, "ECHost", s.ECHost);
  s.ECPort = ini.readInteger(kGeneral, "ECPort", s.ECPort);
  s.ECPassword = ini.readString(kGeneral, "ECPassword", s.ECPassword);
  s.IPFilterFile = ini.readString(kGeneral, "IPFilterFile", s.IPFilterFile);
  s.UpdateInfoURL = ini.readString(kGeneral, "UpdateInfoURL", s.UpdateInfoURL);
  s.URLs = readUrlList(ini);
  s.UpdThreadCount = ini.readInteger(kUpdate, "UpdThreadCount", s.UpdThreadCount);
  s.UpdTimeout = ini.readInteger(kUpdate, "UpdTimeout", s.UpdTimeout);
  s.MaxListMB = ini.readInteger(kUpdate, "MaxListMB", s.MaxListMB);
  s.VrfThreadCount = ini.readInteger(kVerify, "VrfThreadCount", s.VrfThreadCount);
  s.VrfParallel = ini.readInteger(kVerify, "VrfParallel", s.VrfParallel);
  s.VrfProxyParallel = ini.readInteger(kVerify, "VrfProxyParallel", s.VrfProxyParallel);
  s.VrfTimeout = ini.readInteger(kVerify, "VrfTimeout", s.VrfTimeout);
  s.VrfWarning = ini.readBool(kVerify, "VrfWarning", s.VrfWarning);
  s.VrfUdpStatus = ini.readBool(kVerify, "VrfUdpStatus", s.VrfUdpStatus);
  s.ScrSyntaxCheck = ini.readBool(kScript, "ScrSyntaxCheck", s.ScrSyntaxCheck);
  s.ScrExecOrEdit = ini.readBool(kScript, "ScrExecOrEdit", s.ScrExecOrEdit);
  s.SupportMe = ini.readBool(kSupport, "SupportMe", s.SupportMe);
  s.waittime1 = ini.readInteger(kAd, "waittime1", s.waittime1);
  s.waittime2 = ini.readInteger(kAd, "waittime2", s.waittime2);
  clampSettings(s);
  return s;
}

runtime::Settings loadSettings(const std::string& iniPath) {
  return settingsFromIni(IniFile::settingsFile(iniPath));
}

void writeSettingsToIni(const runtime::Settings& s, IniFile& ini) {
  ini.writeString(kGeneral, "EDPath", s.EDPath);
  ini.writeString(kGeneral, "EDFilename", s.EDFilename);
  ini.writeBool(kGeneral, "EDGUI", s.EDGUI);
  ini.writeBool(kGeneral, "LOG", s.LOG);
  ini.writeInteger(kGeneral, "LogKeep", s.LogKeep);
  ini.writeString(kGeneral, "ProxyAddr", s.ProxyAddr);
  ini.writeInteger(kGeneral, "ProxyPort", s.ProxyPort);
  ini.writeBool(kGeneral, "MetAddressTags", s.MetAddressTags);
  ini.writeString(kGeneral, "ECHost", s.ECHost);
  ini.writeInteger(kGeneral, "ECPort", s.ECPort);
  ini.writeString(kGeneral, "ECPassword", s.ECPassword);
  ini.writeString(kGeneral, "IPFilterFile", s.IPFilterFile);
  ini.writeString(kGeneral, "UpdateInfoURL", s.UpdateInfoURL);
  ini.writeInteger(kUpdate, "UpdThreadCount", s.UpdThreadCount);
  ini.writeInteger(kUpdate, "UpdTimeout", s.UpdTimeout);
  ini.writeInteger(kUpdate, "MaxListMB", s.MaxListMB);
  ini.writeInteger(kVerify, "VrfThreadCount", s.VrfThreadCount);
  ini.writeInteger(kVerify, "VrfParallel", s.VrfParallel);
  ini.writeInteger(kVerify, "VrfProxyParallel", s.VrfProxyParallel);
  ini.writeInteger(kVerify, "VrfTimeout", s.VrfTimeout);
  ini.writeBool(kVerify, "VrfWarning", s.VrfWarning);
  ini.writeBool(kVerify, "VrfUdpStatus", s.VrfUdpStatus);
  ini.writeBool(kScript, "ScrSyntaxCheck", s.ScrSyntaxCheck);
  ini.writeBool(kScript, "ScrExecOrEdit", s.ScrExecOrEdit);
  ini.writeBool(kSupport, "SupportMe", s.SupportMe);
  ini.eraseSection(kURLs);
  for (size_t i = 0; i < s.URLs.size(); ++i)
    ini.writeString(kURLs, "URL" + std::to_string(i + 1), urlSourceText(s.URLs[i]));
}

std::string ecPasswordDigest(std::string_view password) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char byte : platform::md5(password)) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return hex;
}

void storeSettings(const runtime::Settings& settings, const std::string& iniPath) {
  IniFile ini = IniFile::settingsFile(iniPath);
  writeSettingsToIni(settings, ini);
  ini.updateFile();
}

void storeVrfWarning(bool vrfWarning, const std::string& iniPath) {
  IniFile ini = IniFile::settingsFile(iniPath);
  ini.writeBool(kVerify, "VrfWarning", vrfWarning);
  ini.updateFile();
}

}  // namespace ravelin::app
