// The catalogue reader on the build's real catalogues, the plural rules against the same
// expressions compiled by C++, and the choice of language.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/file_io.h"
#include "platform/message_languages.h"
#include "platform/mo_catalogue.h"

using namespace ravelin::platform;

TEST(MoCatalogue, ReadsRealCataloguesInBothByteOrders) {
  const std::string bytes = readWholeFile(RAVELIN_TEST_LOCALEDIR "/de/LC_MESSAGES/ravelin.mo");
  const MoCatalogue german = MoCatalogue::fromBytes(bytes);
  EXPECT_GT(german.texts().size(), 100u);
  EXPECT_NE(german.header().find("Language: de\n"), std::string::npos);
  EXPECT_STREQ(german.find("Usage:"), "Aufruf:");
  EXPECT_EQ(german.find("not a text of the program"), nullptr);
  EXPECT_EQ(german.find(""), nullptr);

  // msgfmt's little- and big-endian output of one catalogue (the fuzz target's seeds).
  const auto little = MoCatalogue::load(RAVELIN_TEST_DATA "/../fuzz/corpus/catalogue/little.mo");
  const auto big = MoCatalogue::load(RAVELIN_TEST_DATA "/../fuzz/corpus/catalogue/big.mo");
  ASSERT_TRUE(little && big);
  EXPECT_EQ(big->texts(), little->texts());
  EXPECT_STREQ(big->find("Open"), "Öffnen");
  EXPECT_STREQ(big->findPlural("%s server", 22), "%s b");

  // Damage is refused, never read past: cut short, a wrong magic, a text without its NUL.
  EXPECT_THROW(MoCatalogue::fromBytes(bytes.substr(0, bytes.size() - 1)), std::runtime_error);
  EXPECT_THROW(MoCatalogue::fromBytes("\x12\x04\x95\xde" + bytes.substr(4)), std::runtime_error);
  EXPECT_THROW(MoCatalogue::fromBytes(bytes.substr(0, 16)), std::runtime_error);
  EXPECT_FALSE(MoCatalogue::load(RAVELIN_TEST_LOCALEDIR "/xx/LC_MESSAGES/ravelin.mo"));
}

// A rule as the header's text and as the same C++ expression, compiled.
#define RULE(forms, expression)                                       \
  {                                                                   \
    "nplurals=" #forms "; plural=" #expression ";", forms,            \
        [](unsigned long n) -> unsigned long { return (expression); } \
  }

TEST(PluralRule, AgreesWithTheSameExpressionsInCpp) {
  const std::vector<std::tuple<const char*, unsigned long, unsigned long (*)(unsigned long)>>
      rules = {
          RULE(2, n != 1),
          RULE(2, n > 1),
          RULE(3, n % 10 == 1 && n % 100 != 11                                    ? 0
                  : n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 10 || n % 100 >= 20) ? 1
                                                                                  : 2),
          RULE(6, n == 0                          ? 0
                  : n == 1                        ? 1
                  : n == 2                        ? 2
                  : n % 100 >= 3 && n % 100 <= 10 ? 3
                  : n % 100 >= 11                 ? 4
                                                  : 5),
          RULE(4, !(n - 1)                       ? 0
                  : (n * 2 + 1) / 3 - n / 4 >= 5 ? 1
                  : n < 7 || !n                  ? 2
                                                 : 3),
      };
  for (const auto& [header, forms, expected] : rules) {
    const auto rule = PluralRule::fromHeader(std::string("Language: x\nPlural-Forms: ") + header);
    ASSERT_TRUE(rule) << header;
    EXPECT_EQ(rule->forms(), forms);
    for (unsigned long n = 0; n < 1000; ++n)
      ASSERT_EQ(rule->formFor(n), expected(n)) << header << n;
  }
  // Out of range and division by zero give the first form.
  EXPECT_EQ(PluralRule::parse("n + 1", 2)->formFor(1), 0u);
  EXPECT_EQ(PluralRule::parse("1 / (n - 3)", 2)->formFor(3), 0u);
  EXPECT_EQ(PluralRule::parse("1 / (n - 3)", 2)->formFor(4), 1u);
  for (const char* bad : {"n ==", "(n", "n = 1", "n ? 1", "n | 1", "x", "", "n 1", "1 ? 2 : "})
    EXPECT_FALSE(PluralRule::parse(bad, 2)) << bad;
  EXPECT_FALSE(PluralRule::parse(std::string(100, '(') + "n" + std::string(100, ')'), 2));
  EXPECT_FALSE(PluralRule::parse(std::string(300, '!') + "n", 2));
  EXPECT_FALSE(PluralRule::fromHeader("Plural-Forms: nplurals=0; plural=0;"));
}

TEST(MessageLanguages, FollowTheEnvironmentThenTheSystem) {
  const std::vector<std::string> system = {"fr-CA", "en-US", "de-DE"};
  using V = std::vector<std::string>;
  EXPECT_EQ(catalogueLanguages({"de:it", "C.UTF-8", "", ""}, system), (V{"de", "it"}));
  EXPECT_EQ(catalogueLanguages({"de", "", "", "C"}, system), V{});
  EXPECT_EQ(catalogueLanguages({"de", "POSIX", "es", ""}, system), V{});
  EXPECT_EQ(catalogueLanguages({"", "", "de_AT.UTF-8@euro", "fr"}, system),
            (V{"de_AT@euro", "de_AT", "de@euro", "de"}));
  EXPECT_EQ(catalogueLanguages({"", "", "", ""}, system), (V{"fr_CA", "fr"}));
  EXPECT_EQ(catalogueLanguages({"", "", "", ""}, {"it-IT"}), (V{"it_IT", "it"}));
  EXPECT_EQ(catalogueLanguages({"..\\..\\x:de", "", "", ""}, {}), V{"de"});
}
