#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravelin::serverlist {

// A dotted IPv4 address as the server lists accept it (see the rules in ip_port.cpp).
bool isValidIP(std::string_view text);

// A port text that parses with parseInt32 and lies from 0 to 40000.
bool isValidPort(std::string_view text);

}  // namespace ravelin::serverlist
