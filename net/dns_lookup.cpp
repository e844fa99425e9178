#include "net/dns_lookup.h"

#include <atomic>
#include <thread>

#include "net/net_errors.h"

namespace ravelin::net {

namespace {
std::atomic<int> gHelpersRunning{0};
}  // namespace

int DnsLookup::helpersRunning() {
  return gHelpersRunning.load();
}

struct DnsLookup::Shared {
  // Written and read on the loop's thread only.
  Callback cb;
  bool cancelled = false;
  bool answered = false;
};

int DnsLookup::resolveNow(const std::string& host, std::vector<std::string>& addresses) {
  return platform::lookupIPv4(host, addresses);
}

std::shared_ptr<DnsLookup> DnsLookup::start(platform::EventLoop& loop, const std::string& host,
                                            Callback cb) {
  std::shared_ptr<DnsLookup> lookup(new DnsLookup());
  lookup->shared_ = std::make_shared<Shared>();
  lookup->shared_->cb = std::move(cb);
  platform::EventLoop::Handle handle = loop.handle();
  std::weak_ptr<Shared> weak = lookup->shared_;
  // The helper thread owns nothing of the lookup: it answers through the loop's handle
  // (which survives the loop) and the answer finds the lookup through a weak reference
  // (which survives the lookup).
  ++gHelpersRunning;
  std::thread([host, handle, weak] {
    std::vector<std::string> addresses;
    const int error = resolveNow(host, addresses);
    handle.post([weak, error, addresses = std::move(addresses)] {
      auto shared = weak.lock();
      if (!shared || shared->cancelled || shared->answered) return;
      shared->answered = true;
      Callback cb = std::move(shared->cb);
      shared->cb = nullptr;
      if (cb) cb(error, addresses);
    });
    --gHelpersRunning;
  }).detach();
  return lookup;
}

DnsLookup::~DnsLookup() {
  cancel();
}

void DnsLookup::cancel() {
  if (!shared_) return;
  shared_->cancelled = true;
  shared_->cb = nullptr;
}

bool DnsLookup::pending() const {
  return shared_ && !shared_->cancelled && !shared_->answered;
}

}  // namespace ravelin::net
