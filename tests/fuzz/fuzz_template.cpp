// Template expansion on arbitrary template bytes with a small list whose values hold
// placeholders and loop markers themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "serverlist/template_writer.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

std::vector<ServerEntry> SmallList() {
  std::vector<ServerEntry> entries(3);
  entries[0].server.ip = "1.2.3.4";
  entries[0].server.port = "4661";
  entries[0].server.name = "%desc% %loopstart%%no%%loopend%";
  entries[0].server.desc = "%IP%%port%%";
  entries[0].checked = true;
  entries[1].server.ip = "9.9.9.9";
  entries[1].checked = false;
  entries[2].server.ip = "5.6.7.8";
  entries[2].server.port = "%hist%";
  entries[2].server.hist = "%no%";
  entries[2].checked = true;
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const std::vector<ServerEntry> entries = SmallList();

  const int sections = countTemplateSections(text);
  std::size_t calls = 0;
  const std::string out = expandTemplate(text, entries, "%loopend%%time%.html", "%date%",
                                         "12:00:00", [&calls](const ServerEntry&) { ++calls; });
  // Every entry is visited once per section: the progress maximum is always reached.
  check(calls == entries.size() * static_cast<std::size_t>(sections));
  // A text without placeholders comes out unchanged.
  if (text.find('%') == std::string_view::npos) check(out == text);
  // Outside loop sections the servers' values play no part.
  if (sections == 0) {
    std::vector<ServerEntry> other = entries;
    for (ServerEntry& e : other) e.server = Server{};
    check(expandTemplate(text, other, "f", "d", "t") ==
          expandTemplate(text, entries, "f", "d", "t"));
  }
  // The expansion is deterministic.
  check(out == expandTemplate(text, entries, "%loopend%%time%.html", "%date%", "12:00:00"));
  return 0;
}
