#include "peers/emule_peer.h"

#include <vector>

#include "client/emule_bridge.h"
#include "platform/error_text.h"
#include "platform/paths.h"
#include "platform/user_folders.h"

using namespace ravelin::platform;

namespace test {

namespace {

std::string FakeEmuleProgram() {
  return utf8FromPath(pathFromUtf8(executablePath()).parent_path() / "fake_emule.exe");
}

std::vector<std::string> FakeEmuleArgs(const std::string& linksFile, bool hang) {
  if (hang) return {linksFile, "--hang"};
  return {linksFile};
}

}  // namespace

EmulePeer::EmulePeer(const std::string& linksFile, bool hang)
    : process_(FakeEmuleProgram(), FakeEmuleArgs(linksFile, hang), environmentWith({})) {
  if (!process_.started()) {
    problem_ = "fake_emule.exe: " + errorText(process_.startError());
    return;
  }
  // It prints nothing: its output ends when it does.
  std::string output;
  for (int waited = 0; waited < 10000; waited += 50) {
    if (findAnsweringWindow(ravelin::client::kEmuleWindowMessage, 1000)) return;
    if (process_.read(output, 50) == PipedProcess::ReadResult::Ended) {
      const int status = process_.finish(1000);
      problem_ = "fake_emule.exe ended with " + std::to_string(status) +
                 (status == 2 ? " (it could make no window: is there an X display?)" : "");
      return;
    }
  }
  problem_ = "the window of fake_emule.exe did not answer within 10 s";
}

}  // namespace test
