// Our catalogue reader gives what gettext gives, for every text and count of every language.
#include <gtest/gtest.h>
#include <libintl.h>
#include <locale.h>

#include <cstdlib>
#include <filesystem>

#include "platform/mo_catalogue.h"

using namespace ravelin::platform;

TEST(MoCatalogue, AnswersAsGettextDoes) {
  std::size_t languages = 0;
  for (const auto& entry : std::filesystem::directory_iterator(RAVELIN_TEST_LOCALEDIR)) {
    const std::string language = entry.path().filename();
    ++languages;
    // gettext reads the same file under a domain of this test's own for each language:
    // it keeps a domain's catalogue once read.
    const std::string name = "ravelin-reader-check-" + language;
    const char* domain = name.c_str();
    const std::string dir = RAVELIN_TEST_LOCALEDIR "/" + language + "/LC_MESSAGES/";
    const auto catalogue = MoCatalogue::load(dir + "ravelin.mo");
    ASSERT_TRUE(catalogue) << language;
    std::filesystem::copy_file(dir + "ravelin.mo", dir + name + ".mo",
                               std::filesystem::copy_options::overwrite_existing);
    setenv("LANGUAGE", language.c_str(), 1);
    setlocale(LC_MESSAGES, "C.UTF-8");
    bindtextdomain(domain, RAVELIN_TEST_LOCALEDIR);
    bind_textdomain_codeset(domain, "UTF-8");
    std::size_t plurals = 0;
    for (const auto& [english, forms] : catalogue->texts()) {
      EXPECT_STREQ(catalogue->find(english), dgettext(domain, english.c_str())) << english;
      if (forms.size() < 2) continue;
      ++plurals;
      for (unsigned long n = 0; n < 120; ++n)
        EXPECT_STREQ(catalogue->findPlural(english, n),
                     dngettext(domain, english.c_str(), "plural", n))
            << english << n;
    }
    EXPECT_GT(plurals, 0u) << language;
    EXPECT_EQ(catalogue->header(), dgettext(domain, ""));
    std::filesystem::remove(dir + name + ".mo");
  }
  EXPECT_GE(languages, 4u);
  unsetenv("LANGUAGE");
  setlocale(LC_MESSAGES, "C");
}
