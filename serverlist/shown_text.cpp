#include "serverlist/shown_text.h"

#include "platform/text_encoding.h"

namespace ravelin::serverlist {

std::string shownText(std::string_view bytes) {
  if (platform::isValidUtf8(bytes)) return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text.push_back(c);
    } else {
      text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return text;
}

}  // namespace ravelin::serverlist
