// Runs the BOT decoder and the file reader's merge on arbitrary bytes; whatever is read
// must write and read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "serverlist/bot_file.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::vector<Server> parsed = parseBot(bytes, 10000);
  if (parsed.size() > 10000 || parsed.size() > size / 10) __builtin_trap();

  AppContext ctx;
  ProgressBar bar;
  ServerList list;
  mergeServersFromBotData(list, bytes, "fuzz.bot", bar, ctx);

  const auto first = encodeBotFile(list);
  if (!first || first->size() != list.size() * kBotRecordSize) __builtin_trap();
  ServerList again;
  mergeServersFromBotData(again, *first, "fuzz.bot", bar, ctx);
  if (again.size() != list.size()) __builtin_trap();
  const auto second = encodeBotFile(again);
  if (!second || *second != *first) __builtin_trap();
  return 0;
}
