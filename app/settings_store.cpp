#include "app/settings_store.h"

#include <algorithm>
#include <unordered_map>

namespace {
constexpr const char* kGeneral = "general";
constexpr const char* kURLs = "URLs";
constexpr const char* kUpdate = "update";
constexpr const char* kVerify = "verify";
constexpr const char* kScript = "script";
constexpr const char* kSupport = "support";
constexpr const char* kAd = "ad";
}  // namespace

bool HasUrlMarker(std::string_view entry) {
  for (const auto marker : kUrlMarkers)
    if (entry.find(marker) != std::string_view::npos) return true;
  return false;
}

std::vector<std::string> ReadUrlList(const IniFile& ini) {
  std::unordered_map<std::string, std::string> byKey;
  for (auto& [key, value] : ini.ReadSectionValues(kURLs))
    byKey.emplace(lowerName(key), std::move(value));
  std::vector<std::string> urls;
  for (size_t n = 1;; ++n) {
    const auto it = byKey.find("url" + std::to_string(n));
    if (it == byKey.end()) break;
    if (HasUrlMarker(it->second)) urls.push_back(std::move(it->second));
  }
  return urls;
}

void ClampSettings(TSettings& s) {
  s.UpdThreadCount = std::clamp(s.UpdThreadCount, kUpdThreadCountMin, kUpdThreadCountMax);
  s.VrfThreadCount = std::clamp(s.VrfThreadCount, kVrfThreadCountMin, kVrfThreadCountMax);
  s.UpdTimeout = std::clamp(s.UpdTimeout, kTimeoutMin, kTimeoutMax);
  s.VrfTimeout = std::clamp(s.VrfTimeout, kTimeoutMin, kTimeoutMax);
  // The pauses are waited for with an unsigned millisecond count: a negative value would
  // turn into a wait of weeks.
  s.EDWaittime = std::max(s.EDWaittime, 0);
  s.waittime1 = std::max(s.waittime1, 0);
  s.waittime2 = std::max(s.waittime2, 0);
}

TSettings SettingsFromIni(const IniFile& ini) {
  TSettings s;
  s.EDPath = ini.ReadString(kGeneral, "EDPath", s.EDPath);
  s.EDFilename = ini.ReadString(kGeneral, "EDFilename", s.EDFilename);
  s.EDGUI = ini.ReadBool(kGeneral, "EDGUI", s.EDGUI);
  s.EDWaittime = ini.ReadInteger(kGeneral, "EDWaittime", s.EDWaittime);
  s.LOG = ini.ReadBool(kGeneral, "LOG", s.LOG);
  s.NegCompare = ini.ReadBool(kGeneral, "NegCompare", s.NegCompare);
  s.ProxyAddr = ini.ReadString(kGeneral, "ProxyAddr", s.ProxyAddr);
  s.ProxyPort = ini.ReadInteger(kGeneral, "ProxyPort", s.ProxyPort);
  s.NoRegCheck = ini.ReadBool(kGeneral, "NoRegCheck", s.NoRegCheck);
  s.MetAddressTags = ini.ReadBool(kGeneral, "MetAddressTags", s.MetAddressTags);
  s.URLs = ReadUrlList(ini);
  s.UpdThreadCount = ini.ReadInteger(kUpdate, "UpdThreadCount", s.UpdThreadCount);
  s.UpdTimeout = ini.ReadInteger(kUpdate, "UpdTimeout", s.UpdTimeout);
  s.VrfThreadCount = ini.ReadInteger(kVerify, "VrfThreadCount", s.VrfThreadCount);
  s.VrfTimeout = ini.ReadInteger(kVerify, "VrfTimeout", s.VrfTimeout);
  s.VrfWarning = ini.ReadBool(kVerify, "VrfWarning", s.VrfWarning);
  s.ScrSyntaxCheck = ini.ReadBool(kScript, "ScrSyntaxCheck", s.ScrSyntaxCheck);
  s.ScrExecOrEdit = ini.ReadBool(kScript, "ScrExecOrEdit", s.ScrExecOrEdit);
  s.SupportMe = ini.ReadBool(kSupport, "SupportMe", s.SupportMe);
  s.waittime1 = ini.ReadInteger(kAd, "waittime1", s.waittime1);
  s.waittime2 = ini.ReadInteger(kAd, "waittime2", s.waittime2);
  ClampSettings(s);
  return s;
}

TSettings LoadSettings(const std::string& iniPath) {
  return SettingsFromIni(IniFile(iniPath));
}

void WriteSettingsToIni(const TSettings& s, IniFile& ini) {
  ini.WriteString(kGeneral, "EDPath", s.EDPath);
  ini.WriteString(kGeneral, "EDFilename", s.EDFilename);
  ini.WriteBool(kGeneral, "EDGUI", s.EDGUI);
  ini.WriteBool(kGeneral, "LOG", s.LOG);
  ini.WriteString(kGeneral, "ProxyAddr", s.ProxyAddr);
  ini.WriteInteger(kGeneral, "ProxyPort", s.ProxyPort);
  ini.WriteBool(kGeneral, "MetAddressTags", s.MetAddressTags);
  ini.WriteInteger(kUpdate, "UpdThreadCount", s.UpdThreadCount);
  ini.WriteInteger(kUpdate, "UpdTimeout", s.UpdTimeout);
  ini.WriteInteger(kVerify, "VrfThreadCount", s.VrfThreadCount);
  ini.WriteInteger(kVerify, "VrfTimeout", s.VrfTimeout);
  ini.WriteBool(kVerify, "VrfWarning", s.VrfWarning);
  ini.WriteBool(kScript, "ScrSyntaxCheck", s.ScrSyntaxCheck);
  ini.WriteBool(kScript, "ScrExecOrEdit", s.ScrExecOrEdit);
  ini.WriteBool(kSupport, "SupportMe", s.SupportMe);
  ini.EraseSection(kURLs);
  for (size_t i = 0; i < s.URLs.size(); ++i)
    ini.WriteString(kURLs, "URL" + std::to_string(i + 1), s.URLs[i]);
}

void SaveSettings(const TSettings& settings, const std::string& iniPath) {
  IniFile ini(iniPath);
  WriteSettingsToIni(settings, ini);
  ini.UpdateFile();
}

void SaveVrfWarning(bool vrfWarning, const std::string& iniPath) {
  IniFile ini(iniPath);
  ini.WriteBool(kVerify, "VrfWarning", vrfWarning);
  ini.UpdateFile();
}
