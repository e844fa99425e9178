#include "cli/cli_update_view.h"

#include "runtime/translate.h"

namespace ravelin::cli {

CliUpdateView::CliUpdateView(Terminal& term) : term_(term) {}

void CliUpdateView::close() {
  term_.clearProgress();
}

void CliUpdateView::setHeadline(const std::string& text) {
  if (text == headline_) return;
  headline_ = _(text.c_str());
  line(headline_);
  redraw();
}

void CliUpdateView::setDescription(const std::string& text) {
  if (text == desc_) return;
  desc_ = text;
  line(_(text.c_str()));
  redraw();
}

void CliUpdateView::setSlotCaption(int slot, const std::string& text) {
  captions_[static_cast<size_t>(slot)] = text;
}

void CliUpdateView::setSlotLabel(int slot, const std::string& text) {
  std::string& label = labels_[static_cast<size_t>(slot)];
  if (text == label) return;
  label = text;
  line(runtime::fillIn(_("Thread %s: %s"), {std::to_string(slot + 1), _(text.c_str())}));
}

// An idle slot prints nothing; the label of its next job does.
void CliUpdateView::showIdleSlot(int slot) {
  labels_[static_cast<size_t>(slot)].clear();
  slots_[static_cast<size_t>(slot)].setPosition(0);
}

// Whatever --quiet or --verbose say: a schedule's mail shows which source broke and why
// (an error page, a certificate that is not trusted), not only that the update failed.
void CliUpdateView::sourceFailed(const std::string& text) {
  term_.error("ravelin-cli: " + text);
}

// Plain lines only where nothing is drawn in place.
void CliUpdateView::line(const std::string& text) {
  if (!term_.showsProgress() && text != lastLine_) term_.status(text);
  lastLine_ = text;
}

void CliUpdateView::redraw() {
  if (!term_.showsProgress()) return;
  term_.progressLine(renderBar(headline_, urls_.position(), urls_.min(), urls_.max(), 20) + "  " +
                     desc_);
}

}  // namespace ravelin::cli
