#include "app/options_rules.h"

#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::app;
using runtime::SourceKind;

namespace {

TEST(UrlDialogRule, PrefixesHttpOnlyWhereNoWebSchemeIsNamed) {
  // A secure address keeps its scheme instead of becoming "http://https://...".
  for (const auto& [kind, typed, stored] :
       {std::tuple{SourceKind::HTML, "example.org/a.html", "HTM|http://example.org/a.html"},
        {SourceKind::MET, "HTTP://Example.org/s.met", "MET|HTTP://Example.org/s.met"},
        {SourceKind::BOT, "see http://x/a.bot", "BOT|see http://x/a.bot"},
        {SourceKind::MET, "HTTPS://example.org/s.met", "MET|HTTPS://example.org/s.met"},
        {SourceKind::DNS, "/home/u/dns.txt", "DNS|/home/u/dns.txt"},
        {SourceKind::HTML, "", "HTM|http://"}})
    EXPECT_EQ(urlSourceText(urlFromDialog(kind, typed)), stored) << typed;
}

TEST(UrlRows, KindNamesAndCaseBlindStableSort) {
  EXPECT_EQ(urlKindName(test::Source("BOT|http://a")), "BOT-File");
  // A marker that is not at the start names the row after the first marker found.
  EXPECT_EQ(urlKindName(test::Source("old MET|x DNS|y")), "MET-File");
  EXPECT_EQ(urlKindFromName("MET-File"), SourceKind::MET);
  EXPECT_EQ(urlKindFromName("anything"), SourceKind::DNS);

  auto rows = test::Sources({"MET|http://b", "HTM|http://C", "DNS|a", "MET|http://a"});
  sortUrlRows(rows, 1, true);
  EXPECT_EQ(rows, test::Sources({"DNS|a", "MET|http://a", "MET|http://b", "HTM|http://C"}));
  sortUrlRows(rows, 0, false);
  EXPECT_EQ(rows, test::Sources({"MET|http://a", "MET|http://b", "HTM|http://C", "DNS|a"}));
}

TEST(OptionsFields, ProxyPortAndPasswordDigest) {
  EXPECT_EQ(proxyPortFromField(""), 0);
  EXPECT_EQ(proxyPortFromField("65535"), 65535);
  for (const char* refused : {"65536", "99999999999", "12a", "-1"})
    EXPECT_EQ(proxyPortFromField(refused), std::nullopt) << refused;
  EXPECT_EQ(ecPasswordAfterEdit("ABC", "", false), "ABC");
  EXPECT_EQ(ecPasswordAfterEdit("ABC", "", true), "");
  EXPECT_EQ(ecPasswordAfterEdit("ABC", "secret", true), "5EBE2294ECD0E0F08EAB7690D2A6EE69");
}

TEST(ConfirmOptions, AsksForAMissingClientThenForAnEmptyUrlList) {
  test::TempDir dir;
  test::WriteFile(dir.file("amule"), "");
  runtime::Settings s;
  s.EDPath = dir.path().string();
  s.EDFilename = "amule";
  s.URLs = test::Sources({"MET|http://a"});
  test::ScriptedPrompter prompter;
  runtime::AppContext ctx;
  ctx.prompter = &prompter;
  std::optional<std::string> warned;
  EXPECT_TRUE(confirmOptions(s, ctx, warned));
  EXPECT_TRUE(prompter.shown.empty());
  s.EDFilename = "no-such-client-program";
  s.URLs.clear();
  prompter.answers = {MsgResult::Yes, MsgResult::No};
  EXPECT_FALSE(confirmOptions(s, ctx, warned));
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text, kClientNotFound);
  EXPECT_EQ(prompter.shown[1].text, kNoUrlEntered);
  EXPECT_EQ(prompter.shown[1].icon, MsgIcon::Exclamation);

  // The missing client is asked about once per change of its fields.
  s.URLs = test::Sources({"MET|http://a"});
  EXPECT_TRUE(confirmOptions(s, ctx, warned));
  EXPECT_EQ(prompter.shown.size(), 2u);
  s.EDPath += "/other";
  prompter.answers = {MsgResult::No};
  EXPECT_FALSE(confirmOptions(s, ctx, warned));
  EXPECT_EQ(prompter.shown.size(), 3u);
}

}  // namespace
