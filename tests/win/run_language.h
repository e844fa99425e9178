#pragma once
#include <string>

namespace test {

// The language the desktop tests speak: English, as their expected texts are, unless
// RAVELIN_TEST_LANGUAGE names a catalogue (as po/LINGUAS does), for the tests that only look
// at the room the texts take. Set up before the first test.
std::string runLanguage();

}  // namespace test
