#include "support/peer_process.h"

#include <memory>

#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

namespace test {

const TestCa& TestCa::get() {
  static const TestCa ca = [] {
    TestCa c;
    static const TempDir folder;  // removed when the tests end
    c.dir = folder.path().string();
    auto f = [](const std::string& n) { return folder.file(n); };
    // The openssl program reads and writes them by their Unix names.
    auto u = [](const std::string& n) { return UnixPath(folder.file(n)); };
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
      return RunProgram({"openssl", "x509", "-req", "-in", u(name + ".csr"), "-CA", u("ca.pem"),
                         "-CAkey", u("ca.key"), "-CAcreateserial", "-out", u(name + ".pem"),
                         "-days", "2", "-extfile", u(name + ".ext")});
    };
    c.ok = req({"-x509", "-keyout", u("ca.key"), "-out", u("ca.pem"), "-days", "2", "-subj",
                "/CN=Ravelin Test CA"}) &&
           req({"-keyout", u("leaf.key"), "-out", u("leaf.csr"), "-subj", "/CN=localhost"}) &&
           sign("leaf") &&
           req({"-keyout", u("other.key"), "-out", u("other.csr"), "-subj", "/CN=other.invalid"}) &&
           sign("other") &&
           req({"-x509", "-keyout", u("self.key"), "-out", u("self.pem"), "-days", "2", "-subj",
                "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"});
    if (!c.ok) c.error = "the openssl program could not make the test certificates";
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
            if (!o.log.empty()) a.insert(a.end(), {"--log", UnixPath(o.log)});
            if (!o.met.empty()) a.insert(a.end(), {"--met", UnixPath(o.met)});
            if (!o.dir.empty()) a.insert(a.end(), {"--dir", UnixPath(o.dir)});
            if (!o.tlsCert.empty())
              a.insert(a.end(), {"--tls", UnixPath(o.tlsCert), UnixPath(o.tlsKey)});
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
  port_ = FreeLoopbackPort();
  std::string conf = "Port " + std::to_string(port_) +
                     "\nListen 127.0.0.1\nTimeout 30\nMaxClients 20\nAllow 127.0.0.1\n"
                     "LogLevel Critical\nDisableViaHeader Yes\nXTinyproxy Yes\n";
  for (int p : connectPorts) conf += "ConnectPort " + std::to_string(p) + "\n";
  // Taken only when it runs as root.
  conf += "User nobody\nGroup nogroup\n";
  WriteFile(dir_.file("tinyproxy.conf"), conf);
  proc_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"tinyproxy", "-d", "-c", UnixPath(dir_.file("tinyproxy.conf"))});
  ok_ = proc_->running() && WaitForPort(port_, 5000);
}

TinyProxy::~TinyProxy() = default;

}  // namespace test
