#pragma once
#include <string>

#include "app/version_check.h"
#include "cli/terminal.h"

namespace ravelin::cli {

// The version-check window on a terminal: its label as the status line. The outcome is
// printed by the command itself, as one line.
class CliVersionCheckView : public app::VersionCheckView {
 public:
  explicit CliVersionCheckView(Terminal& term) : term_(term) {}

  void show() override {}
  void close() override { term_.clearProgress(); }
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override { term_.status(text); }
  void setDescription(const std::string&) override {}
  void setProgress(int) override {}
  // Nothing to read on a terminal: the download starts at once.
  bool keepsDisplayPauses() const override { return false; }

 private:
  Terminal& term_;
};

}  // namespace ravelin::cli
