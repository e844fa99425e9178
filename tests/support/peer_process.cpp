#include "support/peer_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/clock.h"
#include "support/test_support.h"

extern char** environ;

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

namespace test {

namespace {

int ReadPortLine(int fd, int ms) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char c;
    const ssize_t n = read(fd, &c, 1);
    if (n <= 0) return 0;
    if (c == '\n') return std::atoi(line.c_str());
    line.push_back(c);
  }
  return 0;
}

// Runs a program to its end; true when it exited with 0.
bool RunProgram(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  const int rc = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

PeerProcess::PeerProcess(const std::vector<std::string>& argv, bool readPort) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  // Without a port to read, the output goes nowhere (a closed pipe would kill the child).
  if (readPort)
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  else
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  if (!std::getenv("RAVELIN_PEER_STDERR"))
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  const int rc = posix_spawnp(&pid_, args[0], &fa, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(out[1]);
  if (rc != 0) {
    pid_ = -1;
    close(out[0]);
    return;
  }
  if (readPort) port_ = ReadPortLine(out[0], 10000);
  close(out[0]);
}

PeerProcess::~PeerProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  close(fd);
  return port;
}

bool WaitForPort(int port, int ms) {
  for (int waited = 0; waited <= ms; waited += 50) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    if (ok) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

const TestCa& TestCa::get() {
  static const TestCa ca = [] {
    TestCa c;
    c.dir =
        (std::filesystem::temp_directory_path() / ("ravelin-test-ca-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(c.dir);
    auto f = [&c](const std::string& n) { return c.dir + "/" + n; };
    c.caCert = f("ca.pem");
    c.leafCert = f("leaf.pem");
    c.leafKey = f("leaf.key");
    c.otherCert = f("other.pem");
    c.otherKey = f("other.key");
    c.selfCert = f("self.pem");
    c.selfKey = f("self.key");
    WriteFile(f("leaf.ext"), "subjectAltName=DNS:localhost,IP:127.0.0.1\n");
    WriteFile(f("other.ext"), "subjectAltName=DNS:other.invalid\n");
    const std::vector<std::string> ec = {"-newkey", "ec", "-pkeyopt",
                                         "ec_paramgen_curve:prime256v1", "-nodes"};
    auto req = [&](std::vector<std::string> a) {
      std::vector<std::string> argv = {"openssl", "req"};
      argv.insert(argv.end(), ec.begin(), ec.end());
      argv.insert(argv.end(), a.begin(), a.end());
      return RunProgram(argv);
    };
    auto sign = [&](const std::string& name) {
      return RunProgram({"openssl", "x509", "-req", "-in", f(name + ".csr"), "-CA", c.caCert,
                         "-CAkey", f("ca.key"), "-CAcreateserial", "-out", f(name + ".pem"),
                         "-days", "2", "-extfile", f(name + ".ext")});
    };
    c.ok = req({"-x509", "-keyout", f("ca.key"), "-out", c.caCert, "-days", "2", "-subj",
                "/CN=Ravelin Test CA"}) &&
           req({"-keyout", c.leafKey, "-out", f("leaf.csr"), "-subj", "/CN=localhost"}) &&
           sign("leaf") &&
           req({"-keyout", c.otherKey, "-out", f("other.csr"), "-subj", "/CN=other.invalid"}) &&
           sign("other") &&
           req({"-x509", "-keyout", c.selfKey, "-out", c.selfCert, "-days", "2", "-subj",
                "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"});
    if (!c.ok) c.error = "the openssl program could not make the test certificates";
    std::atexit([] {
      std::error_code e;
      std::filesystem::remove_all(
          std::filesystem::temp_directory_path() / ("ravelin-test-ca-" + std::to_string(getpid())),
          e);
    });
    return c;
  }();
  return ca;
}

std::string PeerScript(const std::string& name) {
  return std::string(RAVELIN_TEST_PEERS) + "/" + name;
}

OddHttpServer::OddHttpServer(const Options& o)
    : opts_(o),
      proc_(
          [&o] {
            std::vector<std::string> a = {"python3", PeerScript("odd_http_server.py")};
            if (!o.log.empty()) a.insert(a.end(), {"--log", o.log});
            if (!o.met.empty()) a.insert(a.end(), {"--met", o.met});
            if (!o.dir.empty()) a.insert(a.end(), {"--dir", o.dir});
            if (!o.tlsCert.empty()) a.insert(a.end(), {"--tls", o.tlsCert, o.tlsKey});
            return a;
          }(),
          true) {}

std::string OddHttpServer::url(const std::string& path, bool https) const {
  return std::string(https ? "https" : "http") + "://127.0.0.1:" + std::to_string(port()) + path;
}

std::vector<std::string> OddHttpServer::requests() const {
  std::vector<std::string> out;
  const std::string all = ReadFile(opts_.log);
  std::size_t pos = 0;
  while (pos < all.size()) {
    const std::size_t nl = all.find('\n', pos);
    if (nl == std::string::npos) break;
    const std::size_t len = std::stoul(all.substr(pos, nl - pos));
    out.push_back(all.substr(nl + 1, len));
    pos = nl + 1 + len;
  }
  return out;
}

TinyProxy::TinyProxy(const std::vector<int>& connectPorts) {
  dir_ =
      (std::filesystem::temp_directory_path() /
       ("ravelin-tinyproxy-" + std::to_string(getpid()) + "-" + std::to_string(FreeLoopbackPort())))
          .string();
  std::filesystem::create_directories(dir_);
  port_ = FreeLoopbackPort();
  std::string conf = "Port " + std::to_string(port_) +
                     "\nListen 127.0.0.1\nTimeout 30\nMaxClients 20\nAllow 127.0.0.1\n"
                     "LogLevel Critical\nDisableViaHeader Yes\nXTinyproxy Yes\n";
  for (int p : connectPorts) conf += "ConnectPort " + std::to_string(p) + "\n";
  if (getuid() == 0) conf += "User nobody\nGroup nogroup\n";
  WriteFile(dir_ + "/tinyproxy.conf", conf);
  proc_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"tinyproxy", "-d", "-c", dir_ + "/tinyproxy.conf"});
  ok_ = proc_->running() && WaitForPort(port_, 5000);
}

TinyProxy::~TinyProxy() {
  proc_.reset();
  std::error_code e;
  std::filesystem::remove_all(dir_, e);
}

}  // namespace test
