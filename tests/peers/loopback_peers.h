#pragma once
// Real peers on 127.0.0.1 for the socket tests: a listener that accepts (or never
// accepts), a scripted single-connection server that records what it is sent (used as a
// fake SOCKS proxy for odd replies) and a port nobody listens on.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/event_loop.h"
#include "platform/readiness.h"
#include "platform/socket.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

namespace test {

// A port on 127.0.0.1 that was free a moment ago, for a peer process to listen on.
std::uint16_t FreeLoopbackPort();
// A port on 127.0.0.1 that refuses every connection for the rest of the process: it stays
// bound without listening, so neither a parallel test's listener nor an outgoing connection's
// source port (a self-connect) can take it.
std::uint16_t ClosedLoopbackPort();
// Tries to connect to 127.0.0.1:port every 50 ms, at most ms milliseconds in all.
bool WaitForPort(int port, int ms);

// A TCP listener on 127.0.0.1 on a free port. With accepting set, a background thread
// accepts every connection and keeps it open until the peer closes it (or closes at once
// with closeAtOnce). Without it, nothing is ever accepted: with backlog n the Linux kernel's
// accept queue (wine's too, which listens with it) holds n + 1 connections, and later connects
// stay unanswered. Windows itself may refuse them instead: fillAcceptQueue tells.
class LoopbackListener {
 public:
  explicit LoopbackListener(bool accepting = true, int backlog = 128, bool closeAtOnce = false);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;
  std::uint16_t port() const { return port_; }
  int accepted() const { return accepted_.load(); }
  // accepted() once it has reached n, or after 5 s: the accepting thread may lag behind a
  // client that has its verdict as soon as the system completed the connection.
  int acceptedOnceAt(int n) const;
  // Total bytes received on all accepted connections.
  long long bytesReceived() const { return bytes_.load(); }
  // Connects sockets until one neither completes nor fails within a short wait, so that
  // the accept queue of a non-accepting listener is full and further connects go unanswered.
  // Returns the number of connections made; they stay open with the listener. Returns
  // kFillLimit when no connect was left unanswered (a system that refuses them instead).
  static constexpr int kFillLimit = 64;
  int fillAcceptQueue();
  // Starts accepting on a listener made without it (what waited in the queue first).
  void startAccepting();

 private:
  void run();
  SocketHandle listener_ = kNoSocket;
  Wakeup stop_;
  std::uint16_t port_ = 0;
  bool closeAtOnce_;
  std::atomic<int> accepted_{0};
  std::atomic<long long> bytes_{0};
  std::vector<SocketHandle> fillers_;
  std::thread thread_;
};

// One accepted connection driven by a script of steps, run on a background thread:
// expect n bytes (recorded), send bytes, close. After the last step it records whatever
// else arrives until the client closes or the peer is destroyed.
class ScriptedPeer {
 public:
  struct Step {
    enum Kind { Expect, Send, Close } kind;
    std::size_t count = 0;
    std::string bytes;
  };
  static Step expect(std::size_t n) { return {Step::Expect, n, {}}; }
  static Step send(std::string bytes) { return {Step::Send, 0, std::move(bytes)}; }
  static Step close() { return {Step::Close, 0, {}}; }

  explicit ScriptedPeer(std::vector<Step> steps);
  ~ScriptedPeer();
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;
  std::uint16_t port() const { return port_; }
  // Everything received so far.
  std::string received() const;
  bool accepted() const { return accepted_.load(); }
  // Waits (at most ms) until the client has closed its side or the script closed.
  bool waitDone(std::uint32_t ms = 10000);

 private:
  void run();
  bool readSome(SocketHandle conn, int timeoutMs);
  bool sendAll(SocketHandle conn, const std::string& bytes);
  std::vector<Step> steps_;
  SocketHandle listener_ = kNoSocket;
  Wakeup stop_;
  std::uint16_t port_ = 0;
  std::atomic<bool> accepted_{false};
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::string received_;
  std::thread thread_;
};

}  // namespace test
