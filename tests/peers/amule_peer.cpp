#include "peers/amule_peer.h"

#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/settings_store.h"
#include "platform/process.h"
#include "support/peer_process.h"

extern char** environ;

namespace test {

namespace {
std::vector<std::string> PeerEnvironment(const std::string& home) {
  return {"HOME=" + home, "LC_ALL=C", std::string("PATH=") + std::getenv("PATH")};
}
void Pause(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
}  // namespace

std::string EnterPrivateNetwork() {
  if (::unshare(CLONE_NEWNET) != 0)
    return std::string("no private network namespace (unshare -n): ") + std::strerror(errno);
  platform::PipedProcess ip(platform::findOnPath("ip"), {"link", "set", "lo", "up"},
                            PeerEnvironment("/"));
  return ip.started() && ip.finish(5000) == 0 ? "" : "loopback cannot be brought up (ip link)";
}

std::string& PrivateNetworkFailure() {
  static std::string reason = "the private network namespace was not set up";
  return reason;
}

AmulePeer::AmulePeer() {
  const std::string amuled = platform::findOnPath("amuled");
  error_ = PrivateNetworkFailure();
  if (error_.empty() && (amuled.empty() || platform::findOnPath("amulecmd").empty()))
    error_ = "amuled or amulecmd is not installed (packages amule-daemon, amule-utils)";
  if (!error_.empty()) return;
  char pattern[] = "/tmp/ravelin-amuled-XXXXXX";
  home_ = ::mkdtemp(pattern) ? pattern : "";
  std::filesystem::create_directories(configDir());
  ecPort_ = FreeLoopbackPort();
  const std::string digest = app::ecPasswordDigest(kPassword);
  std::ofstream(configDir() + "amule.conf")
      << "[eMule]\nAutoconnect=0\nReconnect=0\nConnectToKad=0\nUDPEnable=0\nUPnPEnabled=0\n"
         "Serverlist=0\nAddServerListFromServer=0\nAddServerListFromClient=0\n"
         "RemoveDeadServer=0\nFilterLanIPs=0\nIPFilterAutoLoad=0\nIPFilterURL=\n"
         "NewVersionCheck=0\nGeoIPEnabled=0\nKadNodesUrl=\nEd2kServersUrl=\nTempDir="
      << configDir() << "Temp\nIncomingDir=" << configDir()
      << "Incoming\nOSDirectory=" << configDir()
      << "\n[ExternalConnect]\nAcceptExternalConnections=1\n"
      << "ECAddress=127.0.0.1\nECPort=" << ecPort_ << "\nECPassword=" << digest << "\n";
  // The console's settings for command(): the peer's own file, like amule.conf.
  std::ofstream(configDir() + "remote.conf")
      << "[EC]\nHost=127.0.0.1\nPort=" << ecPort_ << "\nPassword=" << digest << "\n";

  // Through the shell for its environment and output file; exec keeps the process id.
  const std::string log = home_ + "/amuled.out";
  const std::string line =
      "HOME='" + home_ + "' LC_ALL=C exec '" + amuled + "' </dev/null >'" + log + "' 2>&1";
  const char* argv[] = {"sh", "-c", line.c_str(), nullptr};
  if (posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    pid_ = -1;
    error_ = "amuled cannot be started";
    return;
  }
  // Bounds are generous: a loaded machine (a sanitizer pass on two cores) starts it slowly.
  for (int i = 0; i < 300; ++i, Pause(100)) {
    if (command("status").find("Succeeded!") != std::string::npos) return;
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      error_ = "amuled ended at its start; see " + log;
      return;
    }
  }
  error_ = "amuled's External Connection did not answer within 30 seconds";
}

AmulePeer::~AmulePeer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i, Pause(50))
      ended = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
    if (!ended) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  std::error_code ec;
  if (!home_.empty()) std::filesystem::remove_all(home_, ec);
}

std::string AmulePeer::command(const std::string& line) const {
  platform::PipedProcess console(platform::findOnPath("amulecmd"),
                                 {"-f", "remote.conf", "-c", line}, PeerEnvironment(home_));
  std::string out;
  for (int i = 0; i < 100 && console.read(out, 100) != platform::PipedProcess::ReadResult::Ended;)
    ++i;
  console.finish(1000);
  return out;
}

std::vector<std::string> AmulePeer::servers(const std::string& prefix, size_t count) const {
  // amuled takes what it read in its own time: asks again (at most 30 s) until `count`
  // are listed, and once more a little later, so that an extra one would show.
  std::vector<std::string> found;
  for (int i = 0; i < 300 && (i == 0 || found.size() < count); ++i) {
    Pause(found.size() < count ? 100 : 300);
    found.clear();
    const std::string out = command("show servers");  // lines " > [1.2.3.4:4661]   name"
    for (size_t at = out.find("> [" + prefix); at != std::string::npos;
         at = out.find("> [" + prefix, at + 1))
      found.push_back(out.substr(at + 3, out.find(']', at) - at - 3));
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace test
