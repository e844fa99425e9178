// Script text of any bytes through the line splitter, the line matcher and both syntax
// checks; the editor's selection must always lie inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/script_language.h"

using namespace ravelin;
using namespace ravelin::script;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto lines = splitScriptLines(text);
  size_t joined = 0;
  for (const auto& line : lines) {
    if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) std::abort();
    const ScriptLine l = matchScriptLine(line);
    if (l.kind == ScriptLine::Kind::Bracket && l.argument.size() > l.rest.size()) std::abort();
    joined += line.size() + 2;
  }
  const auto run = findScriptSyntaxError(lines, SyntaxRules::Run);
  const auto editor = checkSyntaxForEditor(lines);
  if (run && run->line > lines.size()) std::abort();
  if (!editor.ok && editor.selectionStart + editor.selectionLength > joined) std::abort();
  // The editor's rules are the stricter ones: where they find no error, neither does the run.
  if (editor.ok && run) std::abort();
  return 0;
}
