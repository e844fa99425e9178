#include <windows.h>

#include <cstdlib>
#include <optional>

#include "platform/message_languages.h"
#include "platform/mo_catalogue.h"
#include "platform/translation.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

// The one catalogue of the program, read before any thread starts and kept to the end:
// translate() hands out pointers into it.
std::optional<MoCatalogue>& catalogue() {
  static std::optional<MoCatalogue> loaded;
  return loaded;
}

std::string variable(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? utf8FromWide(value) : std::string();
}

// The user's interface languages in order of preference ("de-DE", "fr-FR", ...).
std::vector<std::string> userInterfaceLanguages() {
  std::vector<std::string> languages;
  ULONG count = 0, size = 0;
  if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0) {
    // A list of NUL-ended names, ended by an empty one.
    std::wstring buffer(size + 1, L'\0');
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, buffer.data(), &size))
      for (const wchar_t* p = buffer.c_str(); *p; p += wcslen(p) + 1)
        languages.push_back(utf8FromWide(p));
  }
  if (languages.empty()) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                         LOCALE_NAME_MAX_LENGTH, 0) > 0)
      languages.push_back(utf8FromWide(name));
  }
  return languages;
}

}  // namespace

void startTranslation(const char* domain, const std::string& localeDir) {
  const LanguageVariables variables{variable(L"LANGUAGE"), variable(L"LC_ALL"),
                                    variable(L"LC_MESSAGES"), variable(L"LANG")};
  for (const std::string& language : catalogueLanguages(variables, userInterfaceLanguages())) {
    catalogue() =
        MoCatalogue::load(localeDir + "\\" + language + "\\LC_MESSAGES\\" + domain + ".mo");
    if (catalogue()) return;
  }
}

const char* translate(const char*, const char* text) {
  const char* found = catalogue() && *text ? catalogue()->find(text) : nullptr;
  return found ? found : text;
}

const char* catalogueHeader(const char*) {
  return catalogue() ? catalogue()->header().c_str() : "";
}

const char* translatePlural(const char*, const char* singular, const char* plural,
                            unsigned long count) {
  const char* found = catalogue() ? catalogue()->findPlural(singular, count) : nullptr;
  return found ? found : count == 1 ? singular : plural;
}

}  // namespace ravelin::platform
