#pragma once
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <vector>

#include "desk/url_list_presenter.h"
#include "win/dialog_template.h"
#include "win/url_dialog.h"

namespace ravelin::win {

// The options dialog's URL list: a list of kind and location with buttons to add, edit,
// delete and move the selected row; a double click edits, Delete deletes, a header click
// sorts.
class UrlListBox : public desk::UrlListView {
 public:
  static constexpr int kGroupId = 130;
  static constexpr int kListId = 131;
  static constexpr int kAddId = 132;
  static constexpr int kEditId = 133;
  static constexpr int kDeleteId = 134;
  static constexpr int kUpId = 135;
  static constexpr int kDownId = 136;

  explicit UrlListBox(const runtime::AppContext& ctx) : presenter_(ctx, *this) {}

  // The group with its list and buttons, in units, to the template of page.
  static void addTo(DialogTemplate& page, RECT units);
  // The page's controls exist.
  void attach(HWND page);

  desk::UrlListPresenter& presenter() { return presenter_; }
  const desk::UrlListPresenter& presenter() const { return presenter_; }
  // What the page's controls report: whether it was the list's.
  bool command(int id, int code);
  bool notify(const NMHDR& header);

  // desk::UrlListView.
  void showRows(const std::vector<runtime::UrlSource>& rows,
                std::optional<size_t> selected) override;
  std::optional<size_t> selectedRow() const override;
  std::optional<runtime::UrlSource> askUrl(const runtime::UrlSource* current) override;

 private:
  void enableButtons();

  desk::UrlListPresenter presenter_;
  HWND page_ = nullptr;
  HWND list_ = nullptr;
};

}  // namespace ravelin::win
