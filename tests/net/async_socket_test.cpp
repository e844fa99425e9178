// The asynchronous socket against real loopback peers: direct connects (accepted,
// refused, unanswered), sending and receiving, closing, errors, name lookup.
#include "net/async_socket.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "peers/loopback_peers.h"
#include "platform/clock.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::net;
using namespace ravelin::runtime;

namespace {

using test::LoopbackListener;
using test::PumpUntil;
using test::ScriptedPeer;

// Records every event of a socket as text, in order.
struct Recorder {
  std::vector<std::string> events;
  void attach(AsyncSocket& s) {
    s.onSessionConnected = [this](AsyncSocket&, std::uint16_t e) { add("connected", e); };
    s.onSessionClosed = [this](AsyncSocket&, std::uint16_t e) { add("closed", e); };
    s.onDnsLookupDone = [this](AsyncSocket&, std::uint16_t e) { add("dns", e); };
    s.onDataSent = [this](AsyncSocket&, std::uint16_t e) { add("sent", e); };
  }
  void add(const std::string& name, int code) {
    events.push_back(name + " " + std::to_string(code));
  }
  bool has(const std::string& e) const {
    for (auto& x : events)
      if (x == e) return true;
    return false;
  }
  int count(const std::string& prefix) const {
    int n = 0;
    for (auto& x : events)
      if (x.rfind(prefix, 0) == 0) ++n;
    return n;
  }
};

class WSocketTest : public ::testing::Test {
 protected:
  platform::EventLoop loop;
};

TEST_F(WSocketTest, ConnectsToLoopbackListenerAndClosesOnce) {
  LoopbackListener listener;
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  std::vector<std::pair<SocketState, SocketState>> states;
  s.onChangeState = [&](AsyncSocket&, SocketState a, SocketState b) { states.push_back({a, b}); };
  s.setProto(SocketProto::Tcp);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(listener.port()));
  s.setMultiThreaded(true);
  s.connect();
  EXPECT_EQ(s.state(), SocketState::Connecting);
  EXPECT_TRUE(r.events.empty()) << "no event may fire inside Connect";
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.has("connected 0"); }));
  EXPECT_EQ(s.state(), SocketState::Connected);
  s.close();
  EXPECT_EQ(s.state(), SocketState::Closed);
  s.close();
  EXPECT_EQ(r.events, (std::vector<std::string>{"connected 0", "closed 0"}));
  ASSERT_GE(states.size(), 4u);
  EXPECT_EQ(states[0], std::make_pair(SocketState::Closed, SocketState::Opened));
  EXPECT_EQ(states[1], std::make_pair(SocketState::Opened, SocketState::Connecting));
  EXPECT_EQ(states[2], std::make_pair(SocketState::Connecting, SocketState::Connected));
  EXPECT_EQ(states[3], std::make_pair(SocketState::Connected, SocketState::Closed));
  EXPECT_TRUE(PumpUntil(loop, [&] { return listener.accepted() == 1; }));
}

TEST_F(WSocketTest, ClosedPortEndsWithConnectionRefused) {
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(test::ClosedLoopbackPort()));
  s.connect();
  ASSERT_TRUE(PumpUntil(
      loop, [&] { return r.count("connected") > 0 && s.state() == SocketState::Closed; }));
  EXPECT_EQ(r.events.front(), "connected 10061");
  EXPECT_LE(r.count("closed"), 1);
  EXPECT_EQ(s.lastError(), 10061);
}

TEST_F(WSocketTest, SocketCanConnectAgainAfterClose) {
  LoopbackListener listener;
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(listener.port()));
  for (int round = 0; round < 3; ++round) {
    s.connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("connected") == round + 1; }));
    s.close();
  }
  EXPECT_EQ(r.count("closed 0"), 3);
  EXPECT_TRUE(PumpUntil(loop, [&] { return listener.accepted() == 3; }));
}

TEST_F(WSocketTest, FullAcceptQueueLeavesConnectPendingWithoutBlocking) {
  LoopbackListener listener(/*accepting=*/false, /*backlog=*/0);
  const int filled = listener.fillAcceptQueue();
  ASSERT_GE(filled, 1);
  ASSERT_LT(filled, 64) << "the accept queue never filled";
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(listener.port()));
  const std::uint32_t start = platform::systemClock().ticks();
  s.connect();
  EXPECT_LT(platform::systemClock().ticks() - start, 1000u) << "Connect must not wait for the peer";
  test::PumpFor(loop, 1500);
  EXPECT_EQ(s.state(), SocketState::Connecting);
  EXPECT_EQ(r.count("connected"), 0);
  // The caller's time-out closes it; that ends the attempt and fires the close event.
  s.close();
  EXPECT_EQ(s.state(), SocketState::Closed);
  EXPECT_EQ(r.events, std::vector<std::string>{"closed 0"});
}

TEST_F(WSocketTest, PeerCloseFiresSessionClosedOnce) {
  ScriptedPeer peer({ScriptedPeer::send("bye"), ScriptedPeer::close()});
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  std::string got;
  s.onDataAvailable = [&](AsyncSocket& so, std::uint16_t) { got += so.receiveStr(); };
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(peer.port()));
  s.connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("closed") > 0; }));
  test::PumpFor(loop, 100);
  EXPECT_EQ(got, "bye");
  EXPECT_EQ(r.count("closed"), 1);
  EXPECT_EQ(s.state(), SocketState::Closed);
  s.close();
  EXPECT_EQ(r.count("closed"), 1);
}

TEST_F(WSocketTest, UnreadDataIsDiscardedSoTheLoopMovesOn) {
  ScriptedPeer peer({ScriptedPeer::send(std::string(5000, 'x')), ScriptedPeer::close()});
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  int calls = 0;
  s.onDataAvailable = [&](AsyncSocket&, std::uint16_t) { ++calls; };
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(peer.port()));
  s.connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("closed") > 0; }));
  // 5000 bytes thrown away 1024 at a time: at least five rounds.
  EXPECT_GE(calls, 5);
}

TEST_F(WSocketTest, LargeSendGoesOutInBlocksAndEndsWithDataSent) {
  // The sink accepts only once the queue has filled: the kernel then holds what fits and
  // the rest waits in the socket's queue.
  LoopbackListener sink(/*accepting=*/false);
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(sink.port()));
  s.connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.has("connected 0"); }));
  std::string data(32 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  EXPECT_EQ(s.send(data.data(), static_cast<int>(data.size())), static_cast<int>(data.size()));
  EXPECT_GT(s.bufferedByteCount(), 0) << "32 MB cannot all fit into the kernel at once";
  test::PumpFor(loop, 100);
  EXPECT_EQ(r.count("sent"), 0);
  sink.startAccepting();
  ASSERT_TRUE(PumpUntil(
      loop, [&] { return r.has("sent 0"); }, 30000));
  EXPECT_EQ(s.bufferedByteCount(), 0);
  EXPECT_EQ(r.count("sent"), 1);
  ASSERT_TRUE(
      PumpUntil(loop, [&] { return sink.bytesReceived() == static_cast<long long>(data.size()); }));
  s.setLinger(false, 0);
}

TEST_F(WSocketTest, SentBytesArriveInOrder) {
  ScriptedPeer peer({ScriptedPeer::expect(3000)});
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(peer.port()));
  s.connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.has("connected 0"); }));
  std::string data;
  for (int i = 0; i < 3000; ++i) data.push_back(static_cast<char>('a' + i % 26));
  s.sendStr(data.substr(0, 1000));
  s.sendStr(data.substr(1000));
  ASSERT_TRUE(PumpUntil(loop, [&] { return peer.received().size() >= 3000; }));
  EXPECT_EQ(peer.received(), data);
}

TEST_F(WSocketTest, SendWhenNotConnectedIsError10057) {
  AsyncSocket s(loop);
  try {
    s.sendStr("x");
    FAIL() << "no exception";
  } catch (const SocketError& e) {
    EXPECT_STREQ(e.what(), "Error 10057 in function Send\r\nSocket is not connected");
  }
  int errors = 0;
  s.onError = [&](AsyncSocket&) { ++errors; };
  EXPECT_EQ(s.sendStr("x"), -1);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(s.lastError(), 10057);
  EXPECT_EQ(s.lastErrorMessage(), "Error 10057 in function Send\r\nSocket is not connected");
}

TEST_F(WSocketTest, PropertiesCannotChangeUnlessClosed) {
  LoopbackListener listener;
  AsyncSocket s(loop);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(listener.port()));
  s.connect();
  ASSERT_NE(s.state(), SocketState::Closed);
  auto expectError = [&](auto&& call, const char* text) {
    try {
      call();
      ADD_FAILURE() << "no exception for " << text;
    } catch (const SocketError& e) {
      EXPECT_STREQ(e.what(), text);
    }
  };
  expectError([&] { s.setAddr("127.0.0.2"); }, "Cannot change Addr if not closed");
  expectError([&] { s.setPort("1"); }, "Cannot change Port if not closed");
  expectError([&] { s.setProto(SocketProto::Tcp); }, "Cannot change Proto if not closed");
  expectError([&] { s.setLocalAddr("0.0.0.0"); }, "Cannot change LocalAddr if not closed");
  expectError([&] { s.setLocalPort(0); }, "Cannot change LocalPort if not closed");
  expectError([&] { s.setSocksLevel(SocksLevel::V5); }, "Can't change socks level if not closed");
  expectError([&] { s.setSocksPort(1080); }, "Can't change socks port if not closed");
  expectError([&] { s.setSocksServer("127.0.0.1"); }, "Can't change socks server if not closed");
  expectError([&] { s.connect(); }, "Connect: Socket already in use");
  EXPECT_EQ(s.addr(), "127.0.0.1");
  s.close();
  s.setAddr("127.0.0.2");
  EXPECT_EQ(s.addr(), "127.0.0.2");
}

TEST_F(WSocketTest, PropertyValuesAreCheckedAndTrimmed) {
  AsyncSocket s(loop);
  EXPECT_EQ(s.proto(), SocketProto::Tcp);
  EXPECT_EQ(s.localAddr(), "0.0.0.0");
  EXPECT_EQ(s.localPort(), 0);
  EXPECT_EQ(s.socksLevel(), SocksLevel::V5);
  EXPECT_EQ(s.state(), SocketState::Closed);
  s.setSocksServer("  127.0.0.1 \t");
  EXPECT_EQ(s.socksServer(), "127.0.0.1");
  try {
    s.setLocalAddr("not an address");
    ADD_FAILURE();
  } catch (const SocketError& e) {
    EXPECT_STREQ(e.what(), "SetLocalAddr(): Invalid IP address");
  }
  EXPECT_EQ(s.localAddr(), "0.0.0.0");
}

TEST_F(WSocketTest, ConnectRefusesMissingSettings) {
  auto message = [&](const std::function<void(AsyncSocket&)>& setup) {
    AsyncSocket s(loop);
    setup(s);
    try {
      s.connect();
    } catch (const SocketError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([](AsyncSocket& s) { s.setAddr("127.0.0.1"); }), "Connect: No Port Specified");
  EXPECT_EQ(message([](AsyncSocket& s) { s.setPort("1"); }), "Connect: No IP Address Specified");
  EXPECT_EQ(message([](AsyncSocket& s) {
              s.setAddr("127.0.0.1");
              s.setPort("");
            }),
            "connect: WSocketResolvePort: Invalid Port.");
  EXPECT_EQ(
      message([](AsyncSocket& s) {
        s.setAddr("127.0.0.1");
        s.setPort("no-such-service-here");
      }),
      "connect: WSocketResolvePort: Cannot convert port 'no-such-service-here', Error #11004");
  EXPECT_EQ(message([](AsyncSocket& s) {
              s.setAddr("");
              s.setPort("1");
            }),
            "connect: WSocketResolveHost: '' Invalid Hostname.");
  EXPECT_EQ(message([](AsyncSocket& s) {
              s.setAddr("127.0.0.1");
              s.setPort("1");
              s.setProto(SocketProto::Udp);
              s.setSocksServer("127.0.0.1");
              s.setSocksPort(1080);
            }),
            "tcp is the only protocol supported thru socks server");
  EXPECT_EQ(message([](AsyncSocket& s) {
              s.setAddr("127.0.0.1");
              s.setPort("1");
              s.setSocksServer("127.0.0.1");  // and no port for it
            }),
            "connect: WSocketResolvePort: Invalid Port.");
}

TEST_F(WSocketTest, ServiceNamesAndLocalBindWork) {
  LoopbackListener listener;
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  s.setAddr("localhost");  // resolved inside Connect from /etc/hosts
  s.setPort(std::to_string(listener.port()));
  s.setLocalAddr("127.0.0.1");
  s.connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("connected") == 1; }));
  EXPECT_EQ(r.events.front(), "connected 0");
  s.close();
}

TEST_F(WSocketTest, BindFailureIsReported) {
  LoopbackListener listener;
  AsyncSocket s(loop);
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(listener.port()));
  s.setLocalAddr("127.0.0.1");
  s.setLocalPort(listener.port());  // in use by the listener
  try {
    s.connect();
    ADD_FAILURE() << "bound to a port in use";
  } catch (const SocketError& e) {
    EXPECT_EQ(std::string(e.what()), "winsock.bind failed, error #10048");
  }
  s.close();
  EXPECT_EQ(s.state(), SocketState::Closed);
}

TEST_F(WSocketTest, onErrorReplacesExceptions) {
  AsyncSocket s(loop);
  std::vector<std::string> errors;
  s.onError = [&](AsyncSocket& so) { errors.push_back(so.lastErrorMessage()); };
  s.setAddr("127.0.0.1");
  s.connect();
  s.setLocalAddr("x");
  EXPECT_EQ(errors, (std::vector<std::string>{"Connect: No Port Specified",
                                              "SetLocalAddr(): Invalid IP address"}));
  EXPECT_EQ(s.state(), SocketState::Closed);
}

TEST_F(WSocketTest, SocketDestroyedInsideItsHandlers) {
  LoopbackListener listener;
  // Destroyed on connect.
  {
    auto s = std::make_unique<AsyncSocket>(loop);
    bool fired = false;
    s->onSessionConnected = [&](AsyncSocket&, std::uint16_t) {
      fired = true;
      s.reset();
    };
    s->setAddr("127.0.0.1");
    s->setPort(std::to_string(listener.port()));
    s->connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return fired; }));
    EXPECT_EQ(s, nullptr);
    test::PumpFor(loop, 50);
  }
  // Destroyed on a refused connect.
  {
    auto s = std::make_unique<AsyncSocket>(loop);
    s->onSessionConnected = [&](AsyncSocket&, std::uint16_t) { s.reset(); };
    s->setAddr("127.0.0.1");
    s->setPort(std::to_string(test::ClosedLoopbackPort()));
    s->connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
  }
  // Destroyed in onSessionClosed (peer close) and in onDataAvailable.
  {
    ScriptedPeer peer({ScriptedPeer::send("hello"), ScriptedPeer::close()});
    auto s = std::make_unique<AsyncSocket>(loop);
    s->onSessionClosed = [&](AsyncSocket&, std::uint16_t) { s.reset(); };
    s->setAddr("127.0.0.1");
    s->setPort(std::to_string(peer.port()));
    s->connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
  }
  {
    ScriptedPeer peer({ScriptedPeer::send("hello")});
    auto s = std::make_unique<AsyncSocket>(loop);
    s->onDataAvailable = [&](AsyncSocket&, std::uint16_t) { s.reset(); };
    s->setAddr("127.0.0.1");
    s->setPort(std::to_string(peer.port()));
    s->connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
    test::PumpFor(loop, 50);
  }
  // Destroyed in onDataSent and in onError.
  {
    auto s = std::make_unique<AsyncSocket>(loop);
    s->onSessionConnected = [&](AsyncSocket& so, std::uint16_t) { so.sendStr("ping"); };
    s->onDataSent = [&](AsyncSocket&, std::uint16_t) { s.reset(); };
    s->setAddr("127.0.0.1");
    s->setPort(std::to_string(listener.port()));
    s->connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
  }
  {
    auto s = std::make_unique<AsyncSocket>(loop);
    s->onError = [&](AsyncSocket&) { s.reset(); };
    s->sendStr("x");
    EXPECT_EQ(s, nullptr);
  }
}

TEST_F(WSocketTest, ExceptionInHandlerAbortsTheConnection) {
  ScriptedPeer peer({ScriptedPeer::send("data")});
  AsyncSocket s(loop);
  Recorder r;
  r.attach(s);
  std::string bgText;
  s.onDataAvailable = [&](AsyncSocket&, std::uint16_t) {
    throw std::runtime_error("line too long");
  };
  s.onBgException = [&](AsyncSocket&, const std::exception& e, bool& canClose) {
    bgText = e.what();
    EXPECT_TRUE(canClose);
  };
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(peer.port()));
  s.connect();
  ASSERT_TRUE(
      PumpUntil(loop, [&] { return s.state() == SocketState::Closed && r.count("closed") == 1; }));
  EXPECT_EQ(bgText, "line too long");
}

TEST_F(WSocketTest, BgExceptionHandlerCanKeepTheConnection) {
  ScriptedPeer peer({ScriptedPeer::send("data")});
  AsyncSocket s(loop);
  int bg = 0;
  s.onDataAvailable = [&](AsyncSocket& so, std::uint16_t) {
    so.receiveStr();
    throw std::runtime_error("x");
  };
  s.onBgException = [&](AsyncSocket&, const std::exception&, bool& canClose) {
    ++bg;
    canClose = false;
  };
  s.setAddr("127.0.0.1");
  s.setPort(std::to_string(peer.port()));
  s.connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return bg == 1; }));
  test::PumpFor(loop, 50);
  EXPECT_EQ(s.state(), SocketState::Connected);
  s.close();
}

TEST(TBufferTest, FixedCapacityWithReadAndWriteCounts) {
  SocketBuffer b(1460);
  EXPECT_EQ(b.capacity(), 1460);
  EXPECT_EQ(SocketBuffer(0).capacity(), 1514);
  EXPECT_EQ(SocketBuffer(-5).capacity(), 1514);
  std::string data(2000, 'q');
  EXPECT_EQ(b.write(data.data(), 2000), 1460);
  EXPECT_TRUE(b.full());
  EXPECT_EQ(b.write(data.data(), 10), 0);
  b.remove(460);
  int len = 0;
  b.peek(len);
  EXPECT_EQ(len, 1000);
  EXPECT_EQ(b.size(), 1000);
  b.remove(5000);
  EXPECT_EQ(b.size(), 0);
  EXPECT_FALSE(b.full());
}

TEST(SocketErrorsTest, MessagesAndTable) {
  EXPECT_EQ(socketErrorMessage(10061, "Connect"),
            "Error 10061 in function Connect\r\nConnection refused");
  EXPECT_EQ(socketErrorText(0), "No Error");
  EXPECT_EQ(socketErrorText(10060), "Connection timed out");
  EXPECT_EQ(socketErrorText(11001), "Host not found");
  EXPECT_EQ(socketErrorText(12345), "Not a WinSock error");
}

}  // namespace
