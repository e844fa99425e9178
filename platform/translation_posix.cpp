#include "platform/translation.h"

#include <libintl.h>
#include <locale.h>

namespace ravelin::platform {

void startTranslation(const char* domain, const std::string& localeDir) {
  setlocale(LC_MESSAGES, "");
  bindtextdomain(domain, localeDir.c_str());
  // The catalogues are UTF-8 and so is everything the program shows, whatever the locale.
  bind_textdomain_codeset(domain, "UTF-8");
}

const char* translate(const char* domain, const char* text) {
  // gettext answers the empty text with the catalogue's header; an empty text stays empty.
  return *text ? dgettext(domain, text) : text;
}

const char* catalogueHeader(const char* domain) {
  return dgettext(domain, "");
}

const char* translatePlural(const char* domain, const char* singular, const char* plural,
                            unsigned long count) {
  return dngettext(domain, singular, plural, count);
}

}  // namespace ravelin::platform
