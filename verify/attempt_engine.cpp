#include "verify/attempt_engine.h"

#include <algorithm>
#include <deque>
#include <thread>

#include "net/async_socket.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/readiness.h"
#include "platform/socket.h"
#include "platform/worker_thread.h"
#include "runtime/ui_thread.h"

namespace ravelin::verify {

namespace {
// Loops beyond this many buy nothing: the network, not the loops, is then the limit.
constexpr std::size_t kMaxLoops = 4;
// Fewer attempts than this are not worth a loop of their own.
constexpr std::size_t kMinAttemptsPerLoop = 32;

// The outcome of a connect that ended with error (0: accepted). A network that is down or
// has no route is this machine's own answer, given before anything was sent.
AttemptOutcome connectOutcome(std::uint16_t error) {
  switch (error) {
    case 0:
      return AttemptOutcome::Accepted;
    case platform::wsaeNetDown:
    case platform::wsaeNetUnreach:
      return AttemptOutcome::NoRoute;
    default:
      return AttemptOutcome::Refused;
  }
}
}  // namespace

// What the engine and its loops share: the jobs, the next one to take, and the handler,
// which only the user-interface thread reads and clears.
struct AttemptEngine::Shared {
  Shared(runtime::UiThread& ui, platform::Clock& clock, const AttemptSettings& settings,
         std::vector<AttemptJob> jobs, Handler handler)
      : ui(ui),
        clock(clock),
        settings(settings),
        jobs(std::move(jobs)),
        handler(std::move(handler)) {}

  runtime::UiThread& ui;
  platform::Clock& clock;
  AttemptSettings settings;
  std::vector<AttemptJob> jobs;
  std::atomic<std::size_t> next{0};
  Handler handler;
  // Loops that have handed over their last news; user-interface thread only.
  std::size_t loopsSettled = 0;

  // The next job, or false when every job was taken.
  bool take(std::size_t& job) {
    job = next.fetch_add(1);
    return job < jobs.size();
  }
};

class AttemptEngine::Loop : public platform::WorkerThread {
 public:
  Loop(std::shared_ptr<Shared> shared, std::size_t capacity)
      : shared_(std::move(shared)), capacity_(capacity) {}

 protected:
  void execute() override;

 private:
  struct Attempt {
    std::unique_ptr<net::AsyncSocket> socket;
    std::size_t job = 0;
    std::uint64_t serial = 0;
    std::uint32_t startTick = 0;
    bool active = false;
  };
  struct Deadline {
    std::size_t slot;
    std::uint64_t serial;
  };

  void startAttempts(platform::EventLoop& loop);
  void startOne(platform::EventLoop& loop, std::size_t job);
  void finish(std::size_t slot, AttemptOutcome outcome);
  void expire();
  void interruptAll();
  // Hands the news of this turn to the user-interface thread, the last time with word that
  // this loop has nothing more to give; false when nobody is left to take it.
  bool handOver(bool last = false);
  std::uint32_t waitMs() const;

  std::shared_ptr<Shared> shared_;
  const std::size_t capacity_;
  std::vector<Attempt> attempts_;
  std::vector<std::size_t> freeSlots_;
  // The attempts in the order they started, which is the order they time out in.
  std::deque<Deadline> deadlines_;
  std::vector<AttemptEvent> news_;
  // Sockets closed during a turn, freed after it: a handler may not free its own socket's
  // caller mid-call.
  std::vector<std::unique_ptr<net::AsyncSocket>> closed_;
  std::uint64_t serial_ = 0;
  bool jobsLeft_ = true;
};

void AttemptEngine::Loop::startOne(platform::EventLoop& loop, std::size_t job) {
  const std::size_t slot = freeSlots_.back();
  freeSlots_.pop_back();
  Attempt& a = attempts_[slot];
  a.job = job;
  a.serial = ++serial_;
  a.active = true;
  news_.push_back({job, AttemptOutcome::Contacted});
  const AttemptJob& j = shared_->jobs[job];
  const AttemptSettings& s = shared_->settings;
  try {
    a.socket = std::make_unique<net::AsyncSocket>(loop);
    net::AsyncSocket& socket = *a.socket;
    socket.setProto(net::SocketProto::Tcp);
    socket.setPort(j.port);
    socket.setAddr(j.address);
    socket.setMultiThreaded(true);
    if (!s.proxyAddr.empty()) {
      socket.setSocksServer(s.proxyAddr);
      socket.setSocksPort(s.proxyPort);
    }
    socket.onSessionConnected = [this, slot](net::AsyncSocket&, std::uint16_t error) {
      finish(slot, connectOutcome(error));
    };
    socket.onError = [this, slot](net::AsyncSocket&) { finish(slot, AttemptOutcome::Refused); };
    socket.connect();
  } catch (...) {
    finish(slot, AttemptOutcome::Failed);
    return;
  }
  // The time-out counts from the connect call.
  a.startTick = shared_->clock.ticks();
  if (a.active) deadlines_.push_back({slot, a.serial});
}

void AttemptEngine::Loop::startAttempts(platform::EventLoop& loop) {
  std::size_t job = 0;
  while (jobsLeft_ && !freeSlots_.empty() && !terminated()) {
    if (!shared_->take(job)) {
      jobsLeft_ = false;
      break;
    }
    startOne(loop, job);
  }
}

void AttemptEngine::Loop::finish(std::size_t slot, AttemptOutcome outcome) {
  Attempt& a = attempts_[slot];
  if (!a.active) return;
  a.active = false;
  news_.push_back({a.job, outcome});
  if (a.socket) {
    try {
      a.socket->onSessionConnected = nullptr;
      a.socket->onError = nullptr;
      a.socket->close();
    } catch (...) {
      // Closed all the same when it is freed.
    }
    closed_.push_back(std::move(a.socket));
  }
  freeSlots_.push_back(slot);
}

void AttemptEngine::Loop::expire() {
  const std::uint32_t now = shared_->clock.ticks();
  while (!deadlines_.empty()) {
    const Deadline d = deadlines_.front();
    const Attempt& a = attempts_[d.slot];
    if (a.active && a.serial == d.serial) {
      if (now - a.startTick < shared_->settings.timeoutMs) return;
      finish(d.slot, AttemptOutcome::TimedOut);
    }
    deadlines_.pop_front();
  }
}

void AttemptEngine::Loop::interruptAll() {
  for (std::size_t slot = 0; slot < attempts_.size(); ++slot)
    finish(slot, AttemptOutcome::Interrupted);
  deadlines_.clear();
}

bool AttemptEngine::Loop::handOver(bool last) {
  if (news_.empty() && !last) return true;
  try {
    shared_->ui.invoke([this, last] {
      if (last) ++shared_->loopsSettled;
      if (shared_->handler && !news_.empty()) shared_->handler(news_);
    });
  } catch (...) {
    // The user interface has ended, or the handler failed: nobody takes verdicts any more.
    news_.clear();
    return false;
  }
  news_.clear();
  return true;
}

std::uint32_t AttemptEngine::Loop::waitMs() const {
  // Woken by the sockets and by a termination request; otherwise up to the first time-out.
  constexpr std::uint32_t kIdleMs = 1000;
  if (deadlines_.empty()) return kIdleMs;
  const Attempt& a = attempts_[deadlines_.front().slot];
  const std::uint32_t passed = shared_->clock.ticks() - a.startTick;
  const std::uint32_t timeout = shared_->settings.timeoutMs;
  return passed >= timeout ? 0 : std::min(kIdleMs, timeout - passed);
}

void AttemptEngine::Loop::execute() {
  platform::EventLoop loop;
  attachLoop(&loop);
  struct Detach {
    Loop& l;
    ~Detach() {
      // The sockets watch the loop: they go before it.
      l.attempts_.clear();
      l.closed_.clear();
      l.attachLoop(nullptr);
    }
  } detach{*this};
  attempts_.resize(capacity_);
  freeSlots_.reserve(capacity_);
  for (std::size_t slot = capacity_; slot > 0; --slot) freeSlots_.push_back(slot - 1);
  // News waits while the sockets keep the loop busy: every hand-over blocks this loop until
  // the user interface has taken it, so it goes over once the loop finds nothing ready, or
  // when a batch is full.
  constexpr std::size_t kFullBatch = 512;
  bool busy = false;
  for (;;) {
    if (terminated()) {
      interruptAll();
      handOver(/*last=*/true);
      return;
    }
    startAttempts(loop);
    expire();
    const bool allDone = !jobsLeft_ && freeSlots_.size() == capacity_;
    if ((!busy || allDone || news_.size() >= kFullBatch) && !handOver(allDone)) return;
    if (allDone) return;
    const std::uint32_t ms = news_.empty() ? shared_->clock.blockSliceMs(waitMs()) : 0;
    busy = loop.waitAndProcess(ms) > 0;
    closed_.clear();
  }
}

AttemptEngine::AttemptEngine(runtime::UiThread& ui, platform::Clock& clock,
                             const AttemptSettings& settings, std::vector<AttemptJob> jobs,
                             Handler handler)
    : shared_(std::make_shared<Shared>(ui, clock, settings, std::move(jobs), std::move(handler))) {
  shared_->settings.parallel = std::max<std::size_t>(1, settings.parallel);
}

AttemptEngine::~AttemptEngine() {
  requestTerminate();
  shared_->handler = nullptr;
}

std::size_t AttemptEngine::loopCount(std::size_t parallel) {
  const std::size_t capacity = std::max<std::size_t>(1, platform::readinessCapacity());
  const std::size_t watchable = (parallel + capacity - 1) / capacity;
  // Opening, connecting and closing a socket is a system call each (under wine a round
  // trip to its server): one loop makes them one after the other, a loop per core
  // overlaps them.
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t worthwhile = std::min(cores, parallel / kMinAttemptsPerLoop);
  return std::clamp<std::size_t>(std::max(watchable, worthwhile), 1, kMaxLoops);
}

void AttemptEngine::start() {
  if (shared_->jobs.empty()) return;
  const std::size_t parallel = std::min(shared_->settings.parallel, shared_->jobs.size());
  const std::size_t loops = loopCount(parallel);
  const std::size_t capacity = std::min((parallel + loops - 1) / loops,
                                        std::max<std::size_t>(1, platform::readinessCapacity()));
  for (std::size_t i = 0; i < loops; ++i) {
    loops_.push_back(std::make_shared<Loop>(shared_, capacity));
    loops_.back()->resume();
  }
}

void AttemptEngine::requestTerminate() {
  for (const auto& loop : loops_) loop->requestTerminate();
}

bool AttemptEngine::settled() const {
  return shared_->loopsSettled == loops_.size() || finished();
}

bool AttemptEngine::finished() const {
  return std::all_of(loops_.begin(), loops_.end(),
                     [](const auto& loop) { return loop->finished() || !loop->started(); });
}

const std::vector<AttemptJob>& AttemptEngine::jobs() const {
  return shared_->jobs;
}

}  // namespace ravelin::verify
