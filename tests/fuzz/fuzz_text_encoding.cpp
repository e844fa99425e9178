// Decodes arbitrary bytes as a text file: marked text comes out as UTF-8 (UTF-16 always) that
// is written back and read again unchanged.
#include <cstdint>

#include "platform/text_encoding.h"

using namespace ravelin::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const DecodedText text = decodeByMark({reinterpret_cast<const char*>(data), size});
  const DecodedText again = decodeByMark(encodeWithMark(text.text, text.encoding));
  const bool utf16 =
      text.encoding == TextEncoding::Utf16Le || text.encoding == TextEncoding::Utf16Be;
  if ((utf16 && !isValidUtf8(text.text)) ||
      (text.encoding != TextEncoding::Ansi && again.text != text.text))
    __builtin_trap();
  return 0;
}
