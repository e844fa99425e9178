#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/socket.h"
#include "platform/tls_session.h"
#include "support/peer_process.h"

using namespace ravelin;
using namespace ravelin::platform;

namespace {

using St = TlsSession::Status;

// The client against OpenSSL's own server (s_server -rev: each line comes back reversed,
// "CLOSE" ends the TLS stream) on a loopback port.
class TlsPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ca.ok) GTEST_SKIP() << ca.error;
  }
  std::unique_ptr<test::PeerProcess> start(const std::string& cert, const std::string& key,
                                           std::vector<std::string> more = {}) {
    port = test::FreeLoopbackPort();
    std::vector<std::string> argv = {"openssl", "s_server",
                                     "-accept", "127.0.0.1:" + std::to_string(port),
                                     "-cert",   test::UnixPath(cert),
                                     "-key",    test::UnixPath(key),
                                     "-rev",    "-quiet"};
    argv.insert(argv.end(), more.begin(), more.end());
    auto server = std::make_unique<test::PeerProcess>(argv);
    EXPECT_TRUE(test::WaitForPort(port, 5000));
    return server;
  }
  // Connects, writes send and moves bytes until the reply has want bytes, the session is no
  // longer Ok or 10 s have passed.
  std::string talk(TlsSession& tls, const std::string& send, std::size_t want) {
    int error = 0;
    const SocketHandle s = openSocket(SocketType::Stream, error);
    connectSocket(s, 0x7f000001, static_cast<std::uint16_t>(port));
    tls.write(send);
    std::string out, reply;
    for (int i = 0; i < 2000 && tls.status() == St::Ok && reply.size() < want; ++i) {
      out += tls.takeOutgoing();
      const long sent = out.empty() ? 0 : sendBytes(s, out.data(), out.size(), error);
      if (sent > 0) out.erase(0, static_cast<std::size_t>(sent));
      char buf[16384];
      const long n = receiveBytes(s, buf, sizeof buf, error);
      if (n == 0) break;
      if (n > 0) tls.receive(std::string_view(buf, static_cast<std::size_t>(n)));
      tls.pump(reply);
      if (n < 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    closeSocket(s);
    return reply;
  }
  const test::TestCa& ca = test::TestCa::get();
  int port = 0;
};

TEST_F(TlsPeerTest, TrustedNameAndAddressTalkAndTheServerCloses) {
  auto server = start(ca.leafCert, ca.leafKey);
  std::string line(12000, 'x');
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('a' + i % 26);
  const std::string reversed(line.rbegin(), line.rend());
  for (const std::string host : {"localhost", "127.0.0.1"}) {
    auto tls = TlsSession::client(host, {ca.caCert, ""});
    const std::string reply = talk(*tls, line + "\n", line.size() + 1);
    EXPECT_TRUE(reply == reversed + "\n") << reply.size() << " bytes; " << tls->errorText();
    EXPECT_TRUE(tls->handshakeDone()) << host;
    EXPECT_EQ(tls->status(), St::Ok);
  }
  auto tls = TlsSession::client("localhost", {ca.caCert, ""});
  talk(*tls, "CLOSE\n", 1000);
  EXPECT_EQ(tls->status(), St::Closed) << tls->errorText();
}

TEST_F(TlsPeerTest, UntrustedChainWrongNameAndWrongAddressAreRefused) {
  struct Case {
    std::string host, cert, key, caFile;
  };
  const Case cases[] = {
      {"localhost", ca.leafCert, ca.leafKey, ca.selfCert},  // another root
      {"localhost", ca.selfCert, ca.selfKey, ca.caCert},    // no authority at all
      {"localhost", ca.leafCert, ca.leafKey, ""},           // the system's roots
      {"other.invalid", ca.leafCert, ca.leafKey, ca.caCert},
      {"localhost", ca.otherCert, ca.otherKey, ca.caCert},
      {"127.0.0.2", ca.leafCert, ca.leafKey, ca.caCert},
      {"127.0.0.1", ca.otherCert, ca.otherKey, ca.caCert},
  };
  for (const Case& c : cases) {
    auto server = start(c.cert, c.key);
    auto tls = TlsSession::client(c.host, {c.caFile, ""});
    EXPECT_EQ(talk(*tls, "secret\n", 1), "");
    EXPECT_EQ(tls->status(), St::Error) << c.host << " " << c.cert << " " << c.caFile;
    EXPECT_FALSE(tls->handshakeDone());
    EXPECT_NE(tls->errorText().find("certificate verify failed"), std::string::npos)
        << tls->errorText();
  }
  // TLS 1.1 is refused.
  auto server = start(ca.leafCert, ca.leafKey, {"-tls1_1", "-cipher", "DEFAULT@SECLEVEL=0"});
  auto tls11 = TlsSession::client("localhost", {ca.caCert, ""});
  EXPECT_EQ(talk(*tls11, "secret\n", 1), "");
  EXPECT_EQ(tls11->status(), St::Error);
  EXPECT_NE(tls11->errorText().find("TLS handshake failed"), std::string::npos);
  // Set-up and handshake failures say what failed.
  auto missing = TlsSession::client("localhost", {"/nonexistent/ca.pem", ""});
  EXPECT_EQ(missing->status(), St::Error);
  EXPECT_NE(missing->errorText().find("/nonexistent/ca.pem"), std::string::npos);
  EXPECT_EQ(missing->write("x"), St::Error);
  auto garbage = TlsSession::client("localhost", {ca.caCert, ""});
  garbage->write("x");
  garbage->receive("HTTP/1.0 400 Bad Request\r\n\r\n");
  std::string plain;
  EXPECT_EQ(garbage->pump(plain), St::Error);
  EXPECT_NE(garbage->errorText().find("TLS handshake failed"), std::string::npos);
}

}  // namespace
