#include "peers/amule_peer.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::string& failureSlot() {
  static std::string reason = "the private network namespace was not set up";
  return reason;
}

std::string Environment(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  return v ? v : "";
}

}  // namespace

std::string EnterPrivateNetwork() {
  if (::unshare(CLONE_NEWNET) != 0)
    return std::string("no private network namespace (unshare -n): ") + std::strerror(errno);
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::string("no socket in the namespace: ") + std::strerror(errno);
  ifreq ifr{};
  std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
  std::string error;
  if (::ioctl(fd, SIOCGIFFLAGS, &ifr) != 0) {
    error = std::string("loopback not found: ") + std::strerror(errno);
  } else {
    ifr.ifr_flags = static_cast<short>(ifr.ifr_flags | IFF_UP);
    if (::ioctl(fd, SIOCSIFFLAGS, &ifr) != 0)
      error = std::string("loopback cannot be brought up: ") + std::strerror(errno);
  }
  ::close(fd);
  return error;
}

const std::string& PrivateNetworkFailure() {
  return failureSlot();
}

void SetPrivateNetworkFailure(std::string reason) {
  failureSlot() = std::move(reason);
}

AmulePeer::AmulePeer() {
  if (!PrivateNetworkFailure().empty()) {
    error_ = PrivateNetworkFailure();
    return;
  }
  const std::string amuled = platform::findOnPath("amuled");
  if (amuled.empty() || platform::findOnPath("amulecmd").empty()) {
    error_ = "amuled or amulecmd is not installed (packages amule-daemon, amule-utils)";
    return;
  }
  char pattern[] = "/tmp/ravelin-amuled-XXXXXX";
  if (!::mkdtemp(pattern)) {
    error_ = "no temporary directory";
    return;
  }
  home_ = pattern;
  std::filesystem::create_directories(configDir());
  ecPort_ = FreeLoopbackPort();
  const std::string digest = app::ecPasswordDigest(kPassword);
  std::ofstream(configDir() + "amule.conf")
      << "[eMule]\nAutoconnect=0\nReconnect=0\nConnectToKad=0\nConnectToED2K=1\n"
         "UDPEnable=0\nUPnPEnabled=0\nServerlist=0\nAddServerListFromServer=0\n"
         "AddServerListFromClient=0\nRemoveDeadServer=0\nFilterLanIPs=0\nIPFilterAutoLoad=0\n"
         "IPFilterURL=\nNewVersionCheck=0\nGeoIPEnabled=0\nKadNodesUrl=\nEd2kServersUrl=\n"
      << "TempDir=" << configDir() << "Temp\nIncomingDir=" << configDir()
      << "Incoming\nOSDirectory=" << configDir() << "\n"
      << "[ExternalConnect]\nAcceptExternalConnections=1\nECAddress=127.0.0.1\nECPort=" << ecPort_
      << "\nECPassword=" << digest << "\nUPnPECEnabled=0\n[WebServer]\nEnabled=0\n";
  // The console's own settings for command(); the peer's files, like amule.conf.
  std::ofstream(configDir() + "remote.conf")
      << "[EC]\nHost=127.0.0.1\nPort=" << ecPort_ << "\nPassword=" << digest << "\n";

  const std::string log = home_ + "/amuled.out";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<std::string> envStrings = {"HOME=" + home_, "LC_ALL=C",
                                         "PATH=" + Environment("PATH")};
  std::vector<char*> envp;
  for (auto& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string arg0 = amuled;
  char* argv[] = {arg0.data(), nullptr};
  const int rc = posix_spawn(&pid_, amuled.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    pid_ = -1;
    error_ = std::string("amuled cannot be started: ") + std::strerror(rc);
    return;
  }
  for (int i = 0; i < 100; ++i) {
    if (command("status").find("Succeeded!") != std::string::npos) return;
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      error_ = "amuled ended at its start; see " + log;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  error_ = "amuled's External Connection did not answer within 10 seconds";
}

AmulePeer::~AmulePeer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i) {
      ended = ::waitpid(pid_, &status, WNOHANG) == pid_;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!ended) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
    }
  }
  if (!home_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }
}

std::string AmulePeer::command(const std::string& line) const {
  platform::PipedProcess console(platform::findOnPath("amulecmd"),
                                 {"-f", "remote.conf", "-c", line},
                                 {"HOME=" + home_, "LC_ALL=C", "PATH=" + Environment("PATH")});
  std::string out;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline &&
         console.read(out, 100) != platform::PipedProcess::ReadResult::Ended) {
  }
  console.finish(1000);
  return out;
}

std::vector<std::string> AmulePeer::servers() const {
  // Lines " > [1.2.3.4:4661]   name".
  std::vector<std::string> list;
  const std::string out = command("show servers");
  for (size_t at = out.find("> ["); at != std::string::npos; at = out.find("> [", at + 1)) {
    const size_t end = out.find(']', at);
    if (end != std::string::npos) list.push_back(out.substr(at + 3, end - at - 3));
  }
  return list;
}

bool AmulePeer::waitForLinksRead(int ms) const {
  const std::string links = configDir() + "ED2KLinks";
  for (int waited = 0; waited <= ms; waited += 50) {
    if (!std::filesystem::exists(links)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace test
