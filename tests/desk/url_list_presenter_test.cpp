#include "desk/url_list_presenter.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace ravelin;

namespace {

class FakeUrlList : public desk::UrlListView {
 public:
  std::optional<size_t> selected;
  std::optional<runtime::UrlSource> answer;
  void showRows(const std::vector<runtime::UrlSource>&, std::optional<size_t> row) override {
    selected = row;
  }
  std::optional<size_t> selectedRow() const override { return selected; }
  std::optional<runtime::UrlSource> askUrl(const runtime::UrlSource*) override { return answer; }
};

std::string locations(const desk::UrlListPresenter& urls) {
  std::string text;
  for (const runtime::UrlSource& row : urls.rows()) text += row.location.substr(7);
  return text;
}

TEST(UrlListPresenter, MovesSortsAddsAndDeletesTheSelectedRow) {
  test::TestApp app;
  FakeUrlList view;
  desk::UrlListPresenter urls(app.ctx, view);
  urls.setRows(test::Sources({"MET|http://a", "HTM|http://b", "MET|http://c", "HTM|http://d"}));
  for (const auto& [from, before, want] :
       std::initializer_list<std::tuple<size_t, std::optional<size_t>, const char*>>{
           {0, 2, "bacd"},
           {3, 0, "dbac"},
           {1, std::nullopt, "dacb"},
           {2, 2, "dacb"},
           {0, 9, "acbd"},
           {3, 3, "acbd"}}) {
    view.selected = from;
    urls.moveSelected(before);
    EXPECT_EQ(locations(urls), want) << from;
  }
  urls.sortBy(1);
  EXPECT_EQ(locations(urls), "abcd");
  urls.sortBy(1);
  EXPECT_EQ(locations(urls), "dcba");

  view.answer = test::Source("MET|http://e");
  urls.add();
  EXPECT_EQ(locations(urls), "dcbae");
  EXPECT_EQ(view.selected, 4u);
  app.prompter.answers = {runtime::MsgResult::No, runtime::MsgResult::Yes};
  urls.remove();
  EXPECT_EQ(locations(urls), "dcbae");
  view.selected = 4;
  urls.remove();
  EXPECT_EQ(locations(urls), "dcba");
}

}  // namespace
