// Template expansion on arbitrary template bytes with a small list whose values hold
// placeholders and loop markers themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "serverlist/template_writer.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

ServerList SmallList() {
  ServerList list;
  Server first;
  first.ip = "1.2.3.4";
  first.port = "4661";
  first.name = "%desc% %loopstart%%no%%loopend%";
  first.desc = "%IP%%port%%";
  list.append(first, true);
  Server second;
  second.ip = "9.9.9.9";
  list.append(second, false);
  Server third;
  third.ip = "5.6.7.8";
  third.port = "%hist%";
  third.hist = "%no%";
  list.append(third, true);
  return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const ServerList list = SmallList();

  const int sections = countTemplateSections(text);
  std::size_t calls = 0;
  const std::string out = expandTemplate(text, list, "%loopend%%time%.html", "%date%", "12:00:00",
                                         [&calls](const ServerEntry&) { ++calls; });
  // Every entry is visited once per section: the progress maximum is always reached.
  check(calls == list.size() * static_cast<std::size_t>(sections));
  // A text without placeholders comes out unchanged.
  if (text.find('%') == std::string_view::npos) check(out == text);
  // Outside loop sections the servers' values play no part.
  if (sections == 0) {
    ServerList other = list;
    for (std::size_t row = 0; row < other.size(); ++row) other.setServer(row, Server{});
    check(expandTemplate(text, other, "f", "d", "t") == expandTemplate(text, list, "f", "d", "t"));
  }
  // The expansion is deterministic.
  check(out == expandTemplate(text, list, "%loopend%%time%.html", "%date%", "12:00:00"));
  return 0;
}
