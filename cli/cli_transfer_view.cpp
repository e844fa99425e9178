#include "cli/cli_transfer_view.h"

#include "runtime/translate.h"

namespace ravelin::cli {

void CliTransferView::setHeadline(const std::string& text) {
  headline_ = _(text.c_str());
  // The per-server count is what the bar shows; as lines it would be one per server.
  if (!term_.showsProgress() && !bar_.visible()) term_.status(headline_);
  redraw();
}

void CliTransferView::setDescription(const std::string& text) {
  term_.note(runtime::fillIn(_("Transfer to %s"), {text}));
}

void CliTransferView::redraw() {
  if (!term_.showsProgress()) return;
  if (bar_.visible())
    term_.progressLine(renderBar(headline_, bar_.position(), bar_.min(), bar_.max(), 20));
  else
    term_.progressLine(headline_);
}

}  // namespace ravelin::cli
