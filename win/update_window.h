#pragma once
#include <windows.h>

#include <array>

#include "update/update_view.h"
#include "win/progress_window.h"

namespace ravelin::win {

// "Ravelin: Check URLs for new servers": the update window. The sources bar under the
// headline and the count of addresses found; the details pane holds one frame per worker
// slot ("Thread 1:" to "Thread 8:") with its status text and bar.
class UpdateWindow : public ProgressWindow, public update::UpdateView {
 public:
  // The parts of a slot's row (rowItemId).
  enum RowPart { kFramePart, kLabelPart, kBarPart };

  explicit UpdateWindow(HWND owner);

  // A new run starts with idle slots, whatever the last (cancelled) run left in them.
  void show() override;
  void close() override { hideWindow(); }
  void setMainWindowEnabled(bool enabled) override { enableMainWindow(enabled); }
  void setHeadline(const std::string& text) override { setItemText(kHeadlineId, text); }
  void setDescription(const std::string& text) override { setItemText(kDescriptionId, text); }
  runtime::ProgressBar& urlsBar() override { return bar(); }
  void setSlotCaption(int slot, const std::string& text) override;
  void setSlotLabel(int slot, const std::string& text) override;
  runtime::ProgressBar& slotBar(int slot) override;

 protected:
  runtime::ProgressView& progressView() override { return *this; }
  void detailsChanged() override { drawDetails(); }
  void addRow(DialogTemplate& form, int slot, RECT units) const override;
  void rowsCreated() override;

 private:
  void resetSlots();

  std::array<ProgressControl, kSlots> slotBars_;
};

}  // namespace ravelin::win
