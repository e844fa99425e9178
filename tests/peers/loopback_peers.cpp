#include "peers/loopback_peers.h"

#include <algorithm>

#include "platform/clock.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

namespace test {

namespace {

constexpr std::uint32_t kLoopback = 0x7f000001;

// A listening socket on 127.0.0.1 on a free port, or kNoSocket.
SocketHandle listenLoopback(int backlog, std::uint16_t& port) {
  int error = 0;
  const SocketHandle s = openSocket(SocketType::Stream, error);
  if (s == kNoSocket) return kNoSocket;
  setReuseAddress(s);
  if (bindSocket(s, kLoopback, 0) != 0 || listenSocket(s, backlog) != 0) {
    closeSocket(s);
    return kNoSocket;
  }
  port = boundPort(s);
  return s;
}

// Waits at most timeoutMs for one socket to become ready for events; false when it did not,
// or when stop was set (a stop stays set for the waits after it).
bool waitReady(Wakeup& stop, SocketHandle s, unsigned events, int timeoutMs) {
  ReadyEntry entry{s, events, 0};
  bool stopped = false;
  const int ready = stop.wait(&entry, 1, timeoutMs, stopped);
  return ready == 1 && !stopped;
}

enum class Connect { Made, Failed, Unanswered };

// Connects to 127.0.0.1:port within timeoutMs; socket is the connection when it was made.
Connect connectWithin(std::uint16_t port, int timeoutMs, SocketHandle& socket) {
  int error = 0;
  socket = openSocket(SocketType::Stream, error);
  if (socket == kNoSocket) return Connect::Failed;
  const int rc = connectSocket(socket, kLoopback, port);
  Connect outcome = Connect::Made;
  if (rc == wsaeWouldBlock || rc == wsaeInProgress) {
    // Nobody sets this wake-up: it only waits for the socket.
    Wakeup never;
    ReadyEntry entry{socket, EventLoop::kWrite, 0};
    bool woken = false;
    if (never.wait(&entry, 1, timeoutMs, woken) == 0)
      outcome = Connect::Unanswered;
    else if ((entry.ready & EventLoop::kError) || socketPendingError(socket) != 0)
      outcome = Connect::Failed;
  } else if (rc != 0) {
    outcome = Connect::Failed;
  }
  if (outcome != Connect::Made) {
    closeSocket(socket);
    socket = kNoSocket;
  }
  return outcome;
}

// Binds a fresh socket to a free loopback port; the caller owns the socket.
SocketHandle bindFreePort(std::uint16_t& port) {
  int error = 0;
  port = 0;
  const SocketHandle s = openSocket(SocketType::Stream, error);
  if (s == kNoSocket) return kNoSocket;
  if (bindSocket(s, kLoopback, 0) == 0) port = boundPort(s);
  return s;
}

}  // namespace

std::uint16_t FreeLoopbackPort() {
  std::uint16_t port = 0;
  const SocketHandle s = bindFreePort(port);
  if (s != kNoSocket) closeSocket(s);
  return port;
}

std::uint16_t ClosedLoopbackPort() {
  std::uint16_t port = 0;
  const SocketHandle s = bindFreePort(port);
  // Never closed: a test process asks for a few dozen at most.
  if (port == 0 && s != kNoSocket) closeSocket(s);
  return port;
}

bool WaitForPort(int port, int ms) {
  for (int waited = 0; waited <= ms; waited += 50) {
    SocketHandle s = kNoSocket;
    if (connectWithin(static_cast<std::uint16_t>(port), 1000, s) == Connect::Made) {
      closeSocket(s);
      return true;
    }
    platform::systemClock().sleepMs(50);
  }
  return false;
}

// ---------------------------------------------------------------------------------------

LoopbackListener::LoopbackListener(bool accepting, int backlog, bool closeAtOnce)
    : closeAtOnce_(closeAtOnce) {
  listener_ = listenLoopback(backlog, port_);
  if (accepting && listener_ != kNoSocket) thread_ = std::thread([this] { run(); });
}

LoopbackListener::~LoopbackListener() {
  stop_.set();
  if (thread_.joinable()) thread_.join();
  for (SocketHandle f : fillers_) closeSocket(f);
  if (listener_ != kNoSocket) closeSocket(listener_);
}

void LoopbackListener::run() {
  // The listener first, then the accepted connections.
  std::vector<ReadyEntry> entries{{listener_, EventLoop::kRead, 0}};
  for (;;) {
    bool stopped = false;
    stop_.wait(entries.data(), entries.size(), 1000, stopped);
    if (stopped) break;
    if (entries[0].ready) {
      int error = 0;
      const SocketHandle c = acceptConnection(listener_, error);
      if (c != kNoSocket) {
        ++accepted_;
        if (closeAtOnce_)
          closeSocket(c);
        else
          entries.push_back({c, EventLoop::kRead, 0});
      }
    }
    for (std::size_t i = 1; i < entries.size();) {
      if (entries[i].ready) {
        char buf[65536];
        int error = 0;
        const long n = receiveBytes(entries[i].fd, buf, sizeof buf, error);
        if (n > 0) {
          bytes_ += n;
        } else if (n == 0 || (error != wsaeWouldBlock && error != wsaeIntr)) {
          closeSocket(entries[i].fd);
          entries.erase(entries.begin() + static_cast<long>(i));
          continue;
        }
      }
      ++i;
    }
  }
  for (std::size_t i = 1; i < entries.size(); ++i) closeSocket(entries[i].fd);
}

void LoopbackListener::startAccepting() {
  if (!thread_.joinable() && listener_ != kNoSocket) thread_ = std::thread([this] { run(); });
}

int LoopbackListener::acceptedOnceAt(int n) const {
  for (int waited = 0; accepted() < n && waited < 5000; waited += 5)
    platform::systemClock().sleepMs(5);
  return accepted();
}

int LoopbackListener::fillAcceptQueue() {
  while (static_cast<int>(fillers_.size()) < kFillLimit) {
    SocketHandle c = kNoSocket;
    const Connect outcome = connectWithin(port_, 300, c);
    if (outcome == Connect::Unanswered) return static_cast<int>(fillers_.size());
    if (outcome == Connect::Failed) break;
    fillers_.push_back(c);
  }
  return kFillLimit;
}

// ---------------------------------------------------------------------------------------

ScriptedPeer::ScriptedPeer(std::vector<Step> steps) : steps_(std::move(steps)) {
  listener_ = listenLoopback(4, port_);
  thread_ = std::thread([this] { run(); });
}

ScriptedPeer::~ScriptedPeer() {
  stop_.set();
  if (thread_.joinable()) thread_.join();
  if (listener_ != kNoSocket) closeSocket(listener_);
}

std::string ScriptedPeer::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

bool ScriptedPeer::waitDone(std::uint32_t ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done_; });
}

// Waits for data on conn (or the stop signal) and records it. False when the connection
// ended, the stop signal came or nothing arrived in time.
bool ScriptedPeer::readSome(SocketHandle conn, int timeoutMs) {
  for (;;) {
    if (!waitReady(stop_, conn, EventLoop::kRead, timeoutMs)) return false;
    char buf[4096];
    int error = 0;
    const long n = receiveBytes(conn, buf, sizeof buf, error);
    if (n < 0 && (error == wsaeWouldBlock || error == wsaeIntr)) continue;
    if (n <= 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(buf, static_cast<std::size_t>(n));
    return true;
  }
}

// The connection is non-blocking: what the system cannot take at once waits for room.
bool ScriptedPeer::sendAll(SocketHandle conn, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    int error = 0;
    const long n = sendBytes(conn, bytes.data() + sent, bytes.size() - sent, error);
    if (n > 0)
      sent += static_cast<std::size_t>(n);
    else if ((error != wsaeWouldBlock && error != wsaeIntr) ||
             !waitReady(stop_, conn, EventLoop::kWrite, 10000))
      return false;
  }
  return true;
}

void ScriptedPeer::run() {
  SocketHandle conn = kNoSocket;
  if (listener_ != kNoSocket && waitReady(stop_, listener_, EventLoop::kRead, 20000)) {
    int error = 0;
    conn = acceptConnection(listener_, error);
  }
  if (conn != kNoSocket) {
    accepted_ = true;
    std::size_t expected = 0;
    bool open = true;
    for (const Step& step : steps_) {
      if (!open) break;
      if (step.kind == Step::Expect) {
        expected += step.count;
        while (received().size() < expected)
          if (!readSome(conn, 10000)) {
            open = false;
            break;
          }
      } else if (step.kind == Step::Send) {
        open = sendAll(conn, step.bytes);
      } else {
        closeSocket(conn);
        conn = kNoSocket;
        open = false;
      }
    }
    if (conn != kNoSocket) {
      while (readSome(conn, 20000)) {
      }
      closeSocket(conn);
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  cv_.notify_all();
}

}  // namespace test
