#pragma once
#include <string>

#include "cli/terminal.h"
#include "client/transfer.h"
#include "runtime/progress_bar.h"

namespace ravelin::cli {

// The transfer window on a terminal: the status with the bar of servers gone through,
// redrawn in place. Without a terminal, --verbose prints where the servers go and every
// status other than the per-server count as lines of their own.
class CliTransferView : public client::TransferView {
 public:
  explicit CliTransferView(Terminal& term) : term_(term), bar_([this] { redraw(); }) {}

  void show() override {}
  void close() override { term_.clearProgress(); }
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override;
  void setDescription(const std::string& text) override;
  runtime::ProgressBar& progressBar() override { return bar_; }

 private:
  void redraw();

  Terminal& term_;
  RedrawingBar bar_;
  std::string headline_;
};

}  // namespace ravelin::cli
