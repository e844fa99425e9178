#pragma once
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <array>
#include <memory>

#include "qt/qt_progress_bar.h"
#include "qt/progress_window.h"
#include "update/update_view.h"

namespace ravelin::qt {

// "Ravelin: Check URLs for new servers": the update window. The sources bar under the
// headline and the count of addresses found; the details pane holds one frame per worker
// slot ("Thread 1:" to "Thread 8:") with its status text and bar.
class UpdateWindow : public ProgressWindow, public update::UpdateView {
 public:
  explicit UpdateWindow(QWidget* parent = nullptr);

  // A new run starts with idle slots, whatever the last (cancelled) run left in them.
  void show() override;
  void close() override { hide(); }
  void setMainWindowEnabled(bool enabled) override { enableMainWindow(enabled); }
  void setHeadline(const std::string& text) override;
  void setDescription(const std::string& text) override;
  runtime::ProgressBar& urlsBar() override { return urls_; }
  void setSlotCaption(int slot, const std::string& text) override;
  void setSlotLabel(int slot, const std::string& text) override;
  runtime::ProgressBar& slotBar(int slot) override { return *slotBars_[index(slot)]; }

  QGroupBox* slotFrame(int slot) const { return frames_[index(slot)]; }
  QLabel* slotLabel(int slot) const { return labels_[index(slot)]; }

 protected:
  runtime::ProgressView& progressView() override { return *this; }
  void detailsChanged() override { drawDetails(); }

 private:
  static std::size_t index(int slot) { return static_cast<std::size_t>(slot); }
  void resetSlots();

  QtProgressBar urls_;
  std::array<QGroupBox*, kSlots> frames_{};
  std::array<QLabel*, kSlots> labels_{};
  std::array<std::unique_ptr<QtProgressBar>, kSlots> slotBars_;
};

}  // namespace ravelin::qt
