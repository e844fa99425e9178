#pragma once
#include <optional>
#include <string_view>

// Compares two texts byte by byte with the letters a to z taken as A to Z; every other
// byte compares by its value, and a text that is a prefix of the other comes first.
// Returns -1, 0 or 1.
int CompareTextNoCase(std::string_view a, std::string_view b);

// The value of a text that is wholly a decimal number: an optional sign, digits with an
// optional fraction (at least one digit in all), and an optional exponent (e or E, an
// optional sign, digits). The decimal point is always ".". Nothing may precede or follow
// the number, and its value must fit in a double; otherwise there is no value.
std::optional<double> ParseNumberText(std::string_view text);
