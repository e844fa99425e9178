#include "cli/cli_app.h"
#include "platform/worker_thread.h"

int main(int argc, char** argv) {
  const int status = ravelin::cli::runCli(argc, argv);
  // A worker that handed over its last result may still be ending.
  ravelin::platform::waitForWorkerThreads(2000);
  return status;
}
