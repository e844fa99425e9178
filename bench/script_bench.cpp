// The syntax check and the line splitter on large scripts.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "script/script_language.h"

using namespace ravelin;
using namespace ravelin::script;

namespace {

std::string ScriptText(size_t lines) {
  static const char* kLines[] = {"// comment line",
                                 "",
                                 "CheckAll",
                                 "Delay[$1E]",
                                 "Filter[Users>100]",
                                 "SetPref[High]",
                                 "SaveTemplate[/tmp/t.tpl|/tmp/out.html]",
                                 "RefreshCustomMET[/var/lib/lists/serverlist.met]",
                                 "SendToEDonkeyConsole[n 1.2.3.4 4661]",
                                 "verifychecked"};
  std::string text;
  for (size_t i = 0; i < lines; ++i) {
    text += kLines[i % std::size(kLines)];
    text += "\r\n";
  }
  return text;
}

void BM_SplitScriptLines(benchmark::State& state) {
  const std::string text = ScriptText(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(splitScriptLines(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SplitScriptLines)->Arg(1000)->Arg(100000);

void BM_CheckSyntax(benchmark::State& state) {
  const auto lines = splitScriptLines(ScriptText(static_cast<size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(findScriptSyntaxError(lines, SyntaxRules::Run));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckSyntax)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
