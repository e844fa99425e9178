#include <windows.h>

#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "platform/worker_thread.h"
#include "win/win_app.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ravelin::platform::utf8FromWide(argv[i]));
  const int status = ravelin::win::runWin(std::move(args));
  // A worker that handed over its last result may still be ending.
  ravelin::platform::waitForWorkerThreads(2000);
  return status;
}
