#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "net/udp_socket.h"
#include "platform/worker_thread.h"
#include "runtime/app_context.h"
#include "serverlist/server_list.h"
#include "verify/udp_status_reply.h"

namespace ravelin::verify {

// The live status of the servers a verification tests: one eD2k status request per
// server to its UDP port (the TCP port + 4), all of them in flight at once on a single
// UDP socket that this thread owns and watches with its EventLoop. A matching answer
// (its challenge, from the address and port asked) fills the row's Users and Files and
// puts the round trip in milliseconds into Ping; anything else is dropped, and a request
// left unanswered for the time-out changes nothing. Check marks are not its business.
//
// Rows are written on the user-interface thread through UiThread::invoke, like the
// verdicts of the workers. ask() and settled() belong to the user-interface thread too.
// Created and resumed by the verify run, which ends it with requestTerminate() and waits
// until it has finished, so that nothing reaches the list after the run.
class UdpStatusQuery : public platform::WorkerThread {
 public:
  // How often the thread looks for time-outs and for the end of the run.
  static constexpr std::uint32_t kPollMs = 100;

  UdpStatusQuery(serverlist::ServerList& list, runtime::AppContext& ctx, std::uint32_t timeoutMs);

  // Asks the server of row, at address and the UDP port that goes with tcpPort. Servers
  // whose port gives no UDP port (beyond 65535, not a number) are not asked.
  void ask(const std::string& address, const std::string& tcpPort, std::size_t row);
  // No request waits for its answer any more: every one was answered, timed out or could
  // not be sent, or the thread has ended.
  bool settled() const { return outstanding_ == 0 || finished(); }

 protected:
  void execute() override;

 private:
  struct Request {
    net::UdpEndpoint to;
    std::size_t row;
  };
  struct InFlight {
    net::UdpEndpoint to;
    std::size_t row;
    std::uint32_t sentTick;
  };
  struct Answer {
    std::size_t row;
    ServerStatus status;
    std::uint32_t pingMs;
  };

  void sendQueued(net::UdpSocket& socket);
  void received(std::string_view datagram, net::UdpEndpoint from);
  void expire();
  // Writes the answers gathered so far to the list and counts them, with the requests
  // dropped since, as settled.
  void handOver();

  serverlist::ServerList& list_;
  runtime::UiThread& ui_;
  runtime::Log& log_;
  platform::Clock& clock_;
  const std::uint32_t timeoutMs_;
  // Requests asked for and not yet settled; user-interface thread only.
  int outstanding_ = 0;

  std::mutex mutex_;
  std::vector<Request> queue_;        // guarded by mutex_
  platform::EventLoop::Handle wake_;  // guarded by mutex_

  // The query thread's own.
  std::unordered_map<std::uint32_t, InFlight> inFlight_;
  std::vector<Answer> answers_;
  int dropped_ = 0;
  std::mt19937 random_;
};

}  // namespace ravelin::verify
