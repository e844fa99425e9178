// Connecting through SOCKS 5: purpose-written proxies on loopback for every odd reply and
// danted as a real proxy (without and with user/password authentication).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/async_socket.h"
#include "peers/dante_proxy.h"
#include "peers/loopback_peers.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::net;
using namespace ravelin::runtime;

namespace {

using test::Bytes;
using test::LoopbackListener;
using test::PumpUntil;
using test::ScriptedPeer;

struct SocksRecorder {
  std::vector<std::string> events;
  std::string data;
  void attach(AsyncSocket& s) {
    s.onSessionConnected = [this](AsyncSocket&, std::uint16_t e) {
      add("connected " + std::to_string(e));
    };
    s.onSessionClosed = [this](AsyncSocket&, std::uint16_t e) {
      add("closed " + std::to_string(e));
    };
    s.onSocksConnected = [this](AsyncSocket&, std::uint16_t e) {
      add("socks-connected " + std::to_string(e));
    };
    s.onSocksError = [this](AsyncSocket&, int e, const std::string& text) {
      add("socks-error " + std::to_string(e) + " " + text);
    };
    s.onSocksAuthState = [this](AsyncSocket&, SocksAuthState st) {
      add("auth " + std::to_string(static_cast<int>(st)));
    };
    s.onDataAvailable = [this](AsyncSocket& so, std::uint16_t) { data += so.receiveStr(); };
    s.onDataSent = [this](AsyncSocket&, std::uint16_t) { add("sent"); };
  }
  void add(const std::string& e) { events.push_back(e); }
  bool has(const std::string& e) const {
    for (auto& x : events)
      if (x == e) return true;
    return false;
  }
  bool hasPrefix(const std::string& p) const {
    for (auto& x : events)
      if (x.rfind(p, 0) == 0) return true;
    return false;
  }
};

class WSocketSocksTest : public ::testing::Test {
 protected:
  platform::EventLoop loop;

  // A socket aimed at addr:port through the proxy on 127.0.0.1:proxyPort.
  std::unique_ptr<AsyncSocket> socksSocket(std::uint16_t proxyPort, const std::string& addr,
                                           const std::string& port) {
    auto s = std::make_unique<AsyncSocket>(loop);
    s->setAddr(addr);
    s->setPort(port);
    s->setMultiThreaded(true);
    s->setSocksServer("127.0.0.1");
    s->setSocksPort(proxyPort);
    return s;
  }

  // Runs a connect through a scripted proxy until the outcome is known.
  SocksRecorder runScripted(std::vector<ScriptedPeer::Step> steps,
                            std::string* received = nullptr) {
    ScriptedPeer proxy(std::move(steps));
    auto s = socksSocket(proxy.port(), "1.2.3.4", "4661");
    SocksRecorder r;
    r.attach(*s);
    s->connect();
    EXPECT_TRUE(PumpUntil(loop, [&] { return r.hasPrefix("closed") || r.has("connected 0"); }));
    s->close();
    proxy.waitDone(5000);
    if (received) *received = proxy.received();
    return r;
  }
};

// The proxy only records what it is sent; nothing ever connects to 1.2.3.4.
TEST_F(WSocketSocksTest, ExactBytesOfTheNegotiation) {
  std::string sent;
  SocksRecorder r = runScripted(
      {ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})), ScriptedPeer::expect(14),
       ScriptedPeer::send(Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0x30, 0x39}))},
      &sent);
  EXPECT_EQ(sent, Bytes({5, 1, 0}) + Bytes({5, 1, 0, 3, 7}) + "1.2.3.4" + Bytes({0x12, 0x35}));
  EXPECT_EQ(r.events, (std::vector<std::string>{"socks-connected 0", "connected 0", "closed 0"}));
}

TEST_F(WSocketSocksTest, BoundAddressAndPortAreKept) {
  ScriptedPeer proxy({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})),
                      ScriptedPeer::expect(14),
                      ScriptedPeer::send(Bytes({5, 0, 0, 1, 127, 0, 0, 9, 0x30, 0x39}))});
  auto s = socksSocket(proxy.port(), "1.2.3.4", "4661");
  SocksRecorder r;
  r.attach(*s);
  s->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.has("connected 0"); }));
  EXPECT_EQ(s->socksBoundAddr(), "127.0.0.9");
  EXPECT_EQ(s->socksBoundPort(), "12345");
  EXPECT_EQ(s->state(), SocketState::Connected);
  EXPECT_FALSE(r.has("sent")) << "negotiation bytes are not the user's data";
}

TEST_F(WSocketSocksTest, MethodNotAcceptable) {
  SocksRecorder r = runScripted({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 255}))});
  EXPECT_EQ(r.events,
            (std::vector<std::string>{"socks-connected 0",
                                      "socks-error 20003 authentification method not acceptable",
                                      "connected 20003", "closed 20003"}));
}

TEST_F(WSocketSocksTest, VersionErrorInMethodReply) {
  SocksRecorder r = runScripted({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({4, 0}))});
  EXPECT_TRUE(r.has("socks-error 20002 socks version error"));
  EXPECT_TRUE(r.has("connected 20002"));
  EXPECT_TRUE(r.has("closed 20002"));
}

TEST_F(WSocketSocksTest, ConnectRefusedByProxy) {
  SocksRecorder r = runScripted({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})),
                                 ScriptedPeer::expect(14),
                                 ScriptedPeer::send(Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}))});
  EXPECT_TRUE(r.has("socks-error 20008 connection refused"));
  EXPECT_TRUE(r.has("connected 20008"));
  EXPECT_TRUE(r.has("closed 20008"));
}

TEST_F(WSocketSocksTest, VersionErrorInConnectReply) {
  SocksRecorder r = runScripted({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})),
                                 ScriptedPeer::expect(14),
                                 ScriptedPeer::send(Bytes({4, 0, 0, 1, 0, 0, 0, 0, 0, 0}))});
  EXPECT_TRUE(r.has("connected 20002"));
}

TEST_F(WSocketSocksTest, AddressTypeErrors) {
  SocksRecorder ipv6 = runScripted(
      {ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})), ScriptedPeer::expect(14),
       ScriptedPeer::send(Bytes({5, 0, 0, 4}) + std::string(18, '\1'))});
  EXPECT_TRUE(ipv6.has("socks-error 20011 address type not supported"));
  EXPECT_TRUE(ipv6.has("connected 20011"));
  SocksRecorder refused = runScripted({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})),
                                       ScriptedPeer::expect(14),
                                       ScriptedPeer::send(Bytes({5, 8, 0, 1, 0, 0, 0, 0, 0, 0}))});
  EXPECT_TRUE(refused.has("connected 20011"));
  SocksRecorder unassigned =
      runScripted({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})),
                   ScriptedPeer::expect(14), ScriptedPeer::send(Bytes({5, 77, 0, 1}))});
  EXPECT_TRUE(unassigned.has("socks-error 20012 unassigned error #77"));
}

TEST_F(WSocketSocksTest, UserPasswordAuthenticationAndFailure) {
  auto run = [&](int status, std::string* sent) {
    ScriptedPeer proxy(
        {ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 2})),
         ScriptedPeer::expect(1 + 1 + 4 + 1 + 6), ScriptedPeer::send(Bytes({1, status})),
         ScriptedPeer::expect(status == 0 ? 14 : 0),
         ScriptedPeer::send(status == 0 ? Bytes({5, 0, 0, 1, 1, 1, 1, 1, 0, 1}) : std::string())});
    auto s = socksSocket(proxy.port(), "1.2.3.4", "4661");
    s->setSocksAuthentication(SocksAuthentication::Usercode);
    s->setSocksUsercode("user");
    s->setSocksPassword("secret");
    SocksRecorder r;
    r.attach(*s);
    s->connect();
    EXPECT_TRUE(PumpUntil(loop, [&] { return r.hasPrefix("connected"); }));
    s->close();
    proxy.waitDone(5000);
    *sent = proxy.received();
    return r;
  };
  std::string sent;
  SocksRecorder ok = run(0, &sent);
  EXPECT_EQ(sent, Bytes({5, 1, 2}) + Bytes({1, 4}) + "user" + Bytes({6}) + "secret" +
                      Bytes({5, 1, 0, 3, 7}) + "1.2.3.4" + Bytes({0x12, 0x35}));
  EXPECT_EQ(ok.events, (std::vector<std::string>{"socks-connected 0", "auth 0", "auth 1",
                                                 "connected 0", "closed 0"}));
  SocksRecorder bad = run(1, &sent);
  EXPECT_TRUE(bad.has("socks-error 20015 socks authentication failed"));
  EXPECT_TRUE(bad.has("connected 20015"));
  EXPECT_TRUE(bad.has("closed 20015"));
}

TEST_F(WSocketSocksTest, NoAuthenticationNeededAfterOffering) {
  ScriptedPeer proxy({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})),
                      ScriptedPeer::expect(14),
                      ScriptedPeer::send(Bytes({5, 0, 0, 1, 1, 1, 1, 1, 0, 1}))});
  auto s = socksSocket(proxy.port(), "1.2.3.4", "4661");
  s->setSocksAuthentication(SocksAuthentication::Usercode);
  SocksRecorder r;
  r.attach(*s);
  s->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.hasPrefix("connected"); }));
  EXPECT_EQ(r.events, (std::vector<std::string>{"socks-connected 0", "auth 3", "connected 0"}));
}

TEST_F(WSocketSocksTest, BytesAfterTheReplyAreHandedOutFirst) {
  ScriptedPeer proxy({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 0})),
                      ScriptedPeer::expect(14),
                      ScriptedPeer::send(Bytes({5, 0, 0, 1, 1, 1, 1, 1, 0, 1}) + "hello"),
                      ScriptedPeer::send(" world")});
  auto s = socksSocket(proxy.port(), "1.2.3.4", "4661");
  SocksRecorder r;
  r.attach(*s);
  s->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.data == "hello world"; }));
  EXPECT_TRUE(r.has("connected 0"));
}

TEST_F(WSocketSocksTest, ProxyHangingUpMidwayEndsTheAttempt) {
  SocksRecorder r = runScripted({ScriptedPeer::expect(3), ScriptedPeer::close()});
  EXPECT_TRUE(r.has("connected 10053"));
  EXPECT_TRUE(r.has("closed 10053"));
}

TEST_F(WSocketSocksTest, ProxyNotListening) {
  auto s = socksSocket(test::ClosedLoopbackPort(), "1.2.3.4", "4661");
  SocksRecorder r;
  r.attach(*s);
  s->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.hasPrefix("closed"); }));
  EXPECT_EQ(r.events[0], "socks-connected 10061");
  EXPECT_EQ(r.events[1], "connected 10061");
}

TEST_F(WSocketSocksTest, SocketDestroyedInSocksHandlers) {
  ScriptedPeer proxy({ScriptedPeer::expect(3), ScriptedPeer::send(Bytes({5, 255}))});
  auto s = socksSocket(proxy.port(), "1.2.3.4", "4661");
  s->onSocksError = [&](AsyncSocket&, int, const std::string&) { s.reset(); };
  s->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
  test::PumpFor(loop, 50);
}

// danted as the proxy: the target is a loopback listener, or a loopback port nobody
// listens on; the proxy relays to 127.0.0.0/8 only.
class DanteTest : public WSocketSocksTest {};

TEST_F(DanteTest, ConnectsThroughDanteWithoutAuthentication) {
  test::DanteProxy dante;
  ASSERT_EQ(dante.failure(), "");
  LoopbackListener target;
  ScriptedPeer greeter({ScriptedPeer::send("hi there")});

  auto s = socksSocket(dante.port(), "127.0.0.1", std::to_string(target.port()));
  SocksRecorder r;
  r.attach(*s);
  s->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.hasPrefix("connected"); })) << dante.log();
  EXPECT_EQ(r.events, (std::vector<std::string>{"socks-connected 0", "connected 0"}));
  EXPECT_TRUE(PumpUntil(loop, [&] { return target.accepted() == 1; }));
  s->close();

  // Data both ways through the relay.
  auto g = socksSocket(dante.port(), "127.0.0.1", std::to_string(greeter.port()));
  SocksRecorder gr;
  gr.attach(*g);
  g->onSessionConnected = [&](AsyncSocket& so, std::uint16_t e) {
    gr.add("connected " + std::to_string(e));
    if (e == 0) so.sendStr("ping");
  };
  g->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return gr.data == "hi there"; })) << dante.log();
  ASSERT_TRUE(PumpUntil(loop, [&] { return greeter.received() == "ping"; }));
  g->close();
}

TEST_F(DanteTest, ClosedTargetPortThroughDante) {
  test::DanteProxy dante;
  ASSERT_EQ(dante.failure(), "");
  auto s = socksSocket(dante.port(), "127.0.0.1", std::to_string(test::ClosedLoopbackPort()));
  SocksRecorder r;
  r.attach(*s);
  s->connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.hasPrefix("closed"); })) << dante.log();
  EXPECT_TRUE(r.has("socks-error 20008 connection refused")) << ::testing::PrintToString(r.events);
  EXPECT_TRUE(r.has("connected 20008"));
}

TEST_F(DanteTest, ConnectsThroughDanteWithUserPassword) {
  if (!test::DanteProxy::canCreateUsers())
    GTEST_SKIP() << "danted checks user/password against system users; adding a throwaway "
                    "user needs root";
  test::DanteProxy dante({.usernameAuth = true});
  ASSERT_EQ(dante.failure(), "");
  LoopbackListener target;
  for (bool goodPassword : {true, false}) {
    auto s = socksSocket(dante.port(), "127.0.0.1", std::to_string(target.port()));
    s->setSocksAuthentication(SocksAuthentication::Usercode);
    s->setSocksUsercode(dante.user());
    s->setSocksPassword(goodPassword ? dante.password() : dante.password() + "x");
    SocksRecorder r;
    r.attach(*s);
    s->connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return r.hasPrefix("connected"); })) << dante.log();
    if (goodPassword) {
      EXPECT_EQ(r.events,
                (std::vector<std::string>{"socks-connected 0", "auth 0", "auth 1", "connected 0"}))
          << dante.log();
    } else {
      EXPECT_TRUE(r.has("socks-error 20015 socks authentication failed"))
          << ::testing::PrintToString(r.events);
      EXPECT_TRUE(r.has("connected 20015"));
    }
    s->close();
  }
  EXPECT_TRUE(PumpUntil(loop, [&] { return target.accepted() == 1; }));
}

}  // namespace
