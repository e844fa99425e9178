#include "platform/readiness.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <limits>
#include <system_error>
#include <vector>

#include "platform/event_loop.h"

namespace ravelin::platform {

// poll() takes as many descriptors as the process may open.
std::size_t readinessCapacity() {
  return std::numeric_limits<std::size_t>::max();
}

// One eventfd is both ends.
Wakeup::Wakeup() {
  readHandle_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (readHandle_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  writeHandle_ = readHandle_;
}

Wakeup::~Wakeup() {
  ::close(readHandle_);
}

void Wakeup::set() {
  const std::uint64_t one = 1;
  ssize_t n;
  do {
    n = ::write(writeHandle_, &one, sizeof one);
  } while (n < 0 && errno == EINTR);
}

void Wakeup::clear() {
  std::uint64_t value;
  while (::read(readHandle_, &value, sizeof value) > 0) {
  }
}

int Wakeup::wait(ReadyEntry* entries, std::size_t count, int timeoutMs, bool& woken) {
  std::vector<pollfd> fds;
  fds.reserve(count + 1);
  fds.push_back({readHandle_, POLLIN, 0});
  for (std::size_t i = 0; i < count; ++i) {
    short ev = 0;
    if (entries[i].events & EventLoop::kRead) ev |= POLLIN;
    if (entries[i].events & EventLoop::kWrite) ev |= POLLOUT;
    fds.push_back({entries[i].fd, ev, 0});
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int n;
  for (;;) {
    n = ::poll(fds.data(), fds.size(), timeoutMs);
    if (n >= 0 || errno != EINTR) break;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    timeoutMs = left > 0 ? static_cast<int>(left) : 0;
  }
  woken = n > 0 && fds[0].revents != 0;
  int ready = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const short re = n > 0 ? fds[i + 1].revents : 0;
    unsigned bits = 0;
    if (re & POLLIN) bits |= EventLoop::kRead;
    if (re & POLLOUT) bits |= EventLoop::kWrite;
    if (re & (POLLERR | POLLHUP | POLLNVAL)) bits |= EventLoop::kError;
    entries[i].ready = bits;
    if (bits) ++ready;
  }
  return ready;
}

}  // namespace ravelin::platform
