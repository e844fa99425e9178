#pragma once
// The fake eMule (fake_emule.exe, built beside the Windows test program) as a peer for the
// hand-over tests: a window that answers eMule's search and records the links it is sent.
#include <string>

#include "platform/process.h"

namespace test {

// Started beside the test program, ready once its window answers the search (at most
// 10 s); killed when the object goes. With hang, it never returns from the first link it
// is sent.
class EmulePeer {
 public:
  explicit EmulePeer(const std::string& linksFile, bool hang = false);
  // Why its window does not answer; empty when it does.
  const std::string& problem() const { return problem_; }

 private:
  ravelin::platform::PipedProcess process_;
  std::string problem_;
};

}  // namespace test
