#include <gtest/gtest.h>

#include <windowsx.h>


#include "platform/wide_text.h"
#include "serverlist/met_file.h"
#include "serverlist/server_sort.h"
#include "serverlist/shown_text.h"
#include "support/server_list_support.h"
#include "support/test_support.h"
#include "win/clipboard.h"
#include "win/common_controls.h"
#include "win/dpi.h"
#include "win/main_frame.h"
#include "win/window_place.h"

namespace {

// Runs the messages that are waiting, those that they post included (bounded).
void pumpMessages() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A left click at point (client coordinates). The release waits in the queue, so that a
// control that watches for a drag after the press finds it.
void click(HWND window, POINT point) {
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  pumpMessages();
}

void pressKey(HWND window, WPARAM key) {
  SendMessageW(window, WM_KEYDOWN, key, 1);
  pumpMessages();
}

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::initCommonControls();
    test::RecordingProgressBar bar;
    ASSERT_TRUE(readServersFromMet(list, RAVELIN_SAMPLE_MET, bar, app.ctx).gaveList());
    ASSERT_GE(list.size(), 4u);
    frame = std::make_unique<win::MainFrame>(list);
    ShowWindow(frame->window(), SW_SHOW);
    pumpMessages();
    view = frame->listView().window();
    header = reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0));
  }

  // A cell as the list holds it, and as the view shows it.
  std::wstring shown(size_t row, int column) const {
    return platform::wideFromUtf8(shownText(list[row].server.field(column)));
  }
  std::wstring cellText(int row, int column) const {
    wchar_t text[512] = L"";
    ListView_GetItemText(view, row, column, text, 512);
    return text;
  }
  LRESULT send(HWND to, UINT message, WPARAM wParam, const void* lParam) const {
    return SendMessageW(to, message, wParam, reinterpret_cast<LPARAM>(lParam));
  }
  int sortArrow(int column) const {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, column, &item);
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  void clickColumnHeader(int column) {
    RECT cell{};
    Header_GetItemRect(header, column, &cell);
    click(header, {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
  }
  bool checkBox(int row) const { return ListView_GetCheckState(view, row); }
  int rowCount() const { return ListView_GetItemCount(view); }

  test::TestApp app;
  ServerList list;
  std::unique_ptr<win::MainFrame> frame;
  HWND view = nullptr;
  HWND header = nullptr;
};

TEST_F(MainFrameTest, ListShowsTheOneServerListAndFollowsItsChanges) {
  ASSERT_EQ(rowCount(), static_cast<int>(list.size()));
  for (size_t row = 0; row < list.size(); ++row)
    for (int column = 0; column < kServerFieldCount; ++column)
      EXPECT_EQ(cellText(static_cast<int>(row), column), shown(row, column));

  // A name that is not UTF-8 shows as Latin-1; check marks are check boxes; the counts
  // reach the status bar once the loop has run.
  list.setField(0, fName, "Caf\xE9");
  list.setChecked(1, true);
  list.setChecked(2, false);
  EXPECT_EQ(cellText(0, fName), L"Caf\u00e9");
  EXPECT_TRUE(checkBox(1));
  EXPECT_FALSE(checkBox(2));
  pumpMessages();
  EXPECT_FALSE(list.statusText().empty());
  EXPECT_EQ(frame->statusBar().text(win::StatusBar::kCounts), list.statusText());

  // Inserts and removals change the count at once; an import shows its rows at its end.
  list.append(test::makeServer("10.0.0.1"), false);
  EXPECT_EQ(rowCount(), static_cast<int>(list.size()));
  list.remove(0);
  EXPECT_EQ(rowCount(), static_cast<int>(list.size()));
  list.clear();
  list.beginUpdate();
  for (int i = 0; i < 100000; ++i)
    list.append(test::makeServer("10.1.0." + std::to_string(i % 250)), i % 2);
  EXPECT_EQ(rowCount(), 0);
  list.endUpdate();
  ASSERT_EQ(rowCount(), 100000);
  EXPECT_EQ(cellText(99999, fIP), L"10.1.0.249");
  EXPECT_TRUE(checkBox(99999));
}

TEST_F(MainFrameTest, HeaderClickSortsByTheCoresRuleAndShowsTheArrow) {
  for (const int arrow : {HDF_SORTUP, HDF_SORTDOWN}) {
    clickColumnHeader(fName);
    for (size_t row = 1; row < list.size(); ++row)
      EXPECT_LE(compareServers(list[row - 1].server, list[row].server, fName, false,
                               arrow == HDF_SORTDOWN),
                0);
    EXPECT_EQ(cellText(0, fName), shown(0, fName));
    EXPECT_EQ(sortArrow(fName), arrow);
    EXPECT_EQ(sortArrow(fIP), 0);
  }
  // A row moved by hand ends the sort, and with it the arrow.
  moveServer(list, 0, std::nullopt);
  EXPECT_EQ(sortArrow(fName), 0);
}

TEST_F(MainFrameTest, ClicksAndKeysReachTheListAndTheirHandlers) {
  int toggles = 0, deletes = 0, activations = 0;
  frame->listView().onToggleChecks = [&] { ++toggles; };
  frame->listView().onDeleteKey = [&] { ++deletes; };
  frame->listView().onActivate = [&] { ++activations; };
  RECT row1{}, row2{};
  ListView_GetItemRect(view, 1, &row1, LVIR_BOUNDS);
  ListView_GetItemRect(view, 2, &row2, LVIR_BOUNDS);

  // The check box lies left of the row's text, where the view's hit test finds it.
  POINT box{-1, (row1.top + row1.bottom) / 2};
  for (int x = row1.left; x < row1.left + 60 && box.x < 0; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, box.y};
    send(view, LVM_HITTEST, 0, &hit);
    if (hit.flags & LVHT_ONITEMSTATEICON) box.x = x;
  }
  const bool was = list[1].checked;
  click(view, box);
  EXPECT_EQ(list[1].checked, !was);
  EXPECT_EQ(checkBox(1), !was);

  // A click on a row selects it alone; Down moves on; the list follows, and the view
  // shows a row the program selects.
  click(view, {row2.left + 200, (row2.top + row2.bottom) / 2});
  EXPECT_EQ(frame->listView().selectedRows(), std::vector<size_t>{2});
  EXPECT_EQ(list.selected(), std::optional<size_t>(2));
  pressKey(view, VK_DOWN);
  EXPECT_EQ(list.selected(), std::optional<size_t>(3));
  list.select(0);
  pumpMessages();
  EXPECT_EQ(frame->listView().selectedRows(), std::vector<size_t>{0});

  // Several rows at once: the list's selected row is the first of them.
  LVITEMW mark{};
  mark.stateMask = LVIS_SELECTED;
  send(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), &mark);
  mark.state = LVIS_SELECTED;
  for (const WPARAM row : {1, 2, 3}) send(view, LVM_SETITEMSTATE, row, &mark);
  EXPECT_EQ(frame->listView().selectedRows(), (std::vector<size_t>{1, 2, 3}));
  EXPECT_EQ(list.selected(), std::optional<size_t>(1));
  for (const WPARAM key : {VK_SPACE, VK_DELETE, VK_RETURN}) pressKey(view, key);
  EXPECT_EQ(std::vector<int>({toggles, deletes, activations}), std::vector<int>({1, 1, 1}));
  EXPECT_EQ(list.selected(), std::optional<size_t>(1)) << "Space searched for a row";
}

TEST_F(MainFrameTest, FontWidthsAndPanelsFollowTheWindowsDpi) {
  const auto height = [](HGDIOBJ font) {
    LOGFONTW face{};
    GetObjectW(font, sizeof face, &face);
    return face.lfHeight;
  };
  const auto width = [&](int column) { return send(view, LVM_GETCOLUMNWIDTH, column, nullptr); };
  const auto iconWidth = [&] {
    ICONINFO icon{};
    GetIconInfo(reinterpret_cast<HICON>(send(frame->window(), WM_GETICON, ICON_SMALL, nullptr)),
                &icon);
    BITMAP picture{};
    GetObjectW(icon.hbmColor, sizeof picture, &picture);
    return picture.bmWidth;
  };
  const UINT dpi = frame->dpi();
  EXPECT_EQ(height(GetWindowFont(view)), height(win::messageFont(dpi).get()));
  EXPECT_EQ(height(GetWindowFont(frame->statusBar().window())),
            height(win::messageFont(dpi).get()));
  EXPECT_GE(width(fIP), win::scaled(120, dpi));
  EXPECT_EQ(iconWidth(), GetSystemMetricsForDpi(SM_CXSMICON, dpi));
  const auto nameWidth = width(fName);

  // The load/save bar shows while the core shows it.
  HWND progress = FindWindowExW(frame->statusBar().window(), nullptr, PROGRESS_CLASSW, nullptr);
  frame->statusBar().start(10);
  EXPECT_TRUE(IsWindowVisible(progress));
  frame->statusBar().hide();
  EXPECT_FALSE(IsWindowVisible(progress));

  // On a screen of 1.5 times the DPI: the message font and icon of that DPI, the columns as
  // wide to the eye, the window where the system suggests, the list above the status bar.
  RECT place{}, now{}, list{}, bar{};
  GetWindowRect(frame->window(), &place);
  place.right += (place.right - place.left) / 2;
  send(frame->window(), WM_DPICHANGED, MAKEWPARAM(dpi * 3 / 2, dpi * 3 / 2), &place);
  EXPECT_EQ(height(GetWindowFont(view)), height(win::messageFont(dpi * 3 / 2).get()));
  EXPECT_NEAR(width(fName), nameWidth * 3 / 2, 1);
  EXPECT_EQ(iconWidth(), GetSystemMetricsForDpi(SM_CXSMICON, dpi * 3 / 2));
  GetWindowRect(frame->window(), &now);
  GetWindowRect(view, &list);
  GetWindowRect(frame->statusBar().window(), &bar);
  EXPECT_EQ(now.right - now.left, place.right - place.left);
  EXPECT_EQ(list.bottom, bar.top);
}

TEST_F(MainFrameTest, PlaceIsKeptAndFittedToTheScreenAndTheClipboardTakesText) {
  // Column widths come back as they were left; a place beyond every screen keeps only its
  // size, and a size beyond the screen is cut to its work area.
  const std::vector<int> widths = {90, 40, 200, 100, 40, 50, 50, 50, 30};
  for (int c = 0; c < frame->listView().columnCount(); ++c)
    frame->listView().setColumnWidth(c, widths[static_cast<size_t>(c)]);
  win::placeFitted(frame->window(), {50000, 50000, 100000, 600});
  for (int c = 0; c < frame->listView().columnCount(); ++c)
    EXPECT_EQ(frame->listView().columnWidth(c), widths[static_cast<size_t>(c)]);
  const desk::WindowPlace read = win::normalPlace(frame->window());
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(read.left, work.left);
  EXPECT_EQ(read.width, work.right - work.left);
  EXPECT_EQ(read.height, 600);

  ASSERT_TRUE(win::setClipboardText(frame->window(), "ed2k://|server|1.2.3.4|4661|/ Caf\xC3\xA9"));
  EXPECT_EQ(win::clipboardText(frame->window()), "ed2k://|server|1.2.3.4|4661|/ Caf\xC3\xA9");
}

}  // namespace
