#pragma once
// The filter window's behaviour without a toolkit: it opens with its choices reset, and
// each press of Filter applies one filter to the checked servers and asks whether to set
// one more (the choices reset) or not (the window hides).
#include <string>

#include "runtime/app_context.h"
#include "serverlist/server_list.h"

namespace ravelin::desk {

class FilterView {
 public:
  virtual ~FilterView() = default;
  // The chosen items of the property and operator lists (in the order of the core's
  // filter tables) and the typed value (UTF-8).
  virtual int chosenProperty() const = 0;
  virtual int chosenOperator() const = 0;
  virtual std::string value() const = 0;
  // Chooses these, with the focus on the property list.
  virtual void showChoices(int property, int op, const std::string& value) = 0;
  // Shows the window in front, or hides it.
  virtual void showWindow() = 0;
  virtual void hideWindow() = 0;
};

class FilterPresenter {
 public:
  FilterPresenter(serverlist::ServerList& list, runtime::AppContext& ctx, FilterView& view)
      : list_(list), ctx_(ctx), view_(view) {}

  // Shows the window with property "IP", operator "greater than" and an empty value, or
  // brings it forward reset.
  void open();
  // The Filter button.
  void filter();

 private:
  void resetChoices() { view_.showChoices(0, 0, {}); }

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  FilterView& view_;
};

}  // namespace ravelin::desk
