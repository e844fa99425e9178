#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravelin::serverlist {

// A dotted IPv4 address as the server lists accept it (see the rules in ip_port.cpp).
bool isValidIP(std::string_view text);

// The highest server port: every TCP port. Today's servers listen anywhere up to it
// (43333, 47111, 58612, ...), so no reader, merge or dialog refuses a port below it.
inline constexpr std::int32_t kMaxServerPort = 65535;

// A port text that parses with parseInt32 and lies from 0 to kMaxServerPort.
bool isValidPort(std::string_view text);

}  // namespace ravelin::serverlist
