#pragma once
#include <string>

namespace ravelin::net {

// Texts of the network error numbers (see NetError in net/net_errors.h for the numbers; the
// SOCKS negotiation uses 20001..20017 above that range, see net/socks_reply.h).

// The description of a network error code: "Connection refused" for wsaeConnRefused, "No
// Error" for 0, "Not a WinSock error" for anything the table does not hold.
std::string socketErrorText(int code);

// "Error 10061 in function Connect\r\nConnection refused"
std::string socketErrorMessage(int code, const std::string& function);

}  // namespace ravelin::net
