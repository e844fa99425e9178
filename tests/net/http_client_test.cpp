#include "net/http_client.h"
#include "net/http_proxy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/peer_process.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::net;
using namespace ravelin::runtime;

namespace {

const std::string kDefaultAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";

std::string Pattern(std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s.push_back(static_cast<char>(i % 256));
  return s;
}

struct Outcome {
  int done = 0;
  std::uint16_t error = 0xFFFF;
  int status = 0;
  std::string reason;
  std::string body;
};

class HttpCliTest : public ::testing::Test {
 protected:
  platform::EventLoop loop;
  test::TempDir dir;
  std::unique_ptr<HttpClient> cli = std::make_unique<HttpClient>(loop);
  Outcome out;
  int docBegins = 0, docDatas = 0, locationChanges = 0;

  void SetUp() override {
    cli->bodyString = &out.body;
    cli->onRequestDone = [this](HttpClient& c, HttpRequest, std::uint16_t error) {
      ++out.done;
      out.error = error;
      out.status = c.statusCode();
      out.reason = c.reasonPhrase();
    };
    cli->onDocBegin = [this](HttpClient&) { ++docBegins; };
    cli->onDocData = [this](HttpClient&, const char*, int) { ++docDatas; };
    cli->onLocationChange = [this](HttpClient&) { ++locationChanges; };
  }

  // Starts a GET and processes the loop until the request is done (at most 20 s).
  Outcome& Get(const std::string& url) {
    cli->url = url;
    cli->startGet();
    EXPECT_EQ(out.done, 0) << "OnRequestDone ran inside StartGet";
    EXPECT_TRUE(test::RunLoopUntil(
        loop, [this] { return out.done > 0; }, 20000))
        << url;
    // No second onRequestDone follows.
    loop.waitAndProcess(20);
    loop.processPending();
    EXPECT_EQ(out.done, 1);
    return out;
  }

  test::OddHttpServer Server() {
    return test::OddHttpServer({dir.file("requests.log"), "", "", "", ""});
  }
};

TEST_F(HttpCliTest, TheUpdateWorkersRequestIsSentByteForByte) {
  auto server = Server();
  ASSERT_GT(server.port(), 0);
  cli->agent = "Mozilla/4.0";
  Get(server.url("/ok/100"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.status, 200);
  EXPECT_EQ(out.body, Pattern(100));
  EXPECT_EQ(cli->contentLength(), 100);
  EXPECT_EQ(cli->rcvdCount(), 100);
  EXPECT_EQ(cli->contentType(), "application/octet-stream");
  EXPECT_EQ(cli->connectionHost(), "127.0.0.1");
  EXPECT_EQ(cli->connectionPort(), std::to_string(server.port()));
  EXPECT_EQ(docBegins, 1);
  EXPECT_GE(docDatas, 1);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0],
            "GET /ok/100 HTTP/1.0\r\nAccept: " + kDefaultAccept +
                "\r\nUser-Agent: Mozilla/4.0\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                "\r\nAccept-Encoding: gzip\r\n\r\n");
  ASSERT_FALSE(cli->rcvdHeader().empty());
  EXPECT_EQ(cli->rcvdHeader()[0], "HTTP/1.0 200 OK");
  // Through a proxy (this server answers the absolute form itself) the Host line is alike.
  cli->proxy = "127.0.0.1:" + std::to_string(server.port());
  out = Outcome();
  Get("http://127.0.0.1:8080/ok/1");
  EXPECT_NE(server.requests().back().find("\r\nHost: 127.0.0.1:8080\r\n"), std::string::npos);
}

TEST_F(HttpCliTest, AUrlWithoutPathAsksForTheRootAndTheClientCanBeUsedAgain) {
  auto server = Server();
  Get("http://127.0.0.1:" + std::to_string(server.port()));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.status, 400);  // this server has nothing at "/"
  ASSERT_GE(server.requests().size(), 1u);
  EXPECT_TRUE(server.requests()[0].starts_with("GET / HTTP/1.0\r\nAccept: "));
  EXPECT_NE(server.requests()[0].find("User-Agent: Mozilla/3.0 (compatible)\r\n"),
            std::string::npos);
  out = Outcome();
  Get(server.url("/nolen/3000"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.body, Pattern(3000));
  EXPECT_EQ(cli->contentLength(), -1);
}

TEST_F(HttpCliTest, PythonsHttpServerServesAFile) {
  const std::string content = Pattern(70000) + "end";
  test::WriteFile(dir.file("list.met"), content);
  const int port = test::FreeLoopbackPort();
  test::PeerProcess py({"python3", "-m", "http.server", "--bind", "127.0.0.1", "--directory",
                        test::UnixPath(dir.path().string()), std::to_string(port)});
  ASSERT_TRUE(test::WaitForPort(port, 10000));
  std::ostringstream stream;
  cli->bodyString = nullptr;
  cli->bodyStream = &stream;
  Get("http://127.0.0.1:" + std::to_string(port) + "/list.met");
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.status, 200);
  EXPECT_EQ(stream.str(), content);
  EXPECT_EQ(cli->contentLength(), static_cast<std::int64_t>(content.size()));
}

TEST_F(HttpCliTest, AnErrorStatusIsFetchedTwiceAndEndsWithAnEmptyBody) {
  auto server = Server();
  Get(server.url("/404"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.status, 404);
  EXPECT_EQ(out.reason, "Not Found");
  EXPECT_EQ(out.body, "");
  EXPECT_EQ(docBegins, 0);
  const auto reqs = server.requests();
  ASSERT_EQ(reqs.size(), 2u);
  EXPECT_EQ(reqs[0], reqs[1]);
}

TEST_F(HttpCliTest, RelocationIsFollowedUnlessTheLengthIsZero) {
  auto server = Server();
  Get(server.url("/301"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.status, 200);
  EXPECT_EQ(out.body, Pattern(10));
  EXPECT_EQ(locationChanges, 1);
  EXPECT_EQ(cli->relocations(), 1);
  auto reqs = server.requests();
  ASSERT_EQ(reqs.size(), 2u);
  EXPECT_TRUE(reqs[1].starts_with("GET /ok/10 HTTP/1.0\r\n"));

  out = Outcome();
  Get(server.url("/301cl0"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.status, 301);
  EXPECT_EQ(out.body, "");
  EXPECT_EQ(server.requests().size(), 3u);

  out = Outcome();
  Get(server.url("/301abs"));
  EXPECT_EQ(out.body, Pattern(7));
  out = Outcome();
  Get(server.url("/301rel"));
  EXPECT_EQ(out.body, Pattern(9));
}

TEST_F(HttpCliTest, ARelocationLoopEndsAfterTwentyWithAnError) {
  auto server = Server();
  Get(server.url("/loop/0"));
  EXPECT_EQ(out.error, httperrTooManyRelocations);
  EXPECT_NE(out.reason.find("Too many relocations"), std::string::npos);
  EXPECT_EQ(server.requests().size(), 21u);
  EXPECT_EQ(out.body, "");
}

TEST_F(HttpCliTest, AHeaderlessHtmlReplyIsBodyFromItsFirstLine) {
  auto server = Server();
  Get(server.url("/html"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.body, "<HtMl><body>ed2k://|server|1.2.3.4|4661|/</body></html>\r\n");
  EXPECT_EQ(cli->contentType(), "text/html");
}

TEST_F(HttpCliTest, AHeaderLineOver8192BytesEndsTheRequestWithCode4) {
  auto server = Server();
  Get(server.url("/longline"));
  EXPECT_EQ(out.error, httperrLineTooLong);
  EXPECT_EQ(out.reason, "HTTP line too long");
  EXPECT_EQ(out.body, "");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(HttpCliTest, AbortGivesExactlyOneDoneWithError3NeverFromInsideAbort) {
  auto server = Server();
  cli->url = server.url("/silent");
  cli->startGet();
  ASSERT_TRUE(test::RunLoopUntil(
      loop, [&] { return cli->state() == httpWaitingHeader; }, 10000));
  test::RunLoopUntil(
      loop, [] { return false; }, 200);
  EXPECT_EQ(out.done, 0);
  cli->abort();
  EXPECT_EQ(out.done, 0);
  EXPECT_EQ(cli->state(), httpReady);
  test::RunLoopUntil(
      loop, [] { return false; }, 200);
  EXPECT_EQ(out.done, 1);
  EXPECT_EQ(out.error, httperrAborted);
  EXPECT_EQ(out.status, 404);
  EXPECT_EQ(out.reason, "Connection aborted on request");
  // Abort when ready only closes; nothing more follows.
  cli->abort();
  test::RunLoopUntil(
      loop, [] { return false; }, 100);
  EXPECT_EQ(out.done, 1);
}

TEST_F(HttpCliTest, AbortDuringTheNameLookup) {
  auto server = Server();
  cli->url = "http://localhost:" + std::to_string(server.port()) + "/ok/5";
  cli->startGet();
  EXPECT_EQ(cli->state(), httpDnsLookup);
  cli->abort();
  EXPECT_EQ(out.done, 0);
  test::RunLoopUntil(
      loop, [] { return false; }, 300);
  EXPECT_EQ(out.done, 1);
  EXPECT_EQ(out.error, httperrAborted);
  EXPECT_TRUE(server.requests().empty());
  // The name itself works.
  out = Outcome();
  Get(cli->url);
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.body, Pattern(5));
}

TEST_F(HttpCliTest, StartGetWhileBusyRaisesCode1) {
  auto server = Server();
  cli->url = server.url("/silent");
  cli->startGet();
  try {
    cli->startGet();
    ADD_FAILURE() << "no exception";
  } catch (const HttpError& e) {
    EXPECT_EQ(e.errorCode(), httperrBusy);
    EXPECT_STREQ(e.what(), "HTTP component is busy");
  }
  cli->abort();
  test::RunLoopUntil(
      loop, [this] { return out.done > 0; }, 2000);
  EXPECT_EQ(out.done, 1);
}

TEST_F(HttpCliTest, FailuresToConnectOrLookUpEndWithANonZeroError) {
  const int closed = test::ClosedLoopbackPort();
  Get("http://127.0.0.1:" + std::to_string(closed) + "/x");
  EXPECT_EQ(out.error, 10061);
  EXPECT_EQ(out.status, 404);
  EXPECT_EQ(out.reason, "Connection refused (Error #10061)");

  out = Outcome();
  Get("http:///no-host");
  EXPECT_NE(out.error, 0);
  EXPECT_EQ(out.status, 404);

  out = Outcome();
  Get("http://127.0.0.1:notaport/x");
  EXPECT_NE(out.error, 0);
  EXPECT_EQ(out.status, 404);
}

TEST_F(HttpCliTest, ASlowBodyArrivesPieceByPiece) {
  auto server = Server();
  Get(server.url("/slow/5"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.body, std::string(500, 's'));
  EXPECT_GE(docDatas, 2);
  EXPECT_EQ(docBegins, 1);
}

TEST_F(HttpCliTest, AServerThatClosesWithoutAnswerEndsTheRequest) {
  auto server = Server();
  Get(server.url("/close"));
  EXPECT_EQ(out.body, "");
  EXPECT_EQ(out.status, 0);
}

TEST_F(HttpCliTest, ThroughTinyproxyTheAbsoluteUrlIsAsked) {
  auto server = Server();
  test::TinyProxy proxy({});
  ASSERT_TRUE(proxy.ok()) << "tinyproxy did not start";
  cli->proxy = "127.0.0.1";
  cli->proxyPort = std::to_string(proxy.port());
  Get(server.url("/ok/2000"));
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.body, Pattern(2000));
  EXPECT_EQ(cli->requestTarget(), server.url("/ok/2000"));
  EXPECT_EQ(cli->connectionPort(), std::to_string(proxy.port()));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("/ok/2000"), std::string::npos);
  // A port in Proxy wins over ProxyPort; relocations go through the proxy as well.
  cli->proxy = "127.0.0.1:" + std::to_string(proxy.port());
  cli->proxyPort = "1";
  out = Outcome();
  Get(server.url("/301"));
  EXPECT_EQ(out.body, Pattern(10));
  EXPECT_EQ(cli->requestTarget(), server.url("/ok/10"));
}

TEST_F(HttpCliTest, ARelocationChoosesTheProxyOfItsNewUrl) {
  auto server = Server();
  test::TinyProxy proxy({});
  ASSERT_TRUE(proxy.ok()) << "tinyproxy did not start";
  const ProxyEnvironment env = {{"http_proxy", "127.0.0.1:" + std::to_string(proxy.port())},
                                {"no_proxy", "127.0.0.0/8"}};
  // Through the proxy to localhost, relocated to 127.0.0.1, which no_proxy names.
  const std::string url = "http://localhost:" + std::to_string(server.port()) + "/301abs";
  useProxyRules(*cli, url, "", 0, env);
  Get(url);
  EXPECT_EQ(out.body, Pattern(7));
  EXPECT_EQ(cli->connectionPort(), std::to_string(server.port()));
  EXPECT_EQ(cli->requestTarget(), "/ok/7");
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_NE(server.requests()[0].find("X-Tinyproxy"), std::string::npos) << "not through the proxy";
}

class HttpsCliTest : public HttpCliTest {
 protected:
  void SetUp() override {
    HttpCliTest::SetUp();
    if (!ca.ok) GTEST_SKIP() << ca.error;
  }
  test::OddHttpServer TlsServer(const std::string& cert, const std::string& key) {
    return test::OddHttpServer({dir.file("tls.log"), "", "", cert, key});
  }
  const test::TestCa& ca = test::TestCa::get();
};

TEST_F(HttpsCliTest, HttpsWithATrustedCertificateByAddressAndByName) {
  auto server = TlsServer(ca.leafCert, ca.leafKey);
  ASSERT_GT(server.port(), 0);
  cli->tlsCaFile = ca.caCert;
  Get(server.url("/ok/100000", true));
  EXPECT_EQ(out.error, 0) << out.reason;
  EXPECT_EQ(out.status, 200);
  EXPECT_EQ(out.body, Pattern(100000));
  EXPECT_EQ(cli->connectionPort(), std::to_string(server.port()));

  out = Outcome();
  Get("https://localhost:" + std::to_string(server.port()) + "/404");
  EXPECT_EQ(out.error, 0) << out.reason;
  EXPECT_EQ(out.status, 404);
  EXPECT_EQ(server.requests().size(), 3u);
  EXPECT_EQ(server.requests()[1],
            "GET /404 HTTP/1.0\r\nAccept: " + kDefaultAccept +
                "\r\nUser-Agent: Mozilla/3.0 (compatible)\r\nHost: localhost:" +
                std::to_string(server.port()) + "\r\nAccept-Encoding: gzip\r\n\r\n");
}

TEST_F(HttpsCliTest, TheSystemTrustStoreCanBeRedirected) {
  auto server = TlsServer(ca.leafCert, ca.leafKey);
  {
    test::ScopedVariable redirect("SSL_CERT_FILE", ca.caCert.c_str());
    Get(server.url("/ok/10", true));
  }
  EXPECT_EQ(out.error, 0) << out.reason;
  EXPECT_EQ(out.body, Pattern(10));
}

TEST_F(HttpsCliTest, UntrustedAndWrongHostCertificatesFail) {
  {
    auto server = TlsServer(ca.leafCert, ca.leafKey);  // the test CA is not in the system store
    Get(server.url("/ok/10", true));
    EXPECT_EQ(out.error, httperrTls);
    EXPECT_NE(out.reason.find("certificate verify failed"), std::string::npos) << out.reason;
    EXPECT_EQ(out.body, "");
    // Nothing is asked of it. SChannel checks the certificate after the handshake, so there
    // the server sees a connection that ends without a request.
    for (const std::string& request : server.requests()) EXPECT_EQ(request, "");
  }
  for (const auto& [cert, key] :
       {std::pair{ca.otherCert, ca.otherKey}, {ca.selfCert, ca.selfKey}}) {
    auto server = TlsServer(cert, key);
    cli->tlsCaFile = ca.caCert;
    out = Outcome();
    Get(server.url("/ok/10", true));
    EXPECT_EQ(out.error, httperrTls);
    EXPECT_NE(out.reason.find("certificate verify failed"), std::string::npos) << out.reason;
  }
  // Plain HTTP spoken to a TLS port fails as well, with a reason.
  auto server = Server();
  out = Outcome();
  Get("https://127.0.0.1:" + std::to_string(server.port()) + "/ok/10");
  EXPECT_EQ(out.error, httperrTls);
  EXPECT_NE(out.reason.find("TLS"), std::string::npos);
}

TEST_F(HttpsCliTest, HttpsThroughTinyproxysTunnelAndARelocationFromHttp) {
  auto tls = TlsServer(ca.leafCert, ca.leafKey);
  auto plain = Server();
  cli->tlsCaFile = ca.caCert;
  // http -> https relocation, directly.
  Get(plain.url("/to?" + tls.url("/ok/8", true)));
  EXPECT_EQ(out.error, 0) << out.reason;
  EXPECT_EQ(out.body, Pattern(8));

  test::TinyProxy proxy({tls.port()});
  ASSERT_TRUE(proxy.ok()) << "tinyproxy did not start";
  cli->proxy = "127.0.0.1";
  cli->proxyPort = std::to_string(proxy.port());
  out = Outcome();
  Get(tls.url("/ok/5000", true));
  EXPECT_EQ(out.error, 0) << out.reason;
  EXPECT_EQ(out.body, Pattern(5000));
  // Inside the tunnel the server is asked with the path only.
  EXPECT_EQ(cli->requestTarget(), "/ok/5000");
  ASSERT_FALSE(tls.requests().empty());
  EXPECT_TRUE(tls.requests().back().starts_with("GET /ok/5000 HTTP/1.0\r\n"));

  // The proxy refuses a tunnel to a port it does not allow.
  auto other = TlsServer(ca.leafCert, ca.leafKey);
  out = Outcome();
  Get(other.url("/ok/5", true));
  EXPECT_EQ(out.error, httperrProxyTunnel);
  EXPECT_NE(out.reason.find("proxy refused the tunnel"), std::string::npos) << out.reason;
}

}  // namespace
