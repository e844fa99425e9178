#pragma once
// A compiled message catalogue (msgfmt's .mo file) held in memory: the translations of one
// language, looked up by their English text, with the catalogue's rule for plural forms.
// Reads either byte order; needs no hash table (the texts go into a map of their own).
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/plural_rule.h"

namespace ravelin::platform {

class MoCatalogue {
 public:
  // The catalogue in bytes; throws std::runtime_error naming what is wrong when they are
  // not a catalogue (a bad magic number, a table or text beyond the end, a text without
  // its closing NUL).
  static MoCatalogue fromBytes(std::string_view bytes);
  // The catalogue in the file at path (UTF-8); nothing when it is missing or unreadable.
  static std::optional<MoCatalogue> load(const std::string& path);

  // The translation of text, or nullptr when the catalogue has none. The pointer stays
  // valid for the catalogue's life.
  const char* find(std::string_view text) const;
  // The form for count of the translation whose English singular is singular, or nullptr.
  const char* findPlural(std::string_view singular, unsigned long count) const;
  // The header (the translation of the empty text); empty when there is none.
  const std::string& header() const { return header_; }
  // Every English singular with its translated forms (one when the text has no plural).
  using Texts = std::map<std::string, std::vector<std::string>, std::less<>>;
  const Texts& texts() const { return texts_; }

 private:
  Texts texts_;
  std::string header_;
  PluralRule plural_;
};

}  // namespace ravelin::platform
