#pragma once
#include <string>

#include "runtime/progress_bar.h"
#include "runtime/progress_view.h"

namespace ravelin::update {

// The update window as the update coordinator drives it: exactly the texts and bars that
// the window shows. Window caption "Ravelin: Check URLs for new servers"; eight display
// slots, numbered 0 to 7 here and shown as "Thread 1:" to "Thread 8:".
class UpdateView : public runtime::ProgressView {
 public:
  static constexpr int kSlots = 8;

  // The sources bar: one step per finished job.
  virtual runtime::ProgressBar& urlsBar() = 0;

  // A slot's frame caption, status text and progress bar.
  virtual void setSlotCaption(int slot, const std::string& text) = 0;
  virtual void setSlotLabel(int slot, const std::string& text) = 0;
  virtual runtime::ProgressBar& slotBar(int slot) = 0;
  // The slot has no job (each slot as a run begins, and again once its job is done): its
  // caption "Thread N:", the label "< Thread not used >" and the bar at 0.
  virtual void showIdleSlot(int slot);

  // A source could not be read: its address and the cause, as the log has them. A window
  // that shows the log's failures elsewhere may pass over it.
  virtual void sourceFailed(const std::string& /*text*/) {}
};

}  // namespace ravelin::update
