// Decodes arbitrary bytes as a text file and checks that every marked text comes out as
// UTF-8 that is written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/text_encoding.h"

using namespace ravelin::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DecodedText decoded = decodeByMark(bytes);
  if (decoded.encoding == TextEncoding::Ansi) return 0;
  if (decoded.encoding != TextEncoding::Utf8WithMark && !isValidUtf8(decoded.text))
    __builtin_trap();
  const DecodedText again = decodeByMark(encodeWithMark(decoded.text, decoded.encoding));
  if (again.encoding != decoded.encoding || again.text != decoded.text) __builtin_trap();
  return 0;
}
