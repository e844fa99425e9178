// The asynchronous socket against real loopback peers: direct connects (accepted,
// refused, unanswered), sending and receiving, closing, errors, name lookup.
#include "verify/wsocket.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "peers/loopback_peers.h"
#include "platform/ticks.h"

namespace {

using test::LoopbackListener;
using test::PumpUntil;
using test::ScriptedPeer;

// Records every event of a socket as text, in order.
struct Recorder {
  std::vector<std::string> events;
  void attach(TWSocket& s) {
    s.OnSessionConnected = [this](TWSocket&, std::uint16_t e) { add("connected", e); };
    s.OnSessionClosed = [this](TWSocket&, std::uint16_t e) { add("closed", e); };
    s.OnDnsLookupDone = [this](TWSocket&, std::uint16_t e) { add("dns", e); };
    s.OnDataSent = [this](TWSocket&, std::uint16_t e) { add("sent", e); };
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
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  std::vector<std::pair<TSocketState, TSocketState>> states;
  s.OnChangeState = [&](TWSocket&, TSocketState a, TSocketState b) { states.push_back({a, b}); };
  s.SetProto("tcp");
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(listener.port()));
  s.SetMultiThreaded(true);
  s.Connect();
  EXPECT_EQ(s.State(), wsConnecting);
  EXPECT_TRUE(r.events.empty()) << "no event may fire inside Connect";
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.has("connected 0"); }));
  EXPECT_EQ(s.State(), wsConnected);
  s.Close();
  EXPECT_EQ(s.State(), wsClosed);
  s.Close();
  EXPECT_EQ(r.events, (std::vector<std::string>{"connected 0", "closed 0"}));
  ASSERT_GE(states.size(), 4u);
  EXPECT_EQ(states[0], std::make_pair(wsClosed, wsOpened));
  EXPECT_EQ(states[1], std::make_pair(wsOpened, wsConnecting));
  EXPECT_EQ(states[2], std::make_pair(wsConnecting, wsConnected));
  EXPECT_EQ(states[3], std::make_pair(wsConnected, wsClosed));
  EXPECT_TRUE(PumpUntil(loop, [&] { return listener.accepted() == 1; }));
}

TEST_F(WSocketTest, ClosedPortEndsWithConnectionRefused) {
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(test::ClosedLoopbackPort()));
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("connected") > 0 && s.State() == wsClosed; }));
  EXPECT_EQ(r.events.front(), "connected 10061");
  EXPECT_LE(r.count("closed"), 1);
  EXPECT_EQ(s.LastError(), 10061);
}

TEST_F(WSocketTest, SocketCanConnectAgainAfterClose) {
  LoopbackListener listener;
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(listener.port()));
  for (int round = 0; round < 3; ++round) {
    s.Connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("connected") == round + 1; }));
    s.Close();
  }
  EXPECT_EQ(r.count("closed 0"), 3);
  EXPECT_TRUE(PumpUntil(loop, [&] { return listener.accepted() == 3; }));
}

TEST_F(WSocketTest, FullAcceptQueueLeavesConnectPendingWithoutBlocking) {
  LoopbackListener listener(/*accepting=*/false, /*backlog=*/0);
  const int filled = listener.fillAcceptQueue();
  ASSERT_GE(filled, 1);
  ASSERT_LT(filled, 64) << "the accept queue never filled";
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(listener.port()));
  const std::uint32_t start = platform::ticks();
  s.Connect();
  EXPECT_LT(platform::ticks() - start, 1000u) << "Connect must not wait for the peer";
  test::PumpFor(loop, 1500);
  EXPECT_EQ(s.State(), wsConnecting);
  EXPECT_EQ(r.count("connected"), 0);
  // The caller's time-out closes it; that ends the attempt and fires the close event.
  s.Close();
  EXPECT_EQ(s.State(), wsClosed);
  EXPECT_EQ(r.events, std::vector<std::string>{"closed 0"});
}

TEST_F(WSocketTest, PeerCloseFiresSessionClosedOnce) {
  ScriptedPeer peer({ScriptedPeer::send("bye"), ScriptedPeer::close()});
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  std::string got;
  s.OnDataAvailable = [&](TWSocket& so, std::uint16_t) { got += so.ReceiveStr(); };
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(peer.port()));
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("closed") > 0; }));
  test::PumpFor(loop, 100);
  EXPECT_EQ(got, "bye");
  EXPECT_EQ(r.count("closed"), 1);
  EXPECT_EQ(s.State(), wsClosed);
  s.Close();
  EXPECT_EQ(r.count("closed"), 1);
}

TEST_F(WSocketTest, UnreadDataIsDiscardedSoTheLoopMovesOn) {
  ScriptedPeer peer({ScriptedPeer::send(std::string(5000, 'x')), ScriptedPeer::close()});
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  int calls = 0;
  s.OnDataAvailable = [&](TWSocket&, std::uint16_t) { ++calls; };
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(peer.port()));
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("closed") > 0; }));
  // 5000 bytes thrown away 1024 at a time: at least five rounds.
  EXPECT_GE(calls, 5);
}

TEST_F(WSocketTest, LargeSendGoesOutInBlocksAndEndsWithDataSent) {
  // The sink accepts only once the queue has filled: the kernel then holds what fits and
  // the rest waits in the socket's queue.
  LoopbackListener sink(/*accepting=*/false);
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(sink.port()));
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.has("connected 0"); }));
  std::string data(32 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  EXPECT_EQ(s.Send(data.data(), static_cast<int>(data.size())), static_cast<int>(data.size()));
  EXPECT_GT(s.BufferedByteCount(), 0) << "32 MB cannot all fit into the kernel at once";
  test::PumpFor(loop, 100);
  EXPECT_EQ(r.count("sent"), 0);
  sink.startAccepting();
  ASSERT_TRUE(PumpUntil(
      loop, [&] { return r.has("sent 0"); }, 30000));
  EXPECT_EQ(s.BufferedByteCount(), 0);
  EXPECT_EQ(r.count("sent"), 1);
  ASSERT_TRUE(
      PumpUntil(loop, [&] { return sink.bytesReceived() == static_cast<long long>(data.size()); }));
  s.SetLinger(false, 0);
}

TEST_F(WSocketTest, SentBytesArriveInOrder) {
  ScriptedPeer peer({ScriptedPeer::expect(3000)});
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(peer.port()));
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.has("connected 0"); }));
  std::string data;
  for (int i = 0; i < 3000; ++i) data.push_back(static_cast<char>('a' + i % 26));
  s.SendStr(data.substr(0, 1000));
  s.SendStr(data.substr(1000));
  ASSERT_TRUE(PumpUntil(loop, [&] { return peer.received().size() >= 3000; }));
  EXPECT_EQ(peer.received(), data);
}

TEST_F(WSocketTest, SendWhenNotConnectedIsError10057) {
  TWSocket s(loop);
  try {
    s.SendStr("x");
    FAIL() << "no exception";
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "Error 10057 in function Send\r\nSocket is not connected");
  }
  int errors = 0;
  s.OnError = [&](TWSocket&) { ++errors; };
  EXPECT_EQ(s.SendStr("x"), -1);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(s.LastError(), 10057);
  EXPECT_EQ(s.LastErrorMessage(), "Error 10057 in function Send\r\nSocket is not connected");
}

TEST_F(WSocketTest, PropertiesCannotChangeUnlessClosed) {
  LoopbackListener listener;
  TWSocket s(loop);
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(listener.port()));
  s.Connect();
  ASSERT_NE(s.State(), wsClosed);
  auto expectError = [&](auto&& call, const char* text) {
    try {
      call();
      ADD_FAILURE() << "no exception for " << text;
    } catch (const ESocketException& e) {
      EXPECT_STREQ(e.what(), text);
    }
  };
  expectError([&] { s.SetAddr("127.0.0.2"); }, "Cannot change Addr if not closed");
  expectError([&] { s.SetPort("1"); }, "Cannot change Port if not closed");
  expectError([&] { s.SetProto("tcp"); }, "Cannot change Proto if not closed");
  expectError([&] { s.SetLocalAddr("0.0.0.0"); }, "Cannot change LocalAddr if not closed");
  expectError([&] { s.SetLocalPort("0"); }, "Cannot change LocalPort if not closed");
  expectError([&] { s.SetSocksLevel("5"); }, "Can't change socks level if not closed");
  expectError([&] { s.SetSocksPort("1080"); }, "Can't change socks port if not closed");
  expectError([&] { s.SetSocksServer("127.0.0.1"); }, "Can't change socks server if not closed");
  expectError([&] { s.Connect(); }, "Connect: Socket already in use");
  EXPECT_EQ(s.Addr(), "127.0.0.1");
  s.Close();
  s.SetAddr("127.0.0.2");
  EXPECT_EQ(s.Addr(), "127.0.0.2");
}

TEST_F(WSocketTest, PropertyValuesAreCheckedAndTrimmed) {
  TWSocket s(loop);
  EXPECT_EQ(s.Proto(), "tcp");
  EXPECT_EQ(s.LocalAddr(), "0.0.0.0");
  EXPECT_EQ(s.LocalPort(), "0");
  EXPECT_EQ(s.SocksLevel(), "5");
  EXPECT_EQ(s.State(), wsClosed);
  s.SetSocksServer("  127.0.0.1 \t");
  EXPECT_EQ(s.SocksServer(), "127.0.0.1");
  s.SetSocksPort(" 1080 ");
  EXPECT_EQ(s.SocksPort(), "1080");
  s.SetSocksLevel("4a");
  EXPECT_EQ(s.SocksLevel(), "4A");
  s.SetSocksLevel("5");
  EXPECT_THROW(s.SetSocksLevel("6"), ESocketException);
  try {
    s.SetSocksLevel("4b");
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "Invalid socks level. Must be 4, 4A or 5.");
  }
  try {
    s.SetLocalAddr("not an address");
    ADD_FAILURE();
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "SetLocalAddr(): Invalid IP address");
  }
  EXPECT_EQ(s.LocalAddr(), "0.0.0.0");
}

TEST_F(WSocketTest, ConnectRefusesMissingSettings) {
  auto message = [&](const std::function<void(TWSocket&)>& setup) {
    TWSocket s(loop);
    setup(s);
    try {
      s.Connect();
    } catch (const ESocketException& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([](TWSocket& s) { s.SetAddr("127.0.0.1"); }), "Connect: No Port Specified");
  EXPECT_EQ(message([](TWSocket& s) { s.SetPort("1"); }), "Connect: No IP Address Specified");
  EXPECT_EQ(message([](TWSocket& s) {
              s.SetAddr("127.0.0.1");
              s.SetPort("");
            }),
            "connect: WSocketResolvePort: Invalid Port.");
  EXPECT_EQ(
      message([](TWSocket& s) {
        s.SetAddr("127.0.0.1");
        s.SetPort("no-such-service-here");
      }),
      "connect: WSocketResolvePort: Cannot convert port 'no-such-service-here', Error #11004");
  EXPECT_EQ(message([](TWSocket& s) {
              s.SetAddr("");
              s.SetPort("1");
            }),
            "connect: WSocketResolveHost: '' Invalid Hostname.");
  EXPECT_EQ(message([](TWSocket& s) {
              s.SetAddr("127.0.0.1");
              s.SetPort("1");
              s.SetProto("udp");
              s.SetSocksServer("127.0.0.1");
              s.SetSocksPort("1080");
            }),
            "tcp is the only protocol supported thru socks server");
}

TEST_F(WSocketTest, ServiceNamesAndLocalBindWork) {
  LoopbackListener listener;
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  s.SetAddr("localhost");  // resolved inside Connect from /etc/hosts
  s.SetPort(std::to_string(listener.port()));
  s.SetLocalAddr("127.0.0.1");
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return r.count("connected") == 1; }));
  EXPECT_EQ(r.events.front(), "connected 0");
  s.Close();
}

TEST_F(WSocketTest, BindFailureIsReported) {
  LoopbackListener listener;
  TWSocket s(loop);
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(listener.port()));
  s.SetLocalAddr("127.0.0.1");
  s.SetLocalPort(std::to_string(listener.port()));  // in use by the listener
  try {
    s.Connect();
    ADD_FAILURE() << "bound to a port in use";
  } catch (const ESocketException& e) {
    EXPECT_EQ(std::string(e.what()), "winsock.bind failed, error #10048");
  }
  s.Close();
  EXPECT_EQ(s.State(), wsClosed);
}

TEST_F(WSocketTest, OnErrorReplacesExceptions) {
  TWSocket s(loop);
  std::vector<std::string> errors;
  s.OnError = [&](TWSocket& so) { errors.push_back(so.LastErrorMessage()); };
  s.SetAddr("127.0.0.1");
  s.Connect();
  s.SetSocksLevel("x");
  EXPECT_EQ(errors, (std::vector<std::string>{"Connect: No Port Specified",
                                              "Invalid socks level. Must be 4, 4A or 5."}));
  EXPECT_EQ(s.State(), wsClosed);
}

TEST_F(WSocketTest, SocketDestroyedInsideItsHandlers) {
  LoopbackListener listener;
  // Destroyed on connect.
  {
    auto s = std::make_unique<TWSocket>(loop);
    bool fired = false;
    s->OnSessionConnected = [&](TWSocket&, std::uint16_t) {
      fired = true;
      s.reset();
    };
    s->SetAddr("127.0.0.1");
    s->SetPort(std::to_string(listener.port()));
    s->Connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return fired; }));
    EXPECT_EQ(s, nullptr);
    test::PumpFor(loop, 50);
  }
  // Destroyed on a refused connect.
  {
    auto s = std::make_unique<TWSocket>(loop);
    s->OnSessionConnected = [&](TWSocket&, std::uint16_t) { s.reset(); };
    s->SetAddr("127.0.0.1");
    s->SetPort(std::to_string(test::ClosedLoopbackPort()));
    s->Connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
  }
  // Destroyed in OnSessionClosed (peer close) and in OnDataAvailable.
  {
    ScriptedPeer peer({ScriptedPeer::send("hello"), ScriptedPeer::close()});
    auto s = std::make_unique<TWSocket>(loop);
    s->OnSessionClosed = [&](TWSocket&, std::uint16_t) { s.reset(); };
    s->SetAddr("127.0.0.1");
    s->SetPort(std::to_string(peer.port()));
    s->Connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
  }
  {
    ScriptedPeer peer({ScriptedPeer::send("hello")});
    auto s = std::make_unique<TWSocket>(loop);
    s->OnDataAvailable = [&](TWSocket&, std::uint16_t) { s.reset(); };
    s->SetAddr("127.0.0.1");
    s->SetPort(std::to_string(peer.port()));
    s->Connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
    test::PumpFor(loop, 50);
  }
  // Destroyed in OnDataSent and in OnError.
  {
    auto s = std::make_unique<TWSocket>(loop);
    s->OnSessionConnected = [&](TWSocket& so, std::uint16_t) { so.SendStr("ping"); };
    s->OnDataSent = [&](TWSocket&, std::uint16_t) { s.reset(); };
    s->SetAddr("127.0.0.1");
    s->SetPort(std::to_string(listener.port()));
    s->Connect();
    ASSERT_TRUE(PumpUntil(loop, [&] { return s == nullptr; }));
  }
  {
    auto s = std::make_unique<TWSocket>(loop);
    s->OnError = [&](TWSocket&) { s.reset(); };
    s->SendStr("x");
    EXPECT_EQ(s, nullptr);
  }
}

TEST_F(WSocketTest, ExceptionInHandlerAbortsTheConnection) {
  ScriptedPeer peer({ScriptedPeer::send("data")});
  TWSocket s(loop);
  Recorder r;
  r.attach(s);
  std::string bgText;
  s.OnDataAvailable = [&](TWSocket&, std::uint16_t) { throw std::runtime_error("line too long"); };
  s.OnBgException = [&](TWSocket&, const std::exception& e, bool& canClose) {
    bgText = e.what();
    EXPECT_TRUE(canClose);
  };
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(peer.port()));
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return s.State() == wsClosed && r.count("closed") == 1; }));
  EXPECT_EQ(bgText, "line too long");
}

TEST_F(WSocketTest, BgExceptionHandlerCanKeepTheConnection) {
  ScriptedPeer peer({ScriptedPeer::send("data")});
  TWSocket s(loop);
  int bg = 0;
  s.OnDataAvailable = [&](TWSocket& so, std::uint16_t) {
    so.ReceiveStr();
    throw std::runtime_error("x");
  };
  s.OnBgException = [&](TWSocket&, const std::exception&, bool& canClose) {
    ++bg;
    canClose = false;
  };
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(peer.port()));
  s.Connect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return bg == 1; }));
  test::PumpFor(loop, 50);
  EXPECT_EQ(s.State(), wsConnected);
  s.Close();
}

TEST(TBufferTest, FixedCapacityWithReadAndWriteCounts) {
  TBuffer b(1460);
  EXPECT_EQ(b.Capacity(), 1460);
  EXPECT_EQ(TBuffer(0).Capacity(), 1514);
  EXPECT_EQ(TBuffer(-5).Capacity(), 1514);
  std::string data(2000, 'q');
  EXPECT_EQ(b.Write(data.data(), 2000), 1460);
  EXPECT_TRUE(b.Full());
  EXPECT_EQ(b.Write(data.data(), 10), 0);
  b.Remove(460);
  int len = 0;
  b.Peek(len);
  EXPECT_EQ(len, 1000);
  EXPECT_EQ(b.Size(), 1000);
  b.Remove(5000);
  EXPECT_EQ(b.Size(), 0);
  EXPECT_FALSE(b.Full());
}

TEST(SocketErrorsTest, MessagesAndTable) {
  EXPECT_EQ(WSocketErrorMessage(10061, "Connect"),
            "Error 10061 in function Connect\r\nConnection refused");
  EXPECT_EQ(WSocketErrorDesc(0), "No Error");
  EXPECT_EQ(WSocketErrorDesc(10060), "Connection timed out");
  EXPECT_EQ(WSocketErrorDesc(11001), "Host not found");
  EXPECT_EQ(WSocketErrorDesc(12345), "Not a WinSock error");
}

}  // namespace
