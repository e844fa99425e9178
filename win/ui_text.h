#pragma once
// The texts of the windows: the catalogue's translation, as the system's functions take it.
#include <string>

#include "platform/wide_text.h"
#include "runtime/translate.h"

namespace ravelin::win {

// The translation of an English text (a key of the catalogue) in UTF-16.
inline std::wstring uiText(const char* untranslated) {
  return platform::wideFromUtf8(_(untranslated));
}

}  // namespace ravelin::win
