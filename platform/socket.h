#pragma once
// The operating system's IPv4 sockets, thin: non-blocking sockets that never raise a signal,
// addresses in host byte order, and every failure as the Winsock error number that this
// program reports everywhere (0: no error), whatever the system's own numbering is.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ravelin::platform {

// The network error numbers, named after the Winsock codes they carry. They travel as plain
// int (and as std::uint16_t in the socket events), so the enumerators convert to int where
// they meet those. The names differ from Winsock's own macros so that both can be seen at once.
enum NetError : int {
  wsaeIntr = 10004,
  wsaeBadF = 10009,
  wsaeAcces = 10013,
  wsaeFault = 10014,
  wsaeInval = 10022,
  wsaeMFile = 10024,
  wsaeWouldBlock = 10035,
  wsaeInProgress = 10036,
  wsaeAlready = 10037,
  wsaeNotSock = 10038,
  wsaeDestAddrReq = 10039,
  wsaeMsgSize = 10040,
  wsaeProtoType = 10041,
  wsaeNoProtoOpt = 10042,
  wsaeProtoNoSupport = 10043,
  wsaeSocktNoSupport = 10044,
  wsaeOpNotSupp = 10045,
  wsaePfNoSupport = 10046,
  wsaeAfNoSupport = 10047,
  wsaeAddrInUse = 10048,
  wsaeAddrNotAvail = 10049,
  wsaeNetDown = 10050,
  wsaeNetUnreach = 10051,
  wsaeNetReset = 10052,
  wsaeConnAborted = 10053,
  wsaeConnReset = 10054,
  wsaeNoBufs = 10055,
  wsaeIsConn = 10056,
  wsaeNotConn = 10057,
  wsaeShutdown = 10058,
  wsaeTooManyRefs = 10059,
  wsaeTimedOut = 10060,
  wsaeConnRefused = 10061,
  wsaeLoop = 10062,
  wsaeNameTooLong = 10063,
  wsaeHostDown = 10064,
  wsaeHostUnreach = 10065,
  wsaeNotEmpty = 10066,
  wsaeProcLim = 10067,
  wsaeUsers = 10068,
  wsaeDQuot = 10069,
  wsaeStale = 10070,
  wsaeRemote = 10071,
  wsaSysNotReady = 10091,
  wsaVerNotSupported = 10092,
  wsaNotInitialised = 10093,
  // Name lookup.
  wsaHostNotFound = 11001,
  wsaTryAgain = 11002,
  wsaNoRecovery = 11003,
  wsaNoData = 11004,
};

// The number for a C library errno value (a thread that could not be started, ...).
// Values without a counterpart are returned unchanged.
int netErrorFromErrno(int err);

// A socket as the event loop watches it; kNoSocket when there is none.
using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;

// The numeric address forms of the system's classic parser ("1.2.3.4", "127.1", "0x7f.1").
std::optional<std::uint32_t> parseIPv4(const std::string& text);
// Exactly four dotted decimal parts.
std::optional<std::uint32_t> parseDottedQuad(const std::string& text);
std::string formatIPv4(std::uint32_t address);
// The port of a tcp service name ("http"), from the system's service list.
std::optional<std::uint16_t> tcpServicePort(const std::string& name);
// Blocking name lookup: the host's IPv4 addresses as dotted text, each once, in the order
// the system gives them. Returns the error number (wsaNoData when there is no address).
int lookupIPv4(const std::string& host, std::vector<std::string>& addresses);

enum class SocketType { Stream, Datagram };
// A non-blocking socket that child processes do not inherit; kNoSocket and error set on
// failure.
SocketHandle openSocket(SocketType type, int& error);
void closeSocket(SocketHandle s);
// Ends both directions (the peer sees the end of the stream).
void shutdownSocket(SocketHandle s);

void setKeepAlive(SocketHandle s, bool on);
void setNoDelay(SocketHandle s, bool on);
void setLinger(SocketHandle s, bool on, int seconds);

// Each returns 0 or the error number.
int bindSocket(SocketHandle s, std::uint32_t address, std::uint16_t port);
// The local port a bound socket got (0 when the system does not say).
std::uint16_t boundPort(SocketHandle s);
// A connect that cannot finish at once answers wsaeWouldBlock or wsaeInProgress (by
// system); the outcome comes later as socketPendingError() once the socket is writable.
int connectSocket(SocketHandle s, std::uint32_t address, std::uint16_t port);
int socketPendingError(SocketHandle s);

// What a listener needs (the test peers listen; the program itself only connects).
// Lets a listener bind its port again while connections of an earlier one linger.
void setReuseAddress(SocketHandle s);
// Returns 0 or the error number. How many connections wait unaccepted beyond backlog is the
// system's choice, and so is what a connect meets once that queue is full.
int listenSocket(SocketHandle s, int backlog);
// A waiting connection as a non-blocking socket that child processes do not inherit;
// kNoSocket with error set (wsaeWouldBlock: none waits).
SocketHandle acceptConnection(SocketHandle listener, int& error);

// Bytes sent or received (0 on receive: the peer closed), or -1 with error set (wsaeIntr for
// an interrupted call). Sending to a closed connection is an error, never a signal.
long sendBytes(SocketHandle s, const void* data, std::size_t size, int& error);
long receiveBytes(SocketHandle s, void* buffer, std::size_t size, int& error);
// Like receiveBytes, but leaves the bytes queued.
long peekBytes(SocketHandle s, void* buffer, std::size_t size, int& error);
long sendDatagram(SocketHandle s, const void* data, std::size_t size, std::uint32_t address,
                  std::uint16_t port, int& error);
// A datagram from an IPv4 sender (false for one from another family: skip it).
long receiveDatagram(SocketHandle s, void* buffer, std::size_t size, std::uint32_t& address,
                     std::uint16_t& port, bool& fromIPv4, int& error);

}  // namespace ravelin::platform
