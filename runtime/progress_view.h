#pragma once
#include <functional>
#include <string>

namespace ravelin::runtime {

// What every window of a long operation (update, verify) has: it is shown and closed by
// the wait frame with the main window disabled in between, it shows a headline and a
// description line, it has Cancel, and a details pane with one row per worker slot of the
// run, shown or hidden as the user last left it. The desktop program implements it with
// windows, ravelin-cli on the terminal, tests with recorders. Every call comes on the
// user-interface thread.
class ProgressView {
 public:
  virtual ~ProgressView() = default;

  virtual void show() = 0;
  virtual void close() = 0;
  virtual void setMainWindowEnabled(bool enabled) = 0;

  virtual void setHeadline(const std::string& text) = 0;
  virtual void setDescription(const std::string& text) = 0;

  // A new window shows its details; only the Details button changes that, and the state
  // carries over to the next run. The window draws its details button and its height
  // from this state.
  bool detailsShown() const { return detailsShown_; }
  void toggleDetails() {
    detailsShown_ = !detailsShown_;
    detailsChanged();
  }

  // The number of worker slots that the coming run uses (its pool size), told before the
  // window is shown: the details pane shows as many rows.
  int slotCount() const { return slotCount_; }
  void setSlotCount(int count) {
    slotCount_ = count;
    detailsChanged();
  }

  // Whether the fixed pauses that keep each verdict readable are made. A window keeps
  // them; a front end that shows no verdicts may drop them.
  virtual bool keepsDisplayPauses() const { return true; }

  // Cancel (or Escape): asks the running operation, which installs the handler, to stop.
  void cancel() {
    if (cancelHandler_) cancelHandler_();
  }
  void setCancelHandler(std::function<void()> handler) { cancelHandler_ = std::move(handler); }

 protected:
  // The details pane was shown or hidden, or its number of rows changed.
  virtual void detailsChanged() {}

 private:
  bool detailsShown_ = true;
  int slotCount_ = 1;
  std::function<void()> cancelHandler_;
};

}  // namespace ravelin::runtime
