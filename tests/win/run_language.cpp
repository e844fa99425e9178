#include "win/run_language.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/wide_text.h"
#include "runtime/translate.h"

namespace test {

std::string runLanguage() {
  const char* language = std::getenv("RAVELIN_TEST_LANGUAGE");
  return language && *language ? language : "en";
}

namespace {

// Loads the run's catalogue from the build tree before any window is made.
class RunLanguage : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::wstring language = ravelin::platform::wideFromUtf8(runLanguage());
    // The catalogue is chosen by LANGUAGE as for the user; English needs none.
    _wputenv_s(L"LANGUAGE", language.c_str());
    if (language != L"en") ravelin::runtime::startTranslation();
  }
};

[[maybe_unused]] const ::testing::Environment* const kRunLanguage =
    ::testing::AddGlobalTestEnvironment(new RunLanguage);

}  // namespace

}  // namespace test
