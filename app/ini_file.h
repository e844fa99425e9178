#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text_encoding.h"

namespace ravelin::app {

// A Windows-style INI file held in memory.
//
// - "[section]" lines open a section, "key=value" lines inside it hold the values; section
//   and key names are compared without regard to (ASCII) letter case, and blanks and tabs
//   around names and values are not part of them.
// - Lines starting with ";" or "#" are comments. Comments, blank lines, lines that are
//   neither header nor key, and unknown keys are kept as they are, in their order.
// - The file is read by its byte-order mark (UTF-8, UTF-16 LE or BE) and written back in
//   the encoding it was read in; in memory marked text is UTF-8. Bytes without a mark that
//   are not UTF-8 are kept as they are (the hand-over record holds scrambled bytes), or, for
//   ravelin.ini (settingsFile), read in the system's code page as Windows editors save them
//   and written back as UTF-8.
// - CR LF and LF line ends are both read. Lines that are not changed keep their own line
//   end; new lines take the style of the file's first line end (LF for a file without
//   one on Linux, CR LF on Windows).
// - A section named twice counts as one: lookups go through its parts in file order and
//   the first key found wins; a new key goes to the end of the first part.
// - Writing a key replaces its line, a new key is appended at the end of its section, a
//   new section at the end of the file.
//
// The file on disk is read once by the constructor and written by updateFile(); nothing
// is kept open in between. Parsing is one linear pass over the bytes and accepts any
// input: whatever is not understood is kept verbatim and never read as a key.

class IniFile {
 public:
  // An empty file that is not tied to a path (updateFile() then throws).
  IniFile() = default;
  // Reads the file at path. A file that does not exist gives an empty INI file that
  // updateFile() will create. A file that exists but cannot be read also reads as empty,
  // so that settings fall back to their defaults; updateFile() then refuses to replace
  // it (see there).
  explicit IniFile(std::string path);
  // ravelin.ini at path, read as above with unmarked text in the system's code page.
  static IniFile settingsFile(std::string path);

  // Parses text as the contents of an INI file.
  static IniFile fromText(std::string_view text);
  // The contents of the INI file as they would be written.
  std::string text() const;

  const std::string& fileName() const { return path_; }
  // Whether the constructor found the file and read it.
  bool loaded() const { return loaded_; }

  // Writes the contents to the file through a temporary file that replaces it only when
  // everything was written; the file is left readable by its owner alone (0600). Throws
  // platform::FileError when the file cannot be written, when no path is set, or when the file
  // existed but could not be read at construction (writing would lose its contents).
  void updateFile() const;

  bool sectionExists(std::string_view section) const;
  bool valueExists(std::string_view section, std::string_view key) const;
  // The key names of a section in file order, each name once.
  std::vector<std::string> readSection(std::string_view section) const;
  // The keys of a section with their values, in file order, each name once (the first
  // line of a key named twice).
  std::vector<std::pair<std::string, std::string>> readSectionValues(
      std::string_view section) const;
  // The section names in file order, each name once.
  std::vector<std::string> readSections() const;

  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // The value parsed with parseInt32; the default when the key is missing or its value is
  // not an integer.
  std::int32_t readInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  // Any integer other than 0 is true; the default when missing or not an integer.
  bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Sets key in section to value. Blanks and tabs at either end of the value cannot be
  // kept by the format and are dropped; a line break inside it would split the line and
  // is written as a blank. Throws std::invalid_argument for names the format cannot hold:
  // a section name with "]", a line break or blanks at either end; a key name that is
  // empty, holds "=" or a line break, has blanks at either end or starts with "[", ";"
  // or "#".
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, std::int32_t value);
  // Written as "1" or "0".
  void writeBool(std::string_view section, std::string_view key, bool value);

  // Removes the section: its header, its keys and every other line up to the next
  // section header, in every part of it.
  void eraseSection(std::string_view section);
  // Removes one key line; nothing happens when the key is missing.
  void deleteKey(std::string_view section, std::string_view key);

 private:
  enum class Kind { Other, Section, Key };
  struct Line {
    Kind kind = Kind::Other;
    std::string text;   // the line as in the file, without its line end
    std::string eol;    // "\r\n", "\n" or "" (last line without a line end)
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed
  };

  void read(bool unmarkedFromCodePage);
  void parse(std::string_view text);
  // Index of the line holding key in section, or npos.
  size_t findKey(std::string_view section, std::string_view key) const;
  std::string newLineEnd() const;
  void insertLine(size_t pos, Line line);

  std::string path_;
  bool loaded_ = false;
  bool unreadable_ = false;  // the file exists but could not be read
  platform::TextEncoding encoding_ = platform::TextEncoding::Utf8;  // of the file read
  std::string bom_;       // a UTF-8 byte order mark in front of the text parsed
  std::string eolStyle_;  // line end of the parsed text's first line, empty when none
  std::vector<Line> lines_;
};

}  // namespace ravelin::app
