#pragma once
// Which catalogues a user wants, by the rules that gettext applies to the environment, for
// a system whose own setting of the language comes second.
#include <string>
#include <vector>

namespace ravelin::platform {

// The variables that choose the language of messages; empty when unset.
struct LanguageVariables {
  std::string language;  // LANGUAGE: "de:fr", a list in order of preference
  std::string lcAll;     // LC_ALL, LC_MESSAGES, LANG: "de_DE.UTF-8", the first set wins
  std::string lcMessages;
  std::string lang;
};

// The names of the catalogue folders to try, most wanted first; empty for English. The
// locale of LC_ALL, LC_MESSAGES or LANG (the first set) "C" or "POSIX" means English even
// when LANGUAGE is set; otherwise LANGUAGE's list, else that locale, else systemLanguages
// (the system's user interface languages, "de-DE" or "de_DE", up to the first English one).
// As with gettext, a LANGUAGE entry without a catalogue passes on to the next. Each name is tried
// in full and shortened: "de_DE.UTF-8@euro" gives de_DE@euro, de_DE, de@euro, de.
std::vector<std::string> catalogueLanguages(const LanguageVariables& variables,
                                            const std::vector<std::string>& systemLanguages);

}  // namespace ravelin::platform
