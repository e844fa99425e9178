#pragma once
#include <windows.h>

#include "desk/filter_presenter.h"
#include "win/dialog.h"

namespace ravelin::win {

// "Ravelin: Filter servers": a modeless window over the main window, on top of the
// others; each Filter applies one filter to the checked servers (desk's presenter).
class FilterWindow : public Dialog, public desk::FilterView {
 public:
  static constexpr int kPropertyId = 200;
  static constexpr int kOperatorId = 201;
  static constexpr int kValueId = 202;

  FilterWindow(serverlist::ServerList& list, runtime::AppContext& ctx, HWND owner);

  // Shows the window reset, or brings it forward reset.
  void open() { presenter_.open(); }

  // desk::FilterView.
  int chosenProperty() const override;
  int chosenOperator() const override;
  std::string value() const override { return itemText(kValueId); }
  void showChoices(int property, int op, const std::string& value) override;
  void showWindow() override;
  void hideWindow() override { end(IDCANCEL); }

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;

  desk::FilterPresenter presenter_;
};

}  // namespace ravelin::win
