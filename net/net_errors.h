#pragma once

// The platform's network errors as the Winsock numbers this program reports everywhere
// (WSAECONNREFUSED, WSAETIMEDOUT, WSAHOST_NOT_FOUND, ...).
namespace ravelin::net {

// The network error numbers, named after the Winsock codes they carry. They travel as
// plain int (and as std::uint16_t in the socket events), so the enumerators convert to
// int where they meet those; 0 is "no error". The SOCKS negotiation adds its own numbers
// above this range (socks::SocksError in net/socks_reply.h).
enum NetError : int {
  WSAEINTR = 10004,
  WSAEBADF = 10009,
  WSAEACCES = 10013,
  WSAEFAULT = 10014,
  WSAEINVAL = 10022,
  WSAEMFILE = 10024,
  WSAEWOULDBLOCK = 10035,
  WSAEINPROGRESS = 10036,
  WSAEALREADY = 10037,
  WSAENOTSOCK = 10038,
  WSAEDESTADDRREQ = 10039,
  WSAEMSGSIZE = 10040,
  WSAEPROTOTYPE = 10041,
  WSAENOPROTOOPT = 10042,
  WSAEPROTONOSUPPORT = 10043,
  WSAESOCKTNOSUPPORT = 10044,
  WSAEOPNOTSUPP = 10045,
  WSAEPFNOSUPPORT = 10046,
  WSAEAFNOSUPPORT = 10047,
  WSAEADDRINUSE = 10048,
  WSAEADDRNOTAVAIL = 10049,
  WSAENETDOWN = 10050,
  WSAENETUNREACH = 10051,
  WSAENETRESET = 10052,
  WSAECONNABORTED = 10053,
  WSAECONNRESET = 10054,
  WSAENOBUFS = 10055,
  WSAEISCONN = 10056,
  WSAENOTCONN = 10057,
  WSAESHUTDOWN = 10058,
  WSAETOOMANYREFS = 10059,
  WSAETIMEDOUT = 10060,
  WSAECONNREFUSED = 10061,
  WSAELOOP = 10062,
  WSAENAMETOOLONG = 10063,
  WSAEHOSTDOWN = 10064,
  WSAEHOSTUNREACH = 10065,
  WSAENOTEMPTY = 10066,
  WSAEPROCLIM = 10067,
  WSAEUSERS = 10068,
  WSAEDQUOT = 10069,
  WSAESTALE = 10070,
  WSAEREMOTE = 10071,
  WSASYSNOTREADY = 10091,
  WSAVERNOTSUPPORTED = 10092,
  WSANOTINITIALISED = 10093,
  // Name lookup.
  WSAHOST_NOT_FOUND = 11001,
  WSATRY_AGAIN = 11002,
  WSANO_RECOVERY = 11003,
  WSANO_DATA = 11004,
};

// The number for a POSIX errno value (ECONNREFUSED -> WSAECONNREFUSED, EPIPE -> WSAENOTCONN,
// ...). Values without a counterpart are returned unchanged (and read as "Not a WinSock
// error").
int winsockErrorFromErrno(int err);

// The number for a getaddrinfo() result (EAI_NONAME -> WSAHOST_NOT_FOUND, EAI_AGAIN ->
// WSATRY_AGAIN, ...); sysErr is errno, used for EAI_SYSTEM.
int winsockErrorFromGai(int gaiError, int sysErr);

}  // namespace ravelin::net
