#include "net/http_proxy.h"

#include <gtest/gtest.h>

using namespace ravelin::net;

TEST(HttpProxy, SettingsWinThenTheVariableOfTheSchemeUnlessNoProxyNamesTheHost) {
  const ProxyEnvironment env = {{"http_proxy", "http://127.0.0.1:3128/"},
                                {"HTTP_PROXY", "127.0.0.2:1"},
                                {"https_proxy", ""},
                                {"HTTPS_PROXY", "u%40x:p%3Aw@[::1]"},
                                {"no_proxy", " .example.org, lists.example.net:8080 ,10.0.0.1"}};
  EXPECT_EQ(proxyFor("http://a.test/l.met", "proxy.test", 8080, env),
            (HttpProxy{"proxy.test", "8080", "", ""}));
  EXPECT_EQ(proxyFor("http://a.test/l.met", "", 0, env), (HttpProxy{"127.0.0.1", "3128", "", ""}));
  EXPECT_EQ(proxyFor("https://a.test/", "", 0, env), (HttpProxy{"[::1]", "1080", "u@x", "p:w"}));
  for (const char* direct : {"http://example.org/", "http://www.Example.org./x",
                             "https://lists.example.net/a", "http://10.0.0.1:80/"})
    EXPECT_EQ(proxyFor(direct, "", 0, env), std::nullopt) << direct;
  EXPECT_THROW(proxyFor("http://a.test/", "", 0, {{"http_proxy", "socks5://127.0.0.1:1080"}}),
               std::invalid_argument);
  EXPECT_TRUE(noProxyNamesHost("*", "anything.test"));
  EXPECT_TRUE(noProxyNamesHost("localhost,127.0.0.1,[::1]:80", "[::1]"));
  EXPECT_FALSE(noProxyNamesHost("example.org", "badexample.org"));
  EXPECT_FALSE(noProxyNamesHost("0.0.1", "10.0.0.1"));  // addresses only literally
}

TEST(HttpProxy, NoProxyRangesCoverTheirAddressesOnly) {
  const std::string list = "example.org, 127.0.0.0/8, 192.168.1.0/24, fd00::/8, [::1]";
  for (const char* host :
       {"127.0.0.1", "127.255.0.9", "192.168.1.200", "[fd12::5]", "::1", "0:0:0:0:0:0:0:1"})
    EXPECT_TRUE(noProxyNamesHost(list, host)) << host;
  for (const char* host : {"128.0.0.1", "192.168.2.1", "[fe80::1]", "[::2]", "127.0.0.1.nip.test"})
    EXPECT_FALSE(noProxyNamesHost(list, host)) << host;
  EXPECT_TRUE(noProxyNamesHost("10.0.0.1/32", "10.0.0.1"));
  EXPECT_TRUE(noProxyNamesHost("0.0.0.0/0", "8.8.8.8"));
  for (const char* bad : {"10.0.0.0/33", "10.0.0.0/x", "10.0.0.0/99999999999", "10.0.0/8",
                          "1.2.3.4::/8", "1::2::/16", "fd00::/129"})
    EXPECT_FALSE(noProxyNamesHost(bad, "10.0.0.1")) << bad;
}
