#include "cli/cli_verify_view.h"

#include "runtime/translate.h"

namespace ravelin::cli {

void CliVerifyView::setHeadline(const std::string& text) {
  headline_ = _(text.c_str());
  line(headline_);
  redraw();
}

void CliVerifyView::setDescription(const std::string& text) {
  line(_(text.c_str()));
}

void CliVerifyView::setSlotCaption(int slot, const std::string& text) {
  std::string& caption = captions_[static_cast<size_t>(slot)];
  if (caption == text) return;
  caption = text;
  if (text != _(verify::kThreadNotUsed))
    line(runtime::fillIn(_("Thread %s: %s"), {std::to_string(slot + 1), _(text.c_str())}));
}

void CliVerifyView::setCounts(int done, int reachable, int inFlight) {
  counts_ =
      runtime::fillIn(_("%s done, %s reachable, %s in flight"),
                      {std::to_string(done), std::to_string(reachable), std::to_string(inFlight)});
  redraw();
}

void CliVerifyView::line(const std::string& text) {
  if (!term_.showsProgress()) term_.status(text);
}

void CliVerifyView::redraw() {
  if (!term_.showsProgress()) return;
  std::string text = renderBar(headline_, bar_.position(), bar_.min(), bar_.max(), 20);
  if (!counts_.empty()) text += "  " + counts_;
  term_.progressLine(text);
}

}  // namespace ravelin::cli
