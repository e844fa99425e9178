#pragma once
#include <exception>

namespace ravelin::runtime {

// Ends the current user action and unwinds to the front end's loop without any message.
// Front ends catch it and carry on as if the action had simply finished; whatever had to
// be reported was reported before it was raised.
class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "silent abort"; }
};

}  // namespace ravelin::runtime
