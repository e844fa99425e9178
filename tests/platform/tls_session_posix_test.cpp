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

}  // namespace
