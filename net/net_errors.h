#pragma once
// The platform's network errors as the Winsock numbers this program reports everywhere
// (wsaeConnRefused, wsaeTimedOut, wsaHostNotFound, ...): the sockets of the platform layer
// report them already in this numbering. The SOCKS negotiation adds its own numbers above
// this range (socks::SocksError in net/socks_reply.h).
#include "platform/socket.h"

namespace ravelin::net {

using platform::NetError;
using enum platform::NetError;

}  // namespace ravelin::net
