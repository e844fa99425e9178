// Connect attempts per second from one thread to a listener on 127.0.0.1: one socket at a
// time, and twenty in flight at once (as many as the verifier runs).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "loopback_listener.h"
#include "net/async_socket.h"
#include "platform/event_loop.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::net;

namespace {

// attempts connects in total, at most inFlight at a time; returns the number that
// succeeded.
int runConnects(platform::EventLoop& loop, std::uint16_t port, int attempts, int inFlight) {
  const std::string portText = std::to_string(port);
  int started = 0, finished = 0, ok = 0;
  std::vector<std::unique_ptr<AsyncSocket>> slots(static_cast<std::size_t>(inFlight));
  auto start = [&](std::unique_ptr<AsyncSocket>& slot) {
    slot = std::make_unique<AsyncSocket>(loop);
    slot->setAddr("127.0.0.1");
    slot->setPort(portText);
    slot->onSessionConnected = [&](AsyncSocket& s, std::uint16_t e) {
      if (e == 0) ++ok;
      ++finished;
      s.close();
    };
    slot->connect();
    ++started;
  };
  for (auto& slot : slots)
    if (started < attempts) start(slot);
  while (finished < attempts) {
    loop.waitAndProcess(1000);
    for (auto& slot : slots)
      if (slot && slot->state() == SocketState::Closed) {
        slot.reset();
        if (started < attempts) start(slot);
      }
  }
  return ok;
}

void BM_ConnectOneAtATime(benchmark::State& state) {
  bench::Listener listener;
  platform::EventLoop loop;
  int ok = 0;
  for (auto _ : state) ok += runConnects(loop, listener.port(), 1000, 1);
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["failed"] = static_cast<double>(state.iterations() * 1000 - ok);
}
BENCHMARK(BM_ConnectOneAtATime)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_Connect20InFlight(benchmark::State& state) {
  bench::Listener listener;
  platform::EventLoop loop;
  int ok = 0;
  for (auto _ : state) ok += runConnects(loop, listener.port(), 1000, 20);
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["failed"] = static_cast<double>(state.iterations() * 1000 - ok);
}
BENCHMARK(BM_Connect20InFlight)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
