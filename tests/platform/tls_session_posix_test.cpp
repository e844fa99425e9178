#include "platform/tls_session.h"

#include <gtest/gtest.h>

#include "support/peer_process.h"

// Client and server sessions of this program talking to each other in memory; the client
// against a real TLS server is in tls_session_peer_test.cpp.
using namespace ravelin;
using namespace ravelin::platform;

namespace {

using St = TlsSession::Status;

// Moves bytes between two sessions until neither has anything left to say (bounded).
void Shuttle(TlsSession& a, TlsSession& b, std::string& plainA, std::string& plainB) {
  for (int i = 0; i < 20; ++i) {
    const std::string ab = a.takeOutgoing();
    const std::string ba = b.takeOutgoing();
    if (ab.empty() && ba.empty() && i > 0) return;
    if (!ab.empty()) b.receive(ab);
    if (!ba.empty()) a.receive(ba);
    a.pump(plainA);
    b.pump(plainB);
  }
}

class TlsSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::TestCa::get().ok) GTEST_SKIP() << test::TestCa::get().error;
  }
  const test::TestCa& ca = test::TestCa::get();
};

TEST_F(TlsSessionTest, HandshakeAndDataBothWaysWithATrustedCertificate) {
  for (const std::string host : {"localhost", "127.0.0.1"}) {
    auto client = TlsSession::client(host, {ca.caCert, ""});
    auto server = TlsSession::server(ca.leafCert, ca.leafKey);
    ASSERT_EQ(client->status(), St::Ok) << client->errorText();
    ASSERT_EQ(server->status(), St::Ok) << server->errorText();
    // Written before the handshake: held back and sent once it is done.
    EXPECT_EQ(client->write("GET / HTTP/1.0\r\n\r\n"), St::Ok);
    std::string fromServer, fromClient;
    Shuttle(*client, *server, fromServer, fromClient);
    EXPECT_TRUE(client->handshakeDone()) << client->errorText();
    EXPECT_TRUE(server->handshakeDone());
    EXPECT_EQ(fromClient, "GET / HTTP/1.0\r\n\r\n");
    const std::string big(200000, 'z');
    EXPECT_EQ(server->write(big), St::Ok);
    Shuttle(*client, *server, fromServer, fromClient);
    EXPECT_EQ(fromServer, big) << host;
  }
}

TEST_F(TlsSessionTest, UntrustedWrongHostAndWrongAddressFail) {
  struct Case {
    std::string host, cert, key, expect;
    bool systemStore;
  };
  const Case cases[] = {
      {"localhost", ca.selfCert, ca.selfKey, "certificate verify failed", false},
      {"localhost", ca.leafCert, ca.leafKey, "certificate verify failed", true},
      {"127.0.0.1", ca.otherCert, ca.otherKey, "certificate verify failed", false},
      {"localhost", ca.otherCert, ca.otherKey, "certificate verify failed", false},
      {"127.0.0.2", ca.leafCert, ca.leafKey, "certificate verify failed", false},
  };
  for (const Case& c : cases) {
    TlsSession::ClientOptions opts;
    if (!c.systemStore) opts.caFile = ca.caCert;
    auto client = TlsSession::client(c.host, opts);
    auto server = TlsSession::server(c.cert, c.key);
    client->write("x");
    std::string p1, p2;
    Shuttle(*client, *server, p1, p2);
    EXPECT_EQ(client->status(), St::Error) << c.host << " " << c.cert;
    EXPECT_FALSE(client->handshakeDone());
    EXPECT_NE(client->errorText().find(c.expect), std::string::npos) << client->errorText();
    EXPECT_TRUE(p2.empty());
  }
}

}  // namespace
