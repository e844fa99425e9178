#include "cli/terminal.h"

#include <cstdio>

#include "cli/console_line.h"
#include "platform/console.h"
#include "runtime/translate.h"

namespace ravelin::cli {

namespace {
std::string PlainLineBreaks(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\r' ? '\n' : text[i];
  }
  return out;
}
}  // namespace

void writeStderrLines(const std::string& text, bool isError) {
  static const bool journal = platform::standardErrorIsJournal();
  const std::string plain = PlainLineBreaks(text);
  std::string out;
  std::size_t start = 0;
  while (start < plain.size() || start == 0) {
    std::size_t end = plain.find('\n', start);
    if (end == std::string::npos) end = plain.size();
    if (journal) out += isError ? "<3>" : "<6>";
    out.append(plain, start, end - start);
    out += '\n';
    start = end + 1;
  }
  std::fputs(out.c_str(), stderr);
  std::fflush(stderr);
}

Terminal::Terminal(bool quiet, bool verbose)
    : quiet_(quiet),
      verbose_(verbose),
      progress_(!quiet && platform::standardErrorIsTerminal()),
      escapes_(progress_ && platform::enableTerminalEscapes()) {}

void Terminal::progressLine(const std::string& text) {
  if (!progress_) return;
  std::fputs(redrawLine(text, lineWidth_, escapes_).c_str(), stderr);
  std::fflush(stderr);
  lineOpen_ = true;
}

void Terminal::clearProgress() {
  if (!lineOpen_) return;
  std::fputs(redrawLine("", lineWidth_, escapes_).c_str(), stderr);
  std::fflush(stderr);
  lineOpen_ = false;
}

void Terminal::status(const std::string& text) {
  if (progress_) {
    progressLine(text);
  } else if (verbose_) {
    writeStderrLines(text, false);
  }
}

void Terminal::error(const std::string& text) {
  clearProgress();
  writeStderrLines(text, true);
}

void Terminal::note(const std::string& text) {
  if (!verbose_) return;
  clearProgress();
  writeStderrLines(text, false);
}

void Terminal::info(const std::string& text) {
  if (quiet_) return;
  clearProgress();
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

std::string renderBar(const std::string& label, int position, int minimum, int maximum, int width) {
  const long long span = static_cast<long long>(maximum) - minimum;
  long long done = static_cast<long long>(position) - minimum;
  if (done < 0) done = 0;
  if (span > 0 && done > span) done = span;
  const int filled = span > 0 ? static_cast<int>(done * width / span) : 0;
  return label + " [" + std::string(static_cast<size_t>(filled), '#') +
         std::string(static_cast<size_t>(width - filled), '.') + "] " + std::to_string(done) + "/" +
         std::to_string(span > 0 ? span : 0);
}

void TerminalProgressBar::changed() {
  if (!visible()) {
    if (drawn_) term_.clearProgress();
    drawn_ = false;
    lastPosition_ = lastMax_ = -1;
    return;
  }
  // Redraw only when the text changes, and for long runs at most every 1/200 of the way.
  const int span = max() - min();
  const int granularity = span > 2000 ? span / 200 : 1;
  if (drawn_ && max() == lastMax_ && position() != max() &&
      (position() - lastPosition_ < granularity && position() >= lastPosition_))
    return;
  lastPosition_ = position();
  lastMax_ = max();
  drawn_ = true;
  term_.progressLine(renderBar(label_, position(), min(), max()));
}

void TerminalCountdown::showSeconds(int seconds) {
  const std::string text =
      runtime::fillIn(_("Ravelin will close in %s seconds."), {std::to_string(seconds)});
  if (term_.showsProgress())
    term_.progressLine(text);
  else if (term_.verbose())
    term_.status(text);
}

runtime::MsgResult TerminalPrompter::message(const std::string& title, const std::string& text,
                                             runtime::MsgIcon, runtime::MsgButtons buttons) {
  term_.error(title + ": " + text);
  return buttons == runtime::MsgButtons::YesNo || buttons == runtime::MsgButtons::YesNoCancel
             ? runtime::MsgResult::No
             : runtime::MsgResult::Ok;
}

}  // namespace ravelin::cli
