// Reads arbitrary bytes as a message catalogue and as a plural rule: refused with an
// exception or read, never a crash, a read beyond the input, a long loop or a form index
// out of range.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "platform/mo_catalogue.h"

using namespace ravelin::platform;

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const MoCatalogue catalogue = MoCatalogue::fromBytes(bytes);
    for (const auto& [english, forms] : catalogue.texts()) {
      check(!forms.empty());
      const char* text = catalogue.find(english);
      check(text == nullptr || text == forms.front().c_str());
      for (unsigned long n : {0ul, 1ul, 2ul, 5ul, 11ul, 101ul, ~0ul})
        catalogue.findPlural(english, n);
    }
  } catch (const std::runtime_error&) {
  }
  // The same bytes as a header and as the expression of one.
  if (const auto rule = PluralRule::fromHeader(bytes))
    for (unsigned long n = 0; n < 64; ++n) check(rule->formFor(n) < rule->forms());
  if (const auto rule = PluralRule::parse(bytes, 6)) {
    check(rule->forms() == 6);
    for (unsigned long n : {0ul, 1ul, 2ul, 3ul, 7ul, 21ul, 1000ul, ~0ul})
      check(rule->formFor(n) < 6);
  }
  return 0;
}
