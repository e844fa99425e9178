// Runs the server.met decoder and the file reader's merge on arbitrary bytes; whatever
// is read must write and read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/met_file.h"
#include "serverlist/met_tags.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The update worker's form, with its limit.
  const MetParseResult parsed = parseMet(bytes, 10000);
  if (parsed.records.size() > 10000) __builtin_trap();

  AppContext ctx;
  ProgressBar bar;
  ServerList list;
  mergeServersFromMetData(list, bytes, "fuzz.met", bar, ctx);
  if (list.size() > parsed.records.size() && parsed.stop != MetStop::MaxRecords) __builtin_trap();

  for (bool addressTags : {false, true}) {
    const auto first = encodeMetFile(list, addressTags);
    if (!first) continue;
    ServerList again;
    mergeServersFromMetData(again, *first, "fuzz.met", bar, ctx);
    if (again.size() != list.size()) __builtin_trap();
    const auto second = encodeMetFile(again, addressTags);
    if (!second || *second != *first) __builtin_trap();
  }
  return 0;
}
