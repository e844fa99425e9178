#include "update/update_view.h"

#include "runtime/translate.h"

namespace ravelin::update {

void UpdateView::showIdleSlot(int slot) {
  setSlotCaption(slot, runtime::fillIn(_("Thread %s:"), {std::to_string(slot + 1)}));
  setSlotLabel(slot, _("< Thread not used >"));
  slotBar(slot).setPosition(0);
}

}  // namespace ravelin::update
