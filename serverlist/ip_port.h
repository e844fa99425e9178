#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The integer parse used wherever the system turns a text into a number: leading blanks,
// an optional sign, decimal digits or a hexadecimal number marked by $, x or 0x, and
// nothing after the number. Values must fit in 32 bits.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// A dotted IPv4 address as the server lists accept it (see the rules in ip_port.cpp).
bool IsValidIP(std::string_view text);

// A port text that parses with ParseInt32 and lies from 0 to 40000.
bool IsValidPort(std::string_view text);

// Removes blanks and control characters (every byte up to 0x20) from both ends.
std::string TrimText(std::string_view text);
