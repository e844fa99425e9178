#pragma once
// A text of the windows in the user's language, as Qt takes it (the catalogue is UTF-8).
#include <QString>

#include "runtime/translate.h"

namespace ravelin::qt {

inline QString uiText(const char* text) {
  return QString::fromUtf8(_(text));
}
inline QString uiText(const std::string& text) {
  return uiText(text.c_str());
}

}  // namespace ravelin::qt
