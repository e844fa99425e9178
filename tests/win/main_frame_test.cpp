#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/wide_text.h"
#include "serverlist/met_file.h"
#include "serverlist/server_sort.h"
#include "serverlist/shown_text.h"
#include "support/server_list_support.h"
#include "support/test_support.h"
#include "win/dpi.h"
#include "win/main_frame.h"
#include "win/win_test_support.h"
#include "win/window_picture.h"

using ravelin::win::MainFrame;

namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::initCommonControls();
    test::RecordingProgressBar bar;
    ASSERT_TRUE(readServersFromMet(list, RAVELIN_SAMPLE_MET, bar, app.ctx).gaveList());
    ASSERT_GE(list.size(), 4u);
    frame = std::make_unique<MainFrame>(list);
    ShowWindow(frame->window(), SW_SHOW);
    UpdateWindow(frame->window());
    test::pumpMessages();
    view = frame->listView().window();
  }

  std::wstring shown(size_t row, int column) const {
    return platform::wideFromUtf8(shownText(list[row].server.field(column)));
  }
  HWND header() const { return reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0)); }
  int sortArrow(int column) const {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header(), HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  void clickColumnHeader(int column) {
    RECT cell{};
    SendMessageW(header(), HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&cell));
    test::click(header(), {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
  }
  RECT rowRect(int row) const {
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    SendMessageW(view, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return rect;
  }

  test::TestApp app;
  ServerList list;
  std::unique_ptr<MainFrame> frame;
  HWND view = nullptr;
};

TEST_F(MainFrameTest, ListShowsTheOneServerListAndFollowsItsChanges) {
  ASSERT_EQ(test::itemCount(view), static_cast<int>(list.size()));
  for (size_t row = 0; row < list.size(); ++row)
    for (int column = 0; column < kServerFieldCount; ++column)
      EXPECT_EQ(test::cellText(view, static_cast<int>(row), column), shown(row, column));

  // A name that is not UTF-8 shows as Latin-1; check marks are the rows' check boxes, and
  // the counts reach the status bar once the loop has run.
  list.setField(0, fName, "Caf\xE9");
  list.setChecked(1, true);
  list.setChecked(2, false);
  EXPECT_EQ(test::cellText(view, 0, fName), L"Caf\u00e9");
  EXPECT_EQ(test::checkBox(view, 1), 2);
  EXPECT_EQ(test::checkBox(view, 2), 1);
  test::pumpMessages();
  EXPECT_FALSE(list.statusText().empty());
  EXPECT_EQ(frame->statusBar().text(ravelin::win::StatusBar::kCounts), list.statusText());

  // Inserts and removals change the count at once; an import shows its rows at its end.
  list.append(test::makeServer("10.0.0.1"), false);
  EXPECT_EQ(test::itemCount(view), static_cast<int>(list.size()));
  list.remove(0);
  EXPECT_EQ(test::itemCount(view), static_cast<int>(list.size()));
  const int before = test::itemCount(view);
  list.clear();
  list.beginUpdate();
  for (int i = 0; i < 100000; ++i) list.append(test::makeServer("10.1.0." + std::to_string(i % 250)), i % 2);
  EXPECT_EQ(test::itemCount(view), 0) << "was " << before;
  list.endUpdate();
  ASSERT_EQ(test::itemCount(view), 100000);
  EXPECT_EQ(test::cellText(view, 99999, fIP), L"10.1.0.249");
  EXPECT_EQ(test::checkBox(view, 99999), 2);
}

TEST_F(MainFrameTest, HeaderClickSortsByTheCoresRuleAndShowsTheArrow) {
  clickColumnHeader(fName);
  ASSERT_TRUE(list.sortKept);
  for (size_t row = 1; row < list.size(); ++row)
    EXPECT_LE(compareServers(list[row - 1].server, list[row].server, fName, false, false), 0);
  for (size_t row = 0; row < list.size(); ++row)
    EXPECT_EQ(test::cellText(view, static_cast<int>(row), fName), shown(row, fName));
  EXPECT_EQ(sortArrow(fName), HDF_SORTUP);
  EXPECT_EQ(sortArrow(fIP), 0);

  clickColumnHeader(fName);
  for (size_t row = 1; row < list.size(); ++row)
    EXPECT_GE(compareServers(list[row - 1].server, list[row].server, fName, false, false), 0);
  EXPECT_EQ(test::cellText(view, 0, fName), shown(0, fName));
  EXPECT_EQ(sortArrow(fName), HDF_SORTDOWN);

  // A row moved by hand ends the sort, and with it the arrow.
  moveServer(list, 0, std::nullopt);
  EXPECT_EQ(sortArrow(fName), 0);
}

TEST_F(MainFrameTest, ClicksAndKeysReachTheListAndTheirHandlers) {
  int toggles = 0, deletes = 0, activations = 0;
  frame->listView().onToggleChecks = [&] { ++toggles; };
  frame->listView().onDeleteKey = [&] { ++deletes; };
  frame->listView().onActivate = [&] { ++activations; };

  // The check box lies left of the row's text: found where the view says it is.
  const RECT row1 = rowRect(1);
  POINT box{-1, (row1.top + row1.bottom) / 2};
  for (int x = row1.left; x < row1.left + 60 && box.x < 0; ++x) {
    LVHITTESTINFO hit{{x, box.y}, 0, 0, 0, 0};
    SendMessageW(view, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.flags & LVHT_ONITEMSTATEICON) box.x = x;
  }
  ASSERT_GE(box.x, 0) << "no check box in row 1";
  const bool was = list[1].checked;
  test::click(view, box);
  EXPECT_EQ(list[1].checked, !was);
  EXPECT_EQ(test::checkBox(view, 1), was ? 1 : 2);

  // A click on a row's text selects it alone; Down moves on; the list follows.
  const RECT row2 = rowRect(2);
  test::click(view, {row2.left + 200, (row2.top + row2.bottom) / 2});
  EXPECT_EQ(frame->listView().selectedRows(), std::vector<size_t>{2});
  EXPECT_EQ(list.selected(), std::optional<size_t>(2));
  test::pressKey(view, VK_DOWN);
  EXPECT_EQ(list.selected(), std::optional<size_t>(3));
  // A row the program selects is shown selected once the loop has run.
  list.select(0);
  test::pumpMessages();
  EXPECT_EQ(frame->listView().selectedRows(), std::vector<size_t>{0});

  // Several rows at once: the list's selected row is the first of them.
  LVITEMW mark{};
  mark.stateMask = LVIS_SELECTED;
  SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&mark));
  mark.state = LVIS_SELECTED;
  for (WPARAM row : {1, 2, 3}) SendMessageW(view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&mark));
  EXPECT_EQ(frame->listView().selectedRows(), (std::vector<size_t>{1, 2, 3}));
  EXPECT_EQ(list.selected(), std::optional<size_t>(1));

  test::pressKey(view, VK_SPACE);
  test::pressKey(view, VK_DELETE);
  test::pressKey(view, VK_RETURN);
  EXPECT_EQ(std::vector<int>({toggles, deletes, activations}), std::vector<int>({1, 1, 1}));
  EXPECT_EQ(list.selected(), std::optional<size_t>(1)) << "Space searched for a row";

  // Without a selected row the keys ask for nothing.
  RECT client{};
  GetClientRect(view, &client);
  test::click(view, {client.right - 5, client.bottom - 5});
  EXPECT_EQ(list.selected(), std::nullopt);
  test::pressKey(view, VK_SPACE);
  test::pressKey(view, VK_DELETE);
  EXPECT_EQ(std::vector<int>({toggles, deletes}), std::vector<int>({1, 1}));
}

LONG fontHeight(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

TEST_F(MainFrameTest, FontsWidthsAndPanelsFollowTheWindowsDpi) {
  using ravelin::win::messageFont;
  using ravelin::win::scaled;
  const UINT dpi = frame->dpi();
  LOGFONTW expected{};
  GetObjectW(messageFont(dpi).get(), sizeof expected, &expected);
  EXPECT_EQ(fontHeight(view), expected.lfHeight);
  EXPECT_EQ(fontHeight(frame->statusBar().window()), expected.lfHeight);
  const auto width = [&](int column) {
    return static_cast<int>(SendMessageW(view, LVM_GETCOLUMNWIDTH, column, 0));
  };
  EXPECT_GE(width(fIP), scaled(120, dpi));
  const int nameWidth = width(fName);

  // The list fills the window above the status bar.
  const auto placeOf = [&](HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, frame->window(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  RECT client{};
  GetClientRect(frame->window(), &client);
  EXPECT_EQ(placeOf(frame->statusBar().window()).bottom, client.bottom);
  EXPECT_EQ(placeOf(view).bottom, placeOf(frame->statusBar().window()).top);

  // The load/save bar lies over the middle panel while the core shows it.
  HWND progress = FindWindowExW(frame->statusBar().window(), nullptr, PROGRESS_CLASSW, nullptr);
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(IsWindowVisible(progress));
  frame->statusBar().start(10);
  frame->statusBar().setPosition(4);
  EXPECT_TRUE(IsWindowVisible(progress));
  EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 4);
  RECT panel{};
  SendMessageW(frame->statusBar().window(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&panel));
  // (The panel's rectangle is inside its borders.)
  EXPECT_NEAR(panel.right - panel.left, scaled(300, dpi), 4);
  frame->statusBar().hide();
  EXPECT_FALSE(IsWindowVisible(progress));

  // Moved to a screen of 1.5 times the DPI: the system's message font at that DPI, the
  // columns as wide to the eye, the window where the system suggests.
  RECT now{};
  GetWindowRect(frame->window(), &now);
  const UINT more = dpi * 3 / 2;
  RECT suggested{now.left, now.top, now.left + (now.right - now.left) * 3 / 2,
                 now.top + (now.bottom - now.top) * 3 / 2};
  SendMessageW(frame->window(), WM_DPICHANGED, MAKEWPARAM(more, more),
               reinterpret_cast<LPARAM>(&suggested));
  GetObjectW(messageFont(more).get(), sizeof expected, &expected);
  EXPECT_EQ(fontHeight(view), expected.lfHeight);
  EXPECT_NEAR(width(fName), nameWidth * 3 / 2, 1);
  GetWindowRect(frame->window(), &now);
  EXPECT_EQ(now.right - now.left, suggested.right - suggested.left);
  GetClientRect(frame->window(), &client);
  EXPECT_EQ(placeOf(frame->statusBar().window()).bottom, client.bottom);
}

// Pictures for a person to look at, in the folder RAVELIN_SCREENSHOT_DIR names (see
// screenshots.sh, which runs this at two DPIs).
TEST_F(MainFrameTest, Screenshot) {
  const char* folder = std::getenv("RAVELIN_SCREENSHOT_DIR");
  if (!folder) GTEST_SKIP() << "RAVELIN_SCREENSHOT_DIR is not set";
  clickColumnHeader(fName);
  list.setChecked(1, true);
  list.select(2);
  SetFocus(view);
  frame->statusBar().start(10);
  frame->statusBar().setPosition(4);
  test::pumpMessages();
  const std::string path = std::string(folder) + "/main-window-" +
                           std::to_string(frame->dpi()) + "dpi.png";
  test::saveWindowPicture(frame->window(), path);
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
}

}  // namespace
