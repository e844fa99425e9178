#include "desk/filter_presenter.h"

#include "serverlist/server_filter.h"

namespace ravelin::desk {

void FilterPresenter::open() {
  resetChoices();
  view_.showWindow();
  // Shown, the window gives the focus to the property list once more.
  resetChoices();
}

void FilterPresenter::filter() {
  const bool oneMore = serverlist::filterFromWindow(list_, view_.chosenProperty(),
                                                    view_.chosenOperator(), view_.value(), ctx_);
  if (oneMore)
    resetChoices();
  else
    view_.hideWindow();
}

}  // namespace ravelin::desk
