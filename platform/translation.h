#pragma once
// The catalogues of the user's language: gettext's on POSIX; the Windows build has none and
// shows the texts as they are written, in English.
#include <string>

namespace ravelin::platform {

// Takes the user's choice of language for messages from the environment (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) and looks texts up in DOMAIN.mo below localeDir. Only the messages'
// category is taken: numbers and dates in files and logs keep their one form.
void startTranslation(const char* domain, const std::string& localeDir);

// The text in the user's language (UTF-8), or the text itself when the catalogue lacks it.
const char* translate(const char* domain, const char* text);
// The header of the catalogue in use ("Language: it\n..."); empty when there is none.
const char* catalogueHeader(const char* domain);
// The form of singular/plural that fits count, likewise.
const char* translatePlural(const char* domain, const char* singular, const char* plural,
                            unsigned long count);

}  // namespace ravelin::platform
