#include "desk/url_list_presenter.h"

#include "app/options_rules.h"
#include "runtime/translate.h"

namespace ravelin::desk {

namespace {

constexpr const char* kDeleteQuestion = N_("Do you really want to delete this URL ?");

}  // namespace

UrlListPresenter::UrlListPresenter(const runtime::AppContext& ctx, UrlListView& view)
    : ctx_(ctx), view_(view) {}

void UrlListPresenter::setRows(std::vector<runtime::UrlSource> rows) {
  rows_ = std::move(rows);
  ascendingNext_ = true;
  view_.showRows(rows_, std::nullopt);
}

void UrlListPresenter::add() {
  std::optional<runtime::UrlSource> entry = view_.askUrl(nullptr);
  if (!entry) return;
  rows_.push_back(std::move(*entry));
  view_.showRows(rows_, rows_.size() - 1);
}

void UrlListPresenter::edit() {
  const std::optional<size_t> row = view_.selectedRow();
  if (!row || *row >= rows_.size()) return;
  std::optional<runtime::UrlSource> entry = view_.askUrl(&rows_[*row]);
  if (!entry) return;
  rows_[*row] = std::move(*entry);
  view_.showRows(rows_, row);
}

void UrlListPresenter::remove() {
  const std::optional<size_t> row = view_.selectedRow();
  if (!row || *row >= rows_.size()) return;
  if (ctx_.message(N_("Warning"), kDeleteQuestion, runtime::MsgIcon::Exclamation,
                   runtime::MsgButtons::YesNo, runtime::MsgResult::No) != runtime::MsgResult::Yes)
    return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*row));
  view_.showRows(rows_, std::nullopt);
}

void UrlListPresenter::sortBy(int column) {
  app::sortUrlRows(rows_, column, ascendingNext_);
  ascendingNext_ = !ascendingNext_;
  view_.showRows(rows_, std::nullopt);
}

void UrlListPresenter::moveSelected(std::optional<size_t> before) {
  const std::optional<size_t> row = view_.selectedRow();
  if (!row || *row >= rows_.size() || row == before) return;
  runtime::UrlSource moved = std::move(rows_[*row]);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*row));
  // The place counts the rows before the move; past the end is the end.
  size_t at = rows_.size();
  if (before && *before <= rows_.size()) at = *before > *row ? *before - 1 : *before;
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(moved));
  view_.showRows(rows_, at);
}

}  // namespace ravelin::desk
