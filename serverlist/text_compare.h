#pragma once
#include <optional>
#include <string_view>

namespace ravelin::serverlist {

// The value of a text that is wholly a decimal number: an optional sign, digits with an
// optional fraction (at least one digit in all), and an optional exponent (e or E, an
// optional sign, digits). The decimal point is always ".". Nothing may precede or follow
// the number, and its value must fit in a double; otherwise there is no value.
std::optional<double> parseNumberText(std::string_view text);

}  // namespace ravelin::serverlist
