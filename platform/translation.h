#pragma once
// The catalogues of the user's language: gettext's on POSIX; on Windows our own reader of
// the same .mo files (mo_catalogue.h), with the system's user interface language as the
// choice when the environment makes none.
#include <string>

namespace ravelin::platform {

// Takes the user's choice of language for messages from the environment (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) and looks texts up in LANG/LC_MESSAGES/DOMAIN.mo below localeDir.
// Only the messages' category is taken: numbers and dates in files and logs keep their one
// form.
void startTranslation(const char* domain, const std::string& localeDir);

// The text in the user's language (UTF-8), or the text itself when the catalogue lacks it.
const char* translate(const char* domain, const char* text);
// The header of the catalogue in use ("Language: it\n..."); empty when there is none.
const char* catalogueHeader(const char* domain);
// The form of singular/plural that fits count, likewise.
const char* translatePlural(const char* domain, const char* singular, const char* plural,
                            unsigned long count);

}  // namespace ravelin::platform
