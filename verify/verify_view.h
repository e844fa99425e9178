#pragma once
#include <string>

#include "runtime/progress_bar.h"
#include "runtime/progress_view.h"
#include "runtime/translate.h"

namespace ravelin::verify {

// The window's caption and the text of a status line that shows no attempt.
inline constexpr const char* kVerifyCaption = N_("Ravelin: Verify server list");
inline constexpr const char* kThreadNotUsed = N_("< Thread not used >");
// The most status lines the window has (VrfThreadCount chooses how many it shows).
inline constexpr int kVerifySlotCount = 20;

// How a status line is marked: the window's normal background, or the verdict's colour.
enum class SlotMark { Neutral, Ok, Failed };

// The verify window as the verification sees it: exactly the texts, marks and bars it
// shows. The headline, the progress text under it ("(17/250)") and the bar of tested
// servers, and the status lines of the latest attempts (slotCount() of them, at most 20).
class VerifyView : public runtime::ProgressView {
 public:
  virtual runtime::ProgressBar& progressBar() = 0;
  virtual void setSlotMark(int slot, SlotMark mark) = 0;
  virtual void setSlotCaption(int slot, const std::string& text) = 0;
  // The run's tally after each batch of outcomes: attempts ended, servers that accepted,
  // attempts still in flight. Shown by views without room for the status lines.
  virtual void setCounts(int done, int reachable, int inFlight) {
    (void)done, (void)reachable, (void)inFlight;
  }
};

}  // namespace ravelin::verify
