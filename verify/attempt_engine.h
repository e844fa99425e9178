#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ravelin::platform {
class Clock;
}
namespace ravelin::runtime {
class UiThread;
}

namespace ravelin::verify {

// What became of a connection attempt. Contacted comes first for every attempt; exactly
// one of the others follows it.
enum class AttemptOutcome {
  Contacted,    // the connect is under way
  Accepted,     // the server accepted the connection
  Refused,      // refused, unreachable, or failed through the SOCKS 5 proxy
  NoRoute,      // refused by this machine: its network is down or has no route there
  TimedOut,     // no answer within the time-out
  Interrupted,  // the run was cancelled while the attempt was in flight
  Failed,       // the socket raised an error of its own: no verdict to show
};

// One server to try: its row in the list, the trimmed address and port text.
struct AttemptJob {
  std::size_t row;
  std::string address;
  std::string port;
};

struct AttemptEvent {
  std::size_t job;  // index into the jobs given to the engine
  AttemptOutcome outcome;
};

struct AttemptSettings {
  std::uint32_t timeoutMs = 5000;
  // Attempts in flight at once, over all loops.
  std::size_t parallel = 256;
  // Every attempt goes through this SOCKS 5 proxy when the host is not empty.
  std::string proxyAddr;
  // 0 when the setting holds no port: every attempt then fails through the proxy.
  std::uint16_t proxyPort = 0;
};

// Tries many servers at once: a few worker threads, each with its own EventLoop, keep up
// to AttemptSettings::parallel non-blocking connects in flight between them and take the
// next job whenever one ends. No thread per attempt and no timer per attempt: every
// attempt has the same time-out, so a loop's attempts expire in the order they started and
// one queue of start times serves them all.
//
// What happens reaches the handler on the user-interface thread, through UiThread::invoke,
// in batches: one hand-over per loop turn that had news, not one per attempt.
//
// The engine lives on the user-interface thread. Its loops keep themselves alive until
// they return; once the engine is destroyed they hand over into nothing.
class AttemptEngine {
 public:
  using Handler = std::function<void(const std::vector<AttemptEvent>&)>;

  AttemptEngine(runtime::UiThread& ui, platform::Clock& clock, const AttemptSettings& settings,
                std::vector<AttemptJob> jobs, Handler handler);
  ~AttemptEngine();
  AttemptEngine(const AttemptEngine&) = delete;
  AttemptEngine& operator=(const AttemptEngine&) = delete;

  // Starts the loops. Throws std::system_error when no thread can be created.
  void start();
  // Asks every loop to end: attempts in flight are handed over as Interrupted, jobs not
  // started yet are never tried. Callable from any thread.
  void requestTerminate();
  // Every loop that was started has returned.
  bool finished() const;
  // Nothing more will reach the handler: every loop has handed over its last news or
  // returned. User-interface thread only.
  bool settled() const;
  const std::vector<AttemptJob>& jobs() const;

  // How many loops carry parallel attempts: enough for the readiness wait to watch them
  // all, and one per core when there are enough attempts to share.
  static std::size_t loopCount(std::size_t parallel);

 private:
  class Loop;
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::vector<std::shared_ptr<Loop>> loops_;
};

}  // namespace ravelin::verify
