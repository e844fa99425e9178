// The SOCKS 5 reply parsers fed in every chunk size, and the request builders.
#include "net/socks_reply.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::net;
using namespace ravelin::runtime;

namespace {

using net::socks::ParseStatus;
using net::socks::Reply;
using test::Bytes;

// Feeds the bytes growing by chunk bytes at a time, the way a socket collects them, and
// returns the first result that is not "need more" (or the last one).
Reply feed(const std::function<Reply(std::string_view)>& parse, const std::string& bytes,
           std::size_t chunk) {
  Reply r;
  std::size_t have = 0;
  while (have < bytes.size()) {
    have = std::min(bytes.size(), have + chunk);
    r = parse(std::string_view(bytes).substr(0, have));
    if (r.status != ParseStatus::NeedMore) return r;
  }
  return r;
}

void forEveryChunk(const std::function<Reply(std::string_view)>& parse, const std::string& bytes,
                   const std::function<void(const Reply&)>& check) {
  for (std::size_t chunk = 1; chunk <= bytes.size(); ++chunk) {
    SCOPED_TRACE("chunk size " + std::to_string(chunk));
    check(feed(parse, bytes, chunk));
  }
}

TEST(SocksReplyTest, RequestsHaveTheWireLayout) {
  EXPECT_EQ(net::socks::buildGreeting(false), Bytes({5, 1, 0}));
  EXPECT_EQ(net::socks::buildGreeting(true), Bytes({5, 1, 2}));
  EXPECT_EQ(net::socks::buildConnectRequest("1.2.3.4", 4661),
            Bytes({5, 1, 0, 3, 7}) + "1.2.3.4" + Bytes({0x12, 0x35}));
  EXPECT_EQ(net::socks::buildAuthRequest("user", "secret"),
            Bytes({1, 4}) + "user" + Bytes({6}) + "secret");
  EXPECT_EQ(net::socks::buildAuthRequest(std::string(300, 'u'), "").size(), 1u + 1 + 255 + 1);
}

TEST(SocksReplyTest, MethodReply) {
  const auto parse = [](std::string_view b) { return net::socks::parseMethodReply(b); };
  forEveryChunk(parse, Bytes({5, 0}), [](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Done);
    EXPECT_EQ(r.method, 0);
    EXPECT_EQ(r.consumed, 2u);
  });
  forEveryChunk(parse, Bytes({5, 2, 9, 9}), [](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Done);
    EXPECT_EQ(r.method, 2);
    EXPECT_EQ(r.consumed, 2u);
  });
  forEveryChunk(parse, Bytes({5, 255}), [](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Error);
    EXPECT_EQ(r.error, 20003);
    EXPECT_EQ(r.errorText, "authentification method not acceptable");
  });
  forEveryChunk(parse, Bytes({4, 0}), [](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Error);
    EXPECT_EQ(r.error, 20002);
    EXPECT_EQ(r.errorText, "socks version error");
  });
  EXPECT_EQ(net::socks::parseMethodReply("").status, ParseStatus::NeedMore);
  EXPECT_EQ(net::socks::parseMethodReply(Bytes({5})).status, ParseStatus::NeedMore);
}

TEST(SocksReplyTest, AuthReply) {
  const auto parse = [](std::string_view b) { return net::socks::parseAuthReply(b); };
  forEveryChunk(parse, Bytes({1, 0}), [](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Done);
    EXPECT_EQ(r.consumed, 2u);
  });
  forEveryChunk(parse, Bytes({1, 1}), [](const Reply& r) {
    EXPECT_EQ(r.error, 20015);
    EXPECT_EQ(r.errorText, "socks authentication failed");
  });
  forEveryChunk(parse, Bytes({5, 0}), [](const Reply& r) { EXPECT_EQ(r.error, 20002); });
  const Reply tooMuch = net::socks::parseAuthReply(Bytes({1, 0, 0}));
  EXPECT_EQ(tooMuch.error, 20001);
  EXPECT_EQ(tooMuch.errorText, "too much data availaible");
}

TEST(SocksReplyTest, ConnectReplyWithIPv4Address) {
  const auto parse = [](std::string_view b) { return net::socks::parseConnectReply(b); };
  forEveryChunk(parse, Bytes({5, 0, 0, 1, 10, 0, 0, 7, 0x04, 0xD2}), [](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Done);
    EXPECT_EQ(r.consumed, 10u);
    EXPECT_EQ(r.boundAddr, "10.0.0.7");
    EXPECT_EQ(r.boundPort, "1234");
  });
  // What follows the reply is not part of it.
  forEveryChunk(parse, Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 80}) + "hello", [](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Done);
    EXPECT_EQ(r.consumed, 10u);
  });
}

TEST(SocksReplyTest, ConnectReplyWithName) {
  const auto parse = [](std::string_view b) { return net::socks::parseConnectReply(b); };
  forEveryChunk(parse, Bytes({5, 0, 0, 3, 9}) + "localhost" + Bytes({0x1F, 0x90}),
                [](const Reply& r) {
                  EXPECT_EQ(r.status, ParseStatus::Done);
                  EXPECT_EQ(r.consumed, 16u);
                  EXPECT_EQ(r.boundAddr, "localhost");
                  EXPECT_EQ(r.boundPort, "8080");
                });
  // A name as long as the length byte allows is collected in full.
  const std::string longName(255, 'n');
  forEveryChunk(parse, Bytes({5, 0, 0, 3, 255}) + longName + Bytes({0, 1}), [&](const Reply& r) {
    EXPECT_EQ(r.status, ParseStatus::Done);
    EXPECT_EQ(r.boundAddr, longName);
  });
}

TEST(SocksReplyTest, ConnectReplyFailures) {
  const auto parse = [](std::string_view b) { return net::socks::parseConnectReply(b); };
  const char* texts[] = {"general SOCKS server failure", "connection not allowed by ruleset",
                         "network unreachable",          "host unreachable",
                         "connection refused",           "time to live expired",
                         "command not supported",        "address type not supported"};
  for (int code = 1; code <= 8; ++code) {
    forEveryChunk(parse, Bytes({5, code, 0, 1, 0, 0, 0, 0, 0, 0}), [&](const Reply& r) {
      EXPECT_EQ(r.status, ParseStatus::Error);
      EXPECT_EQ(r.error, 20003 + code);
      EXPECT_EQ(r.errorText, texts[code - 1]);
    });
  }
  const Reply unassigned = net::socks::parseConnectReply(Bytes({5, 42}));
  EXPECT_EQ(unassigned.error, 20012);
  EXPECT_EQ(unassigned.errorText, "unassigned error #42");
  forEveryChunk(parse, Bytes({5, 0, 0, 4}) + std::string(18, '\0'), [](const Reply& r) {
    EXPECT_EQ(r.error, 20011);
    EXPECT_EQ(r.errorText, "address type not supported");
  });
  forEveryChunk(parse, Bytes({4, 0, 0, 1, 0, 0, 0, 0, 0, 0}),
                [](const Reply& r) { EXPECT_EQ(r.error, 20002); });
  EXPECT_EQ(net::socks::parseConnectReply(Bytes({5, 0, 0, 1, 1, 2, 3})).status,
            ParseStatus::NeedMore);
}

}  // namespace
