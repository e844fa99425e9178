#pragma once
#include <windows.h>

#include <functional>

#include "runtime/progress_view.h"
#include "win/dialog.h"
#include "win/progress_control.h"

namespace ravelin::win {

// What the update and verify windows share: a headline in bold, a description line and a
// bar over Cancel and Details, and the details pane below them with one row per slot of
// the run. The window is as high as what it shows, drawn from the view's details state and
// slot count. It stays on top of the main window, without a close box; Escape and a close
// (Alt+F4) are Cancel, since the run ends the window, not the user.
class ProgressWindow : public Dialog {
 public:
  static constexpr int kHeadlineId = 100;
  static constexpr int kDescriptionId = 101;
  static constexpr int kBarId = 102;
  static constexpr int kDetailsId = 103;
  static constexpr int kDetailsPaneId = 104;
  // The controls of a row of the details pane: kFirstRowId + slot * kIdsPerRow + part.
  static constexpr int kFirstRowId = 200;
  static constexpr int kIdsPerRow = 4;
  static int rowItemId(int slot, int part) { return kFirstRowId + slot * kIdsPerRow + part; }

  // Disables and enables the main window around a run.
  std::function<void(bool enabled)> onMainWindowEnabled;

  ~ProgressWindow() override = default;

 protected:
  // rows: the most slots a run has; rowHeight: a row's height in dialog units.
  ProgressWindow(const char* caption, int rows, int rowHeight);

  // The view that the window implements.
  virtual runtime::ProgressView& progressView() = 0;
  // Adds the controls of the slot's row (ids from rowItemId) inside the rectangle, in
  // dialog units.
  virtual void addRow(DialogTemplate& form, int slot, RECT units) const = 0;
  // The controls exist: the rows are filled for a run that has not begun.
  virtual void rowsCreated() {}

  ProgressControl& bar() { return bar_; }
  // Shows the window centred over the main window, its details drawn.
  void showCentred();
  void enableMainWindow(bool enabled);
  void drawDetails();
  void hideWindow() { ShowWindow(window(), SW_HIDE); }

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;

  const char* caption_;
  int rows_;
  int rowHeight_;
  ProgressControl bar_;
  FontHandle bold_;
};

}  // namespace ravelin::win
