#include <shlobj.h>
#include <windows.h>

#include <stdexcept>

#include "platform/error_text.h"
#include "platform/registry.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

std::optional<std::uint32_t> currentUserDword(const std::string& key,
                                              const std::string& valueName) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, wideFromUtf8(key).c_str(), wideFromUtf8(valueName).c_str(),
                   RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

std::optional<std::string> currentUserString(const std::string& key, const std::string& valueName) {
  const std::wstring wideKey = wideFromUtf8(key), wideName = wideFromUtf8(valueName);
  // Asked for its size first; a value that grows in between is read on the next round.
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD size = 0;
    constexpr DWORD kText = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    if (RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(), kText, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
      return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(), kText,
                                        nullptr, text.data(), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return utf8FromWide(text);
  }
  return std::nullopt;
}

void setCurrentUserString(const std::string& key, const std::string& valueName,
                          const std::string& value) {
  const std::wstring text = wideFromUtf8(value);
  const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, wideFromUtf8(key).c_str(),
                                         wideFromUtf8(valueName).c_str(), REG_SZ, text.c_str(),
                                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  if (status != ERROR_SUCCESS)
    throw std::runtime_error("Cannot write HKEY_CURRENT_USER\\" + key + ": " +
                             errorText(static_cast<int>(status)));
}

void deleteCurrentUserKey(const std::string& key) {
  // An empty name would take every key of the user with it.
  if (key.empty()) return;
  RegDeleteTreeW(HKEY_CURRENT_USER, wideFromUtf8(key).c_str());
}

void announceAssociationChange() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace ravelin::platform
