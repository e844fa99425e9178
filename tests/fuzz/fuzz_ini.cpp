// Parses arbitrary bytes as an INI file, writes and erases keys named by the input, and
// checks that the text written parses back to the same values.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/ini_file.h"
#include "app/version_check.h"
#include "platform/text.h"

using namespace ravelin;
using namespace ravelin::app;

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

// Every key of every section reads the same from both files.
void checkSameValues(const IniFile& a, const IniFile& b) {
  check(a.readSections() == b.readSections());
  for (const auto& section : a.readSections()) {
    check(a.readSectionValues(section) == b.readSectionValues(section));
    for (const auto& key : a.readSection(section)) {
      check(a.readString(section, key, "") == b.readString(section, key, ""));
      check(a.readInteger(section, key, 7) == b.readInteger(section, key, 7));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The text itself, unchanged, round-trips byte for byte.
  IniFile ini = IniFile::fromText(bytes);
  check(ini.text() == bytes);
  // The same bytes as an update.ini: a site is only ever a web address.
  const UpdateInfo info = parseUpdateInfo(bytes);
  check(info.website.empty() || platform::lowerAscii(info.website).starts_with("http"));

  // The last bytes of the input drive a few edits: names and values cut from the input.
  const size_t cut = size / 2;
  const std::string_view text = bytes.substr(cut);
  for (size_t i = 0; i + 3 <= text.size() && i < 48; i += 3) {
    const auto op = static_cast<unsigned char>(text[i]) % 5;
    const size_t a = static_cast<unsigned char>(text[i + 1]) % 8;
    const size_t b = static_cast<unsigned char>(text[i + 2]) % 16;
    const std::string section = "s" + std::to_string(a % 4);
    const std::string key = "k" + std::to_string(b % 6);
    const std::string value(text.substr(i, b));
    try {
      switch (op) {
        case 0:
          ini.writeString(section, key, value);
          break;
        case 1:
          ini.writeInteger(section, key, static_cast<std::int32_t>(a * 1000 - b));
          check(ini.readInteger(section, key, 0) == static_cast<std::int32_t>(a * 1000 - b));
          break;
        case 2:
          ini.writeBool(section, key, b & 1);
          check(ini.readBool(section, key, !(b & 1)) == static_cast<bool>(b & 1));
          break;
        case 3:
          ini.eraseSection(section);
          check(!ini.sectionExists(section));
          break;
        case 4:
          // Names straight from the input: refused or written, never a broken file.
          ini.writeString(std::string(text.substr(i, a)), std::string(text.substr(i, b)), value);
          break;
      }
    } catch (const std::invalid_argument&) {
    }
  }

  // What is written parses to the same values, and writing it again changes nothing.
  const std::string written = ini.text();
  const IniFile back = IniFile::fromText(written);
  check(back.text() == written);
  checkSameValues(ini, back);
  return 0;
}
