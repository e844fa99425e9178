#pragma once
#include <array>
#include <string>

#include "cli/terminal.h"
#include "runtime/progress_bar.h"
#include "update/update_view.h"

namespace ravelin::cli {

// The update window on a terminal: one line with the headline, the URL bar and the count
// of servers found, redrawn in place. With --verbose and no terminal, every headline,
// description and thread status the window would show is printed as a line of its own.
class CliUpdateView : public update::UpdateView {
 public:
  explicit CliUpdateView(Terminal& term);

  void show() override {}
  void close() override;
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override;
  void setDescription(const std::string& text) override;
  runtime::ProgressBar& urlsBar() override { return urls_; }
  void setSlotCaption(int slot, const std::string& text) override;
  void setSlotLabel(int slot, const std::string& text) override;
  runtime::ProgressBar& slotBar(int slot) override { return slots_[static_cast<size_t>(slot)]; }
  void showIdleSlot(int slot) override;
  void sourceFailed(const std::string& text) override;
  // No window shows the slots' verdicts: each job reports as soon as it is over.
  bool keepsDisplayPauses() const override { return false; }

 private:
  void redraw();
  void line(const std::string& text);

  Terminal& term_;
  RedrawingBar urls_{[this] { redraw(); }};
  std::array<RedrawingBar, kSlots> slots_;
  std::array<std::string, kSlots> captions_{};
  std::array<std::string, kSlots> labels_{};
  std::string headline_, desc_, lastLine_;
};

}  // namespace ravelin::cli
