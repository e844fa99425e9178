// The per-thread event loop, the self-owning worker thread and the blocking hand-over of
// the loop-based user-interface thread.
#include "platform/event_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/socket.h"
#include "platform/worker_thread.h"
#include "runtime/loop_ui_thread.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;

namespace {

using platform::EventLoop;
using platform::WorkerThread;

TEST(EventLoopTest, PostedFunctionsRunInOrderInsideProcessing) {
  EventLoop loop;
  std::vector<int> seen;
  loop.post([&] { seen.push_back(1); });
  loop.post([&] { seen.push_back(2); });
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(loop.processPending(), 2);
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(loop.processPending(), 0);
}

TEST(EventLoopTest, CurrentLoopBelongsToTheCreatingThread) {
  // On a thread of its own: earlier tests in this process may have given the main thread a
  // loop already.
  std::thread([] {
    EventLoop loop;
    EXPECT_EQ(EventLoop::current(), &loop);
    EXPECT_EQ(&EventLoop::forCurrentThread(), &loop);
    EXPECT_TRUE(loop.isLoopThread());
    std::atomic<bool> otherIsLoopThread{true};
    std::atomic<EventLoop*> otherCurrent{&loop};
    std::thread([&] {
      otherIsLoopThread = loop.isLoopThread();
      otherCurrent = EventLoop::current();
    }).join();
    EXPECT_FALSE(otherIsLoopThread);
    EXPECT_EQ(otherCurrent.load(), nullptr);
  }).join();
}

TEST(EventLoopTest, DispatchRunsAtOnceOnTheLoopThreadOnly) {
  EventLoop loop;
  int ran = 0;
  loop.dispatch([&] { ++ran; });
  EXPECT_EQ(ran, 1);
  std::thread([&] { loop.dispatch([&] { ++ran; }); }).join();
  EXPECT_EQ(ran, 1);
  loop.processPending();
  EXPECT_EQ(ran, 2);
}

TEST(EventLoopTest, PostFromManyThreadsWakesTheWaitingLoop) {
  EventLoop loop;
  std::atomic<int> ran{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 250; ++i) loop.post([&] { ++ran; });
    });
  const std::uint32_t start = platform::systemClock().ticks();
  while (ran < 1000 && platform::systemClock().ticks() - start < 10000) loop.waitAndProcess(5000);
  for (auto& t : threads) t.join();
  loop.processPending();
  EXPECT_EQ(ran, 1000);
}

TEST(EventLoopTest, WaitEndsEarlyWhenWoken) {
  EventLoop loop;
  std::thread t([&] {
    platform::systemClock().sleepMs(50);
    loop.post([] {});
  });
  const std::uint32_t start = platform::systemClock().ticks();
  EXPECT_EQ(loop.waitAndProcess(20000), 1);
  EXPECT_LT(platform::systemClock().ticks() - start, 10000u);
  t.join();
  // wakeUp() alone ends a wait too, without running anything.
  std::thread w([&] {
    platform::systemClock().sleepMs(50);
    loop.wakeUp();
  });
  const std::uint32_t start2 = platform::systemClock().ticks();
  loop.waitAndProcess(20000);
  EXPECT_LT(platform::systemClock().ticks() - start2, 10000u);
  w.join();
}

TEST(EventLoopTest, HandleOutlivesTheLoop) {
  EventLoop::Handle h;
  {
    EventLoop loop;
    h = loop.handle();
    EXPECT_TRUE(h.valid());
    int ran = 0;
    EXPECT_TRUE(h.post([&] { ++ran; }));
    loop.processPending();
    EXPECT_EQ(ran, 1);
  }
  EXPECT_FALSE(h.valid());
  EXPECT_FALSE(h.post([] { FAIL() << "ran on a destroyed loop"; }));
}

TEST(EventLoopTest, TimersFireOnceAndCanBeCancelled) {
  EventLoop loop;
  int a = 0, b = 0;
  loop.addTimer(30, [&] { ++a; });
  const auto id = loop.addTimer(30, [&] { ++b; });
  loop.cancelTimer(id);
  loop.processPending();
  EXPECT_EQ(a, 0);
  ASSERT_TRUE(test::PumpUntil(loop, [&] { return a == 1; }));
  test::PumpFor(loop, 60);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
}

TEST(EventLoopTest, FdWatchesReportReadinessAndCanBeRemovedInsideCallbacks) {
  EventLoop loop;
  // Two datagram sockets on loopback: each datagram sent makes the receiver readable.
  const std::uint32_t loopback = 0x7F000001;
  int error = 0;
  const SocketHandle receiver = openSocket(SocketType::Datagram, error);
  const SocketHandle sender = openSocket(SocketType::Datagram, error);
  ASSERT_NE(receiver, kNoSocket);
  ASSERT_NE(sender, kNoSocket);
  ASSERT_EQ(bindSocket(receiver, loopback, 0), 0);
  const std::uint16_t port = boundPort(receiver);
  ASSERT_NE(port, 0);
  const auto send = [&](const char* text) {
    return sendDatagram(sender, text, 1, loopback, port, error);
  };
  int reads = 0, writes = 0;
  EventLoop::WatchId readWatch = 0;
  readWatch = loop.watchFd(receiver, EventLoop::kRead, [&](unsigned ev) {
    EXPECT_TRUE(ev & EventLoop::kRead);
    char c;
    while (receiveBytes(receiver, &c, 1, error) == 1) ++reads;
    loop.unwatch(readWatch);
  });
  const auto writeWatch = loop.watchFd(sender, EventLoop::kWrite, [&](unsigned) { ++writes; });
  loop.processPending();
  EXPECT_EQ(reads, 0);
  EXPECT_EQ(writes, 1);
  loop.modifyWatch(writeWatch, 0);
  ASSERT_EQ(send("a") + send("b") + send("c"), 3);
  ASSERT_TRUE(test::PumpUntil(loop, [&] { return reads > 0; }));
  loop.processPending();
  EXPECT_EQ(reads, 3);
  EXPECT_EQ(writes, 1);
  ASSERT_EQ(send("d"), 1);
  loop.waitAndProcess(50);
  EXPECT_EQ(reads, 3) << "a removed watch is not called again";
  loop.unwatch(writeWatch);
  closeSocket(receiver);
  closeSocket(sender);
}

TEST(EventLoopTest, ProcessingNestsInsideCallbacks) {
  EventLoop loop;
  std::vector<int> order;
  loop.post([&] {
    order.push_back(1);
    loop.post([&] { order.push_back(3); });
    loop.processPending();
    order.push_back(2);
  });
  loop.processPending();
  EXPECT_EQ(order, (std::vector<int>{1, 3, 2}));
}

TEST(WorkerThreadTest, CreatedSuspendedRunsAfterResumeAndFreesItself) {
  std::atomic<bool> ran{false};
  std::weak_ptr<WorkerThread> watcher;
  {
    auto w = WorkerThread::create([&](WorkerThread&) { ran = true; });
    watcher = w;
    platform::systemClock().sleepMs(50);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(w->started());
    w->resume();
    EXPECT_TRUE(w->waitFinished(10000));
    EXPECT_TRUE(ran);
  }
  // The thread dropped its own reference when its function returned.
  const std::uint32_t start = platform::systemClock().ticks();
  while (!watcher.expired() && platform::systemClock().ticks() - start < 10000)
    platform::systemClock().sleepMs(5);
  EXPECT_TRUE(watcher.expired());
}

TEST(WorkerThreadTest, KeepsItselfAliveWhileRunning) {
  std::atomic<bool> release{false};
  std::atomic<bool> done{false};
  std::weak_ptr<WorkerThread> watcher;
  {
    auto w = WorkerThread::create([&](WorkerThread& self) {
      while (!release && !self.terminated()) platform::systemClock().sleepMs(5);
      done = true;
    });
    watcher = w;
    w->resume();
  }
  platform::systemClock().sleepMs(30);
  EXPECT_FALSE(watcher.expired()) << "a running worker must not be freed";
  // A program's exit waits for it, within its bound.
  EXPECT_FALSE(platform::waitForWorkerThreads(10));
  auto w = watcher.lock();
  ASSERT_TRUE(w);
  w->requestTerminate();
  EXPECT_TRUE(w->terminated());
  EXPECT_TRUE(w->waitFinished(10000));
  EXPECT_TRUE(done);
  w.reset();
  EXPECT_TRUE(platform::waitForWorkerThreads(10000));
  EXPECT_TRUE(watcher.expired());
}

struct CountingWorker : WorkerThread {
  std::atomic<int>& count;
  explicit CountingWorker(std::atomic<int>& c) : count(c) {}
  void execute() override {
    while (!terminated()) platform::systemClock().sleepMs(2);
    ++count;
  }
};

TEST(WorkerThreadTest, SubclassesOverrideExecute) {
  std::atomic<int> count{0};
  auto w = std::make_shared<CountingWorker>(count);
  w->resume();
  w->resume();  // a second resume does nothing
  w->requestTerminate();
  ASSERT_TRUE(w->waitFinished(10000));
  EXPECT_EQ(count, 1);
}

TEST(WorkerThreadTest, NeverResumedWorkerIsFreedNormally) {
  std::weak_ptr<WorkerThread> watcher;
  {
    auto w = WorkerThread::create([](WorkerThread&) {});
    watcher = w;
  }
  EXPECT_TRUE(watcher.expired());
}

TEST(LoopUiThreadTest, InvokeFromWorkerBlocksUntilAPumpRunsIt) {
  EventLoop loop;
  LoopUiThread ui(loop);
  std::atomic<int> stage{0};
  std::thread::id ranOn;
  auto w = WorkerThread::create([&](WorkerThread&) {
    stage = 1;
    ui.invoke([&] { ranOn = std::this_thread::get_id(); });
    stage = 2;
  });
  w->resume();
  const std::uint32_t start = platform::systemClock().ticks();
  while (stage < 1 && platform::systemClock().ticks() - start < 10000)
    platform::systemClock().sleepMs(1);
  platform::systemClock().sleepMs(100);
  EXPECT_EQ(stage, 1) << "the worker must wait for the user-interface thread";
  ASSERT_TRUE(test::PumpUntil(loop, [&] {
    ui.pump();
    return stage == 2;
  }));
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_TRUE(w->waitFinished(10000));
}

TEST(LoopUiThreadTest, InvokeOnTheUiThreadRunsAtOnce) {
  EventLoop loop;
  LoopUiThread ui(loop);
  int ran = 0;
  ui.invoke([&] { ++ran; });
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(ui.terminating());
  ui.setTerminating();
  EXPECT_TRUE(ui.terminating());
}

TEST(LoopUiThreadTest, ExceptionsReachTheInvokingThread) {
  EventLoop loop;
  LoopUiThread ui(loop);
  std::atomic<bool> caught{false};
  auto w = WorkerThread::create([&](WorkerThread&) {
    try {
      ui.invoke([] { throw std::runtime_error("boom"); });
    } catch (const std::runtime_error& e) {
      caught = std::string(e.what()) == "boom";
    }
  });
  w->resume();
  ASSERT_TRUE(test::PumpUntil(loop, [&] { return w->finished(); }));
  EXPECT_TRUE(caught);
}

TEST(LoopUiThreadTest, ManyWorkersHandOverToOneThread) {
  EventLoop loop;
  LoopUiThread ui(loop);
  int total = 0;  // written on the UI thread only
  std::vector<std::shared_ptr<WorkerThread>> workers;
  for (int i = 0; i < 20; ++i) {
    auto w = WorkerThread::create([&](WorkerThread&) {
      for (int k = 0; k < 50; ++k) ui.invoke([&] { ++total; });
    });
    workers.push_back(w);
    w->resume();
  }
  ASSERT_TRUE(test::PumpUntil(loop, [&] {
    for (auto& w : workers)
      if (!w->finished()) return false;
    return true;
  }));
  EXPECT_EQ(total, 1000);
}

TEST(LoopUiThreadTest, PauseFuncPumpsWhileWaiting) {
  EventLoop loop;
  LoopUiThread ui(loop);
  std::atomic<bool> handedOver{false};
  auto w = WorkerThread::create([&](WorkerThread&) { ui.invoke([&] { handedOver = true; }); });
  w->resume();
  pauseFunc(ui, platform::systemClock(), 300);
  EXPECT_TRUE(w->waitFinished(10000));
  EXPECT_TRUE(handedOver);
}

TEST(LoopUiThreadTest, InvokeFailsWhenTheLoopIsGone) {
  auto loop = std::make_unique<EventLoop>();
  auto ui = std::make_unique<LoopUiThread>(*loop);
  std::atomic<int> outcome{0};
  auto w = WorkerThread::create([&](WorkerThread&) {
    try {
      ui->invoke([] {});
      outcome = 1;
    } catch (const std::runtime_error&) {
      outcome = 2;
    }
  });
  w->resume();
  platform::systemClock().sleepMs(100);
  // The loop ends with the hand-over unrun: the worker is released, not left hanging.
  loop.reset();
  ASSERT_TRUE(w->waitFinished(10000));
  EXPECT_EQ(outcome, 2);
}

}  // namespace
