#include "platform/translation.h"

namespace ravelin::platform {

// MinGW's build has no libintl: English, as written in the sources.
void startTranslation(const char*, const std::string&) {}

const char* translate(const char*, const char* text) {
  return text;
}

const char* catalogueHeader(const char*) {
  return "";
}

const char* translatePlural(const char*, const char* singular, const char* plural,
                            unsigned long count) {
  return count == 1 ? singular : plural;
}

}  // namespace ravelin::platform
