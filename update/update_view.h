#pragma once
#include <functional>
#include <string>

#include "runtime/progress_bar.h"

namespace ravelin::update {

// The update window as the update coordinator drives it: exactly the texts, captions and
// bars that the window shows. The desktop program implements it with its window,
// ravelin-cli with a progress line, tests with a recorder.
//
// Window caption "Ravelin: Check URLs for new servers"; eight display slots, numbered 0
// to 7 here and shown as "Thread 1:" to "Thread 8:".
class UpdateView {
 public:
  static constexpr int kSlots = 8;
  static constexpr int kHeightWithDetails = 552;
  static constexpr int kHeightWithoutDetails = 138;

  virtual ~UpdateView() = default;

  // Shown without being modal, and closed again, by the command's wait frame; the main
  // window is disabled in between.
  virtual void showWindow() = 0;
  virtual void closeWindow() = 0;
  virtual void setMainWindowEnabled(bool enabled) = 0;

  // The headline and the description line under it.
  virtual void setHeadline(const std::string& text) = 0;
  virtual void setDesc(const std::string& text) = 0;
  // The sources bar: one step per finished job.
  virtual runtime::ProgressBar& urlsBar() = 0;

  // The details button ("&Details <<" while the slots are shown, "&Details >>" while hidden) and
  // the window height that goes with it. The caption is the panel's state and carries
  // over from one update to the next.
  virtual std::string detailsCaption() const = 0;
  virtual void setDetails(const std::string& caption, int windowHeight) = 0;

  // A slot's frame caption, status text and progress bar.
  virtual void setSlotCaption(int slot, const std::string& text) = 0;
  virtual void setSlotLabel(int slot, const std::string& text) = 0;
  virtual runtime::ProgressBar& slotBar(int slot) = 0;

  // Set by the coordinator while an update runs: the front end calls them when the user
  // presses Cancel (or Escape) and Details.
  std::function<void()> cancelClicked;
  std::function<void()> detailsClicked;
};

}  // namespace ravelin::update
