#pragma once
#include <array>
#include <string>

#include "cli/terminal.h"
#include "runtime/progress_bar.h"
#include "verify/verify_view.h"

namespace ravelin::cli {

// The verify window on a terminal: the headline with the bar of tested servers, its
// position/maximum and the tally of attempts (done, reachable, in flight), redrawn in place. With
// --verbose and no terminal, every headline, description and thread status line is printed as a
// line of its own.
class CliVerifyView : public verify::VerifyView {
 public:
  explicit CliVerifyView(Terminal& term) : term_(term), bar_([this] { redraw(); }) {}

  void show() override {}
  void close() override { term_.clearProgress(); }
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override;
  void setDescription(const std::string& text) override;
  runtime::ProgressBar& progressBar() override { return bar_; }
  void setSlotMark(int, verify::SlotMark) override {}
  void setSlotCaption(int slot, const std::string& text) override;
  void setCounts(int done, int reachable, int inFlight) override;
  // No window shows the verdicts: the run goes on as soon as each outcome is known.
  bool keepsDisplayPauses() const override { return false; }

 private:
  void redraw();
  void line(const std::string& text);

  Terminal& term_;
  RedrawingBar bar_;
  std::array<std::string, verify::kVerifySlotCount> captions_{};
  std::string headline_;
  std::string counts_;
};

}  // namespace ravelin::cli
