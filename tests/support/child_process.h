#pragma once
// Runs a piece of a test in a forked child, for what must not touch the test process
// itself: giving up root to meet a directory that is really not writable, lowering the
// file size limit to provoke a write error.
#include <sys/types.h>

#include <functional>
#include <string>

namespace test {

// Runs fn in a child process and returns the text fn returned (empty means success), or
// a description of how the child died.
std::string RunInChild(const std::function<std::string()>& fn);

// In a child process: gives up root (becomes nobody) so that permissions apply. Returns
// false when it could not.
bool DropRoot();

// In a child process: limits the size of files it writes and turns the signal of an
// oversized write into an error return.
void LimitFileSize(long bytes);

// A copy of sleep(1) under a name of our own, running until the object goes: a stand-in
// for a client program that runs on this machine.
class RunningCopy {
 public:
  explicit RunningCopy(const std::string& path);
  ~RunningCopy();
  RunningCopy(const RunningCopy&) = delete;
  RunningCopy& operator=(const RunningCopy&) = delete;
  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_ = 0;
};

}  // namespace test
