#pragma once

// The platform's network errors as the Winsock numbers this program reports everywhere
// (10061 connection refused, 10060 timed out, 11001 host not found, ...).
namespace ravelin::net {

// The number for a POSIX errno value (ECONNREFUSED -> 10061, EPIPE -> 10057, ...).
// Values without a counterpart are returned unchanged (and read as "Not a WinSock error").
int winsockErrorFromErrno(int err);

// The number for a getaddrinfo() result (EAI_NONAME -> 11001, EAI_AGAIN -> 11002, ...);
// sysErr is errno, used for EAI_SYSTEM.
int winsockErrorFromGai(int gaiError, int sysErr);

}  // namespace ravelin::net
