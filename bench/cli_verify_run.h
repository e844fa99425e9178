#pragma once
// A verification as a user's script runs it: the list in a server.met, an older
// ravelin.ini (VrfThreadCount=20, no VrfParallel), and the script that reads the list,
// verifies every server and saves what stayed checked.
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "serverlist/met_file.h"

namespace bench {

class CliVerifyRun {
 public:
  explicit CliVerifyRun(const ravelin::serverlist::ServerList& list,
                        const std::string& iniExtra = "") {
    test::TestApp app;
    test::RecordingProgressBar bar;
    ravelin::serverlist::writeServersToMet(list, in(), bar, app.ctx);
    test::WriteFile(ini(), "[verify]\nVrfThreadCount=20\nVrfTimeout=5\nVrfWarning=0\n" + iniExtra);
  }

  const test::TempDir& dir() const { return dir_; }
  std::string ini() const { return dir_.file("ravelin.ini"); }
  std::string in() const { return dir_.file("in.met"); }
  std::string out() const { return dir_.file("out.met"); }

  // The servers the saved list holds: those that stayed checked (0 when none was saved).
  std::size_t saved() const {
    test::TestApp app;
    test::RecordingProgressBar bar;
    ravelin::serverlist::ServerList list;
    ravelin::serverlist::readServersFromMet(list, out(), bar, app.ctx);
    return list.size();
  }

  // The script's lines; without the verification when verify is false (the program's
  // start, the reading and the saving alone).
  std::vector<std::string> script(bool verify = true) const {
    std::vector<std::string> lines{"RefreshCustomMET[" + in() + "]"};
    if (verify) lines.push_back("VerifyAll");
    lines.push_back("SaveCustomMET[" + out() + "]");
    return lines;
  }
  // ravelin-cli's arguments for the script.
  std::vector<std::string> cliArgs(bool verify = true) const {
    std::vector<std::string> args{"--ini", ini()};
    for (const std::string& line : script(verify)) {
      args.push_back("-e");
      args.push_back(line);
    }
    return args;
  }
  test::CliResult runCli(bool verify = true, const std::vector<std::string>& wrapper = {},
                         const std::string& binary = test::kCliBinary) const {
    return test::runCli(cliArgs(verify), dir_, {}, std::chrono::seconds(120), wrapper, binary);
  }

 private:
  test::TempDir dir_;
};

}  // namespace bench
