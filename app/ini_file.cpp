#include "app/ini_file.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <unordered_set>

#include "platform/ansi_code_page.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace ravelin::app {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) { read(false); }

IniFile IniFile::settingsFile(std::string path) {
  IniFile ini;
  ini.path_ = std::move(path);
  ini.read(true);
  return ini;
}

void IniFile::read(bool unmarkedFromCodePage) {
  try {
    platform::DecodedText decoded = platform::decodeByMark(platform::readWholeFile(path_));
    if (unmarkedFromCodePage && decoded.encoding == platform::TextEncoding::Ansi)
      decoded.text = platform::utf8FromAnsiCodePage(decoded.text);
    parse(decoded.text);
    encoding_ = decoded.encoding;
    loaded_ = true;
  } catch (const platform::FileError&) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(platform::pathFromUtf8(path_), ec);
    // Anything but "there is no such file" means a file we could not read.
    unreadable_ = exists || ec;
  }
}

IniFile IniFile::fromText(std::string_view text) {
  IniFile ini;
  ini.parse(text);
  return ini;
}

void IniFile::parse(std::string_view text) {
  lines_.clear();
  bom_.clear();
  eolStyle_.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    bom_ = text.substr(0, 3);
    text.remove_prefix(3);
  }
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t nl = text.find('\n', pos);
    Line line;
    std::string_view raw;
    if (nl == std::string_view::npos) {
      raw = text.substr(pos);
      pos = text.size();
    } else {
      raw = text.substr(pos, nl - pos);
      pos = nl + 1;
      if (!raw.empty() && raw.back() == '\r') {
        raw.remove_suffix(1);
        line.eol = "\r\n";
      } else {
        line.eol = "\n";
      }
      if (eolStyle_.empty()) eolStyle_ = line.eol;
    }
    line.text = raw;
    const std::string_view t = trim(raw);
    if (t.empty() || t.front() == ';' || t.front() == '#') {
      line.kind = Kind::Other;
    } else if (t.front() == '[') {
      const size_t close = t.find(']');
      if (close != std::string_view::npos) {
        line.kind = Kind::Section;
        line.name = trim(t.substr(1, close - 1));
      }
    } else if (const size_t eq = t.find('='); eq != std::string_view::npos) {
      line.kind = Kind::Key;
      line.name = trim(t.substr(0, eq));
      line.value = trim(t.substr(eq + 1));
    }
    lines_.push_back(std::move(line));
  }
}

std::string IniFile::text() const {
  size_t size = bom_.size();
  for (const auto& l : lines_) size += l.text.size() + l.eol.size();
  std::string out;
  out.reserve(size);
  out += bom_;
  for (const auto& l : lines_) {
    out += l.text;
    out += l.eol;
  }
  return out;
}

void IniFile::updateFile() const {
  if (path_.empty()) throw platform::FileError("No file name given for the INI file");
  if (unreadable_)
    throw platform::FileError("Cannot write file \"" + path_ +
                              "\": it exists but could not be read");
  // Owner only: ravelin.ini holds the External Connection's password digest, which alone
  // logs in to the client.
  platform::writeFileAtomically(path_, platform::encodeWithMark(text(), encoding_),
                                platform::FileAccess::OwnerOnly);
}

size_t IniFile::findKey(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    if (l.kind == Kind::Section) {
      inSection = platform::equalsNoCase(l.name, section);
    } else if (inSection && l.kind == Kind::Key && platform::equalsNoCase(l.name, key)) {
      return i;
    }
  }
  return std::string::npos;
}

bool IniFile::sectionExists(std::string_view section) const {
  for (const auto& l : lines_)
    if (l.kind == Kind::Section && platform::equalsNoCase(l.name, section)) return true;
  return false;
}

bool IniFile::valueExists(std::string_view section, std::string_view key) const {
  return findKey(section, key) != std::string::npos;
}

std::vector<std::string> IniFile::readSection(std::string_view section) const {
  std::vector<std::string> keys;
  for (auto& kv : readSectionValues(section)) keys.push_back(std::move(kv.first));
  return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::readSectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> values;
  std::unordered_set<std::string> seen;
  bool inSection = false;
  for (const auto& l : lines_) {
    if (l.kind == Kind::Section) {
      inSection = platform::equalsNoCase(l.name, section);
    } else if (inSection && l.kind == Kind::Key &&
               seen.insert(platform::lowerAscii(l.name)).second) {
      values.emplace_back(l.name, l.value);
    }
  }
  return values;
}

std::vector<std::string> IniFile::readSections() const {
  std::vector<std::string> sections;
  std::unordered_set<std::string> seen;
  for (const auto& l : lines_)
    if (l.kind == Kind::Section && seen.insert(platform::lowerAscii(l.name)).second)
      sections.push_back(l.name);
  return sections;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const size_t i = findKey(section, key);
  return i == std::string::npos ? std::string(defaultValue) : lines_[i].value;
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  const size_t i = findKey(section, key);
  if (i == std::string::npos) return defaultValue;
  return platform::parseInt32(lines_[i].value).value_or(defaultValue);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const {
  const size_t i = findKey(section, key);
  if (i == std::string::npos) return defaultValue;
  const auto v = platform::parseInt32(lines_[i].value);
  return v ? *v != 0 : defaultValue;
}

std::string IniFile::newLineEnd() const {
  return eolStyle_.empty() ? platform::kLineEnd : eolStyle_;
}

void IniFile::insertLine(size_t pos, Line line) {
  // The line in front of the new one may be the file's last line without a line end.
  if (pos > 0 && lines_[pos - 1].eol.empty()) lines_[pos - 1].eol = newLineEnd();
  line.eol = newLineEnd();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(line));
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  if (section.find_first_of("]\r\n") != std::string_view::npos || trim(section) != section)
    throw std::invalid_argument("INI section name not allowed: " + std::string(section));
  const std::string_view trimmedKey = trim(key);
  if (trimmedKey.empty() || trimmedKey.size() != key.size() ||
      key.find_first_of("=\r\n") != std::string_view::npos || key.front() == '[' ||
      key.front() == ';' || key.front() == '#')
    throw std::invalid_argument("INI key name not allowed: " + std::string(key));

  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  v = std::string(trim(v));

  Line line;
  line.kind = Kind::Key;
  line.name = key;
  line.value = v;
  line.text = line.name + "=" + v;

  if (const size_t i = findKey(section, key); i != std::string::npos) {
    line.eol = lines_[i].eol;
    lines_[i] = std::move(line);
    return;
  }

  // Behind the last key of the section's first part, or right behind its header.
  size_t header = std::string::npos;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && platform::equalsNoCase(lines_[i].name, section)) {
      header = i;
      break;
    }
  }
  if (header != std::string::npos) {
    size_t last = header;
    for (size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
      if (lines_[i].kind == Kind::Key) last = i;
    insertLine(last + 1, std::move(line));
    return;
  }

  // A new section at the end, set off from what stands before it by an empty line.
  if (!lines_.empty() && !trim(lines_.back().text).empty()) insertLine(lines_.size(), Line{});
  Line head;
  head.kind = Kind::Section;
  head.name = section;
  head.text = "[" + std::string(section) + "]";
  insertLine(lines_.size(), std::move(head));
  insertLine(lines_.size(), std::move(line));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
  writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(std::string_view section) {
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  bool erasing = false;
  for (auto& l : lines_) {
    if (l.kind == Kind::Section) erasing = platform::equalsNoCase(l.name, section);
    if (!erasing) kept.push_back(std::move(l));
  }
  lines_ = std::move(kept);
}

void IniFile::deleteKey(std::string_view section, std::string_view key) {
  if (const size_t i = findKey(section, key); i != std::string::npos)
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace ravelin::app
