#pragma once
// The fake eMule (fake_emule.exe, built beside the Windows test program) as a peer for the
// hand-over tests: a window that answers eMule's search and records the links it is sent.
#include <cstdint>
#include <string>

namespace test {

// Started with CreateProcessW, ready once its window answers the search (at most 10 s);
// ended with TerminateProcess when the object goes. With hang, it never returns from the
// first link it is sent.
class EmulePeer {
 public:
  explicit EmulePeer(const std::string& linksFile, bool hang = false);
  ~EmulePeer();
  EmulePeer(const EmulePeer&) = delete;
  EmulePeer& operator=(const EmulePeer&) = delete;
  // Why its window does not answer; empty when it does.
  const std::string& problem() const { return problem_; }

 private:
  std::intptr_t process_ = 0, thread_ = 0;
  std::string problem_;
};

}  // namespace test
