#include "platform/message_languages.h"

#include <algorithm>

namespace ravelin::platform {

namespace {

void addOnce(std::vector<std::string>& names, const std::string& name) {
  if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
    names.push_back(name);
}

// language[_TERRITORY][.codeset][@modifier], with Windows' "de-DE" taken as "de_DE"; the
// codeset does not name a folder (the catalogues are UTF-8).
void addShortenings(std::vector<std::string>& names, std::string locale) {
  std::replace(locale.begin(), locale.end(), '-', '_');
  // Names are short; anything with a path in it is not a language.
  if (locale.size() > 64 || locale.find_first_of("/\\:") != std::string::npos) return;
  const std::size_t at = locale.find('@');
  const std::string modifier = at == std::string::npos ? "" : locale.substr(at);
  locale = locale.substr(0, std::min(at, locale.find('.')));
  const std::size_t underscore = locale.find('_');
  const std::string language = locale.substr(0, underscore);
  if (!modifier.empty()) addOnce(names, locale + modifier);
  addOnce(names, locale);
  if (!modifier.empty()) addOnce(names, language + modifier);
  addOnce(names, language);
}

std::vector<std::string> split(const std::string& list, char separator) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(separator, start);
    if (end == std::string::npos) end = list.size();
    if (end > start) items.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace

std::vector<std::string> catalogueLanguages(const LanguageVariables& variables,
                                            const std::vector<std::string>& systemLanguages) {
  const std::string& locale = !variables.lcAll.empty()        ? variables.lcAll
                              : !variables.lcMessages.empty() ? variables.lcMessages
                                                              : variables.lang;
  if (locale == "C" || locale == "POSIX") return {};
  std::vector<std::string> names;
  if (!variables.language.empty() || !locale.empty()) {
    const std::vector<std::string> wanted =
        variables.language.empty() ? std::vector{locale} : split(variables.language, ':');
    for (const std::string& name : wanted) addShortenings(names, name);
    return names;
  }
  for (const std::string& name : systemLanguages) {
    // English is written in the sources: a user who puts it before others wants it.
    if (name == "en" || name.starts_with("en-") || name.starts_with("en_")) break;
    addShortenings(names, name);
  }
  return names;
}

}  // namespace ravelin::platform
