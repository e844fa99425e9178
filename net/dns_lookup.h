#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace ravelin::net {

// An asynchronous IPv4 name lookup: getaddrinfo runs on a short-lived helper thread and
// the answer is posted back to the loop that started it. The callback runs on that loop's
// thread, inside its processing, never from inside start(). cancel() (loop thread) makes
// sure the callback never runs, even when the answer is already on its way; dropping the
// last reference to the lookup cancels it too.
class DnsLookup {
 public:
  // error: 0, or the network error number (wsaHostNotFound, wsaTryAgain, wsaNoRecovery,
  // wsaNoData when the name has no IPv4 address, or a mapped system error; see
  // net/net_errors.h).
  // addresses: dotted IPv4 texts in the order the resolver gave them, duplicates removed.
  using Callback = std::function<void(int error, const std::vector<std::string>& addresses)>;

  // Starts the lookup; throws std::system_error when the helper thread cannot start.
  static std::shared_ptr<DnsLookup> start(platform::EventLoop& loop, const std::string& host,
                                          Callback cb);

  ~DnsLookup();
  void cancel();
  bool pending() const;

  // The helper threads still resolving, of all lookups of the process. Shut-down waits
  // for none of them: each holds nothing that its lookup or loop owns.
  static int helpersRunning();

  // Blocking lookup of host on the calling thread, same error numbers. Used where a name
  // must be resolved inside a call (and in tests).
  static int resolveNow(const std::string& host, std::vector<std::string>& addresses);

  struct Shared;

 private:
  DnsLookup() = default;
  std::shared_ptr<Shared> shared_;
};

}  // namespace ravelin::net
