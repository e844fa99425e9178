// Arbitrary bytes decode (UTF-16 always to UTF-8) and read back the same once written back.
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
