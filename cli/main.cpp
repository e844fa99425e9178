#include "cli/cli_app.h"

int main(int argc, char** argv) {
  return ravelin::cli::runCli(argc, argv);
}
