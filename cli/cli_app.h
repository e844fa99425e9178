#pragma once

namespace ravelin::cli {

// The whole program: parses the arguments, starts the application session, runs or
// checks the script and returns the exit status.
int runCli(int argc, char** argv);

}  // namespace ravelin::cli
