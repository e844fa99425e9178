// Name lookups: the platform's asynchronous lookup and the socket's StartDnsLookup.
// Only names /etc/hosts holds are looked up outside a private namespace.
#include "net/dns_lookup.h"

#include <gtest/gtest.h>

#include "net/async_socket.h"
#include "peers/loopback_peers.h"
#include "platform/clock.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::net;
using namespace ravelin::runtime;

namespace {

using net::DnsLookup;
using platform::EventLoop;

TEST(DnsLookupTest, LocalhostIsAnsweredThroughTheLoop) {
  EventLoop loop;
  int error = -1;
  std::vector<std::string> found;
  auto lookup = DnsLookup::start(loop, "localhost", [&](int e, const std::vector<std::string>& a) {
    error = e;
    found = a;
  });
  EXPECT_EQ(error, -1) << "never answered inside start()";
  ASSERT_TRUE(test::PumpUntil(loop, [&] { return error != -1; }));
  EXPECT_EQ(error, 0);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.front(), "127.0.0.1");
  EXPECT_FALSE(lookup->pending());
}

TEST(DnsLookupTest, CancelledLookupNeverAnswers) {
  EventLoop loop;
  bool answered = false;
  auto lookup = DnsLookup::start(loop, "localhost",
                                 [&](int, const std::vector<std::string>&) { answered = true; });
  EXPECT_TRUE(lookup->pending());
  lookup->cancel();
  EXPECT_FALSE(lookup->pending());
  test::PumpFor(loop, 300);
  EXPECT_FALSE(answered);
  // Dropping the lookup cancels it as well.
  bool second = false;
  DnsLookup::start(loop, "localhost", [&](int, const std::vector<std::string>&) { second = true; });
  test::PumpFor(loop, 300);
  EXPECT_FALSE(second);
}

TEST(DnsLookupTest, AnswerAfterTheLoopIsGoneIsDropped) {
  std::shared_ptr<DnsLookup> lookup;
  {
    EventLoop loop;
    lookup = DnsLookup::start(loop, "localhost", [](int, const std::vector<std::string>&) {
      ADD_FAILURE() << "answered without a loop";
    });
  }
  // The helper posts its answer into a handle whose loop is gone: nothing runs, nothing
  // crashes, and the helper ends.
  for (int i = 0; i < 2000 && DnsLookup::helpersRunning() > 0; ++i)
    platform::systemClock().sleepMs(5);
  EXPECT_EQ(DnsLookup::helpersRunning(), 0);
  EXPECT_TRUE(lookup->pending());  // never answered
}

TEST(DnsLookupTest, BlockingLookup) {
  std::vector<std::string> found;
  EXPECT_EQ(DnsLookup::resolveNow("localhost", found), 0);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.front(), "127.0.0.1");
  // A syntactically impossible name fails without asking any server.
  EXPECT_NE(DnsLookup::resolveNow("bad..name", found), 0);
}

class WSocketDnsTest : public ::testing::Test {
 protected:
  EventLoop loop;
};

TEST_F(WSocketDnsTest, NumericAddressIsAnsweredBeforeTheCallReturns) {
  AsyncSocket s(loop);
  std::vector<int> done;
  s.onDnsLookupDone = [&](AsyncSocket&, std::uint16_t e) { done.push_back(e); };
  s.startDnsLookup("1.2.3.4");
  EXPECT_EQ(done, std::vector<int>{0});
  EXPECT_EQ(s.dnsResult(), "1.2.3.4");
  EXPECT_TRUE(s.dnsResultList().empty());
  // The platform's parser reads the short forms too.
  s.startDnsLookup("127.1");
  EXPECT_EQ(s.dnsResult(), "127.0.0.1");
}

TEST_F(WSocketDnsTest, EmptyNameIsAnError) {
  AsyncSocket s(loop);
  std::vector<int> done;
  s.onDnsLookupDone = [&](AsyncSocket&, std::uint16_t e) { done.push_back(e); };
  try {
    s.startDnsLookup("");
    ADD_FAILURE() << "no exception";
  } catch (const SocketError& e) {
    EXPECT_STREQ(e.what(), "DNS lookup: invalid host name.");
  }
  EXPECT_TRUE(done.empty()) << "with OnError unassigned the event does not follow";
  int errors = 0;
  s.onError = [&](AsyncSocket&) { ++errors; };
  s.startDnsLookup("");
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(done, std::vector<int>{10022});
  EXPECT_EQ(s.lastErrorMessage(), "DNS lookup: invalid host name.");
}

TEST_F(WSocketDnsTest, LocalhostIsResolvedAsynchronously) {
  AsyncSocket s(loop);
  std::vector<int> done;
  s.onDnsLookupDone = [&](AsyncSocket&, std::uint16_t e) { done.push_back(e); };
  s.startDnsLookup("localhost");
  EXPECT_TRUE(done.empty());
  ASSERT_TRUE(test::PumpUntil(loop, [&] { return !done.empty(); }));
  EXPECT_EQ(done, std::vector<int>{0});
  EXPECT_EQ(s.dnsResult(), "127.0.0.1");
  ASSERT_FALSE(s.dnsResultList().empty());
  EXPECT_EQ(s.dnsResultList().front(), "127.0.0.1");
}

TEST_F(WSocketDnsTest, InvalidNameFailsWithHostNotFound) {
  AsyncSocket s(loop);
  std::vector<int> done;
  s.onDnsLookupDone = [&](AsyncSocket&, std::uint16_t e) { done.push_back(e); };
  s.startDnsLookup("bad..name");
  ASSERT_TRUE(test::PumpUntil(loop, [&] { return !done.empty(); }));
  EXPECT_NE(done.front(), 0);
  EXPECT_EQ(s.dnsResult(), "");
}

TEST_F(WSocketDnsTest, StopAndRestartAndDestroyDuringLookup) {
  {
    AsyncSocket s(loop);
    int done = 0;
    s.onDnsLookupDone = [&](AsyncSocket&, std::uint16_t) { ++done; };
    s.startDnsLookup("localhost");
    s.stopDnsLookup();
    test::PumpFor(loop, 300);
    EXPECT_EQ(done, 0);
    // A new lookup replaces a pending one: one answer only.
    s.startDnsLookup("localhost");
    s.startDnsLookup("localhost");
    ASSERT_TRUE(test::PumpUntil(loop, [&] { return done == 1; }));
    test::PumpFor(loop, 300);
    EXPECT_EQ(done, 1);
  }
  {
    // The late answer of a destroyed socket touches nothing.
    auto s = std::make_unique<AsyncSocket>(loop);
    s->onDnsLookupDone = [](AsyncSocket&, std::uint16_t) {
      ADD_FAILURE() << "answered a dead socket";
    };
    s->startDnsLookup("localhost");
    s.reset();
    test::PumpFor(loop, 300);
  }
  {
    auto s = std::make_unique<AsyncSocket>(loop);
    s->onDnsLookupDone = [&](AsyncSocket&, std::uint16_t) { s.reset(); };
    s->startDnsLookup("localhost");
    ASSERT_TRUE(test::PumpUntil(loop, [&] { return s == nullptr; }));
  }
}

}  // namespace
