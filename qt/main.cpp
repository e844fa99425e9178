#include "platform/worker_thread.h"
#include "qt/gui_app.h"

int main(int argc, char** argv) {
  const int status = ravelin::qt::runGui(argc, argv);
  // A worker that handed over its last result may still be ending.
  ravelin::platform::waitForWorkerThreads(2000);
  return status;
}
