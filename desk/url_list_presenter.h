#pragma once
// The options dialog's URL list without a toolkit: its rows and what adding, editing,
// deleting, moving and sorting do to them.
#include <optional>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/url_source.h"

namespace ravelin::desk {

// The list's window: it shows the presenter's rows and asks for one entry.
class UrlListView {
 public:
  virtual ~UrlListView() = default;
  // Shows the rows, the row at selected (if any) selected and current.
  virtual void showRows(const std::vector<runtime::UrlSource>& rows,
                        std::optional<size_t> selected) = 0;
  virtual std::optional<size_t> selectedRow() const = 0;
  // The URL dialog, for a new entry (nothing given) or for the given one: the entry as OK
  // leaves it, or nothing on Cancel.
  virtual std::optional<runtime::UrlSource> askUrl(const runtime::UrlSource* current) = 0;
};

// The rows live here until the options dialog's OK takes them.
class UrlListPresenter {
 public:
  UrlListPresenter(const runtime::AppContext& ctx, UrlListView& view);

  // New rows, and the next header click sorts ascending again.
  void setRows(std::vector<runtime::UrlSource> rows);
  const std::vector<runtime::UrlSource>& rows() const { return rows_; }

  // Asks for an entry and appends it, selected.
  void add();
  // Asks for the selected row's entry anew.
  void edit();
  // Asks, then deletes the selected row.
  void remove();
  // A click on a column header: sorts by it, ascending and descending in turn.
  void sortBy(int column);
  // Moves the selected row in front of the row at index before (to the end when there is
  // none there).
  void moveSelected(std::optional<size_t> before);

 private:
  const runtime::AppContext& ctx_;
  UrlListView& view_;
  std::vector<runtime::UrlSource> rows_;
  bool ascendingNext_ = true;
};

}  // namespace ravelin::desk
