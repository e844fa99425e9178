// Winsock's select() watches the sockets: WSAPoll does not report a failed connect on
// Windows before 10 version 2004. The wake-up is a connected pair of loopback sockets, so
// that select sees it too. Winsock's fd_set is an array whose size the program chooses:
// this one holds the wake-up and 1024 sockets, the most a verification keeps in flight on
// one loop.
#define FD_SETSIZE 1025
#include <winsock2.h>

#include <system_error>
#include <unordered_map>

#include "platform/event_loop.h"
#include "platform/readiness.h"
#include "platform/socket.h"

namespace ravelin::platform {

namespace {

SOCKET native(int s) {
  return static_cast<SOCKET>(s);
}

[[noreturn]] void fail(const char* what) {
  throw std::system_error(WSAGetLastError(), std::system_category(), what);
}

// Marks bit on every entry whose socket select left in set: one pass over the set, since
// FD_ISSET would scan the whole set once for every entry.
void collect(const fd_set& set, unsigned bit, const std::unordered_map<SOCKET, std::size_t>& index,
             ReadyEntry* entries) {
  for (u_int i = 0; i < set.fd_count; ++i)
    if (const auto it = index.find(set.fd_array[i]); it != index.end())
      entries[it->second].ready |= bit;
}

}  // namespace

std::size_t readinessCapacity() {
  return FD_SETSIZE - 1;
}

Wakeup::Wakeup() {
  int error = 0;
  const int listener = openSocket(SocketType::Stream, error);
  if (listener == kNoSocket) fail("wake-up socket");
  constexpr std::uint32_t kLoopback = 0x7f000001;
  sockaddr_in bound{};
  int boundLen = sizeof bound;
  if (bindSocket(listener, kLoopback, 0) != 0 || listen(native(listener), 1) != 0 ||
      getsockname(native(listener), reinterpret_cast<sockaddr*>(&bound), &boundLen) != 0) {
    closeSocket(listener);
    fail("wake-up socket");
  }
  writeHandle_ = openSocket(SocketType::Stream, error);
  const int rc = writeHandle_ == kNoSocket
                     ? error
                     : connectSocket(writeHandle_, kLoopback, ntohs(bound.sin_port));
  if (rc != 0 && rc != wsaeWouldBlock) {
    closeSocket(listener);
    if (writeHandle_ != kNoSocket) closeSocket(writeHandle_);
    fail("wake-up socket");
  }
  // The listener was non-blocking: wait for the connection to arrive.
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(native(listener), &readable);
  timeval limit{5, 0};
  const SOCKET accepted = select(0, &readable, nullptr, nullptr, &limit) == 1
                              ? accept(native(listener), nullptr, nullptr)
                              : INVALID_SOCKET;
  closeSocket(listener);
  if (accepted == INVALID_SOCKET) {
    closeSocket(writeHandle_);
    fail("wake-up socket");
  }
  u_long nonBlocking = 1;
  ioctlsocket(accepted, FIONBIO, &nonBlocking);
  readHandle_ = static_cast<int>(accepted);
  setNoDelay(writeHandle_, true);
}

Wakeup::~Wakeup() {
  closeSocket(readHandle_);
  closeSocket(writeHandle_);
}

// A full buffer means the reader has a wake-up waiting already.
void Wakeup::set() {
  const char one = 1;
  int error = 0;
  sendBytes(writeHandle_, &one, 1, error);
}

void Wakeup::clear() {
  char buf[256];
  int error = 0;
  while (receiveBytes(readHandle_, buf, sizeof buf, error) > 0) {
  }
}

int Wakeup::wait(ReadyEntry* entries, std::size_t count, int timeoutMs, bool& woken) {
  fd_set readable, writable, failed;
  FD_ZERO(&readable);
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(native(readHandle_), &readable);
  for (std::size_t i = 0; i < count; ++i) {
    const SOCKET s = native(entries[i].fd);
    if (entries[i].events & EventLoop::kRead) FD_SET(s, &readable);
    if (entries[i].events & EventLoop::kWrite) FD_SET(s, &writable);
    // A connect that fails shows here, not as writable.
    FD_SET(s, &failed);
  }
  timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  const int n = select(0, &readable, &writable, &failed, timeoutMs < 0 ? nullptr : &limit);
  woken = n > 0 && FD_ISSET(native(readHandle_), &readable);
  std::unordered_map<SOCKET, std::size_t> index;
  if (n > 0) index.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    entries[i].ready = 0;
    if (n > 0) index.emplace(native(entries[i].fd), i);
  }
  if (n > 0) {
    collect(readable, EventLoop::kRead, index, entries);
    collect(writable, EventLoop::kWrite, index, entries);
    collect(failed, EventLoop::kError, index, entries);
  }
  int ready = 0;
  for (std::size_t i = 0; i < count; ++i)
    if (entries[i].ready) ++ready;
  return ready;
}

}  // namespace ravelin::platform
