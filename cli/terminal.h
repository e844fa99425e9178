#pragma once
// How ravelin-cli talks to its user: progress on a terminal, plain lines with --verbose,
// errors always, all on stderr.
#include <cstddef>
#include <functional>
#include <string>

#include "client/close_countdown.h"
#include "runtime/progress_bar.h"
#include "runtime/prompter.h"

namespace ravelin::cli {

// Writes text to stderr, a line per line end (CR LF and CR become one). When stderr is the
// system journal's stream every line starts with its syslog priority, "<3>" for an error
// and "<6>" for anything else, so that the journal shows failures as errors.
void writeStderrLines(const std::string& text, bool isError);

class Terminal {
 public:
  Terminal(bool quiet, bool verbose);

  // Progress is drawn in place on a terminal unless --quiet.
  bool showsProgress() const { return progress_; }
  bool verbose() const { return verbose_; }
  bool quiet() const { return quiet_; }

  // Redraws the progress line (on a terminal only).
  void progressLine(const std::string& text);
  // Removes the progress line.
  void clearProgress();
  // A status line: on a terminal it replaces the progress line; elsewhere it is printed
  // as a line of its own with --verbose only.
  void status(const std::string& text);
  // An error, always printed (after clearing any progress line); CR LF becomes a line end.
  void error(const std::string& text);
  // A line of its own on stderr with --verbose only.
  void note(const std::string& text);
  // A result line on stdout unless --quiet.
  void info(const std::string& text);

 private:
  bool quiet_;
  bool verbose_;
  bool progress_;
  bool escapes_;  // the terminal erases a line by escape sequence
  bool lineOpen_ = false;
  std::size_t lineWidth_ = 0;  // columns of the line drawn last
};

// A text bar: "label [########............]  123/456".
std::string renderBar(const std::string& label, int position, int minimum, int maximum,
                      int width = 30);

// The load/save bar, drawn whenever the shown fill or count changes.
// A bar drawn as part of its view's line: every change redraws the view (a bar made
// without a redraw is only kept, not shown).
class RedrawingBar : public runtime::ProgressBar {
 public:
  RedrawingBar() = default;
  explicit RedrawingBar(std::function<void()> redraw) : redraw_(std::move(redraw)) {}

 protected:
  void changed() override {
    if (redraw_) redraw_();
  }

 private:
  std::function<void()> redraw_;
};

class TerminalProgressBar : public runtime::ProgressBar {
 public:
  TerminalProgressBar(Terminal& term, std::string label) : term_(term), label_(std::move(label)) {}

 protected:
  void changed() override;

 private:
  Terminal& term_;
  std::string label_;
  bool drawn_ = false;
  int lastPosition_ = -1;
  int lastMax_ = -1;
};

// The close countdown: "Ravelin will close in 5 seconds." counting down in place.
class TerminalCountdown : public client::CountdownView {
 public:
  explicit TerminalCountdown(Terminal& term) : term_(term) {}
  void showSeconds(int seconds) override;
  bool cancelled() override { return false; }
  void closed() override { term_.clearProgress(); }

 private:
  Terminal& term_;
};

// Message boxes become error lines; the default answer is taken.
class TerminalPrompter : public runtime::Prompter {
 public:
  explicit TerminalPrompter(Terminal& term) : term_(term) {}
  runtime::MsgResult message(const std::string& title, const std::string& text,
                             runtime::MsgIcon icon, runtime::MsgButtons buttons) override;

 private:
  Terminal& term_;
};

}  // namespace ravelin::cli
