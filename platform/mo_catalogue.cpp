#include "platform/mo_catalogue.h"

#include <cstdint>

#include "platform/file_io.h"

namespace ravelin::platform {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {
    if (bytes.size() < 20) throw std::runtime_error("too short for a catalogue");
    const std::uint32_t magic = word(0);
    if (magic != kMagic && magic != kSwappedMagic)
      throw std::runtime_error("not a message catalogue");
    swapped_ = magic == kSwappedMagic;
    // Major revisions 0 and 1 share the tables read here.
    if (word(4) >> 16 > 1) throw std::runtime_error("unknown catalogue revision");
  }

  std::uint32_t word(std::uint64_t offset) const {
    if (offset + 4 > bytes_.size()) throw std::runtime_error("table beyond the end");
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + offset);
    return swapped_ ? std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
                          std::uint32_t{p[2]} << 8 | p[3]
                    : std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 |
                          std::uint32_t{p[1]} << 8 | p[0];
  }

  // Text number index of the table at tableOffset (length, offset pairs), which msgfmt
  // ends with a NUL that the length leaves out.
  std::string_view text(std::uint32_t tableOffset, std::uint32_t index) const {
    const std::uint64_t entry = std::uint64_t{tableOffset} + std::uint64_t{index} * 8;
    const std::uint64_t length = word(entry), offset = word(entry + 4);
    if (offset + length >= bytes_.size() || bytes_[offset + length] != '\0')
      throw std::runtime_error("text beyond the end");
    return bytes_.substr(offset, length);
  }

 private:
  std::string_view bytes_;
  bool swapped_ = false;
};

// The NUL-separated parts of a text: the English singular and plural, or the forms.
std::vector<std::string> parts(std::string_view text) {
  std::vector<std::string> result;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\0', start);
    result.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return result;
    start = end + 1;
  }
}

}  // namespace

MoCatalogue MoCatalogue::fromBytes(std::string_view bytes) {
  const Reader reader(bytes);
  const std::uint32_t count = reader.word(8);
  const std::uint32_t originals = reader.word(12), translations = reader.word(16);
  // Each entry needs 8 bytes in both tables: a count beyond the file is damage, and
  // checking it first keeps a hostile count from making a long loop.
  if (std::uint64_t{count} * 8 > bytes.size()) throw std::runtime_error("table beyond the end");
  MoCatalogue catalogue;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string_view original = reader.text(originals, i);
    const std::string_view translated = reader.text(translations, i);
    const std::string key(original.substr(0, original.find('\0')));
    if (key.empty())
      catalogue.header_ = std::string(translated);
    else
      catalogue.texts_.insert_or_assign(key, parts(translated));
  }
  if (auto rule = PluralRule::fromHeader(catalogue.header_)) catalogue.plural_ = *rule;
  return catalogue;
}

std::optional<MoCatalogue> MoCatalogue::load(const std::string& path) {
  try {
    return fromBytes(readWholeFile(path));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

const char* MoCatalogue::find(std::string_view text) const {
  const auto it = texts_.find(text);
  return it == texts_.end() || it->second.front().empty() ? nullptr : it->second.front().c_str();
}

const char* MoCatalogue::findPlural(std::string_view singular, unsigned long count) const {
  const auto it = texts_.find(singular);
  if (it == texts_.end()) return nullptr;
  const std::size_t index = plural_.formFor(count);
  const std::vector<std::string>& forms = it->second;
  return index < forms.size() && !forms[index].empty() ? forms[index].c_str() : nullptr;
}

}  // namespace ravelin::platform
