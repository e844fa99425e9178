#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <deque>
#include <filesystem>

#include "app/startup.h"
#include "app/window_state.h"
#include "serverlist/met_file.h"
#include "support/test_support.h"
#include "win/common_controls.h"
#include "win/main_window.h"
#include "win/window_picture.h"
#include "win/win_prompter.h"

namespace {

using namespace ravelin;
using win::MainWindow;

// Answers the file dialogs with the paths queued in chosen.
struct QueuedFiles : desk::FileChooser {
  std::deque<std::string> chosen;
  std::optional<std::string> next() {
    if (chosen.empty()) return std::nullopt;
    std::string path = chosen.front();
    chosen.pop_front();
    return path;
  }
  std::optional<std::string> open(desk::OpenKind) override { return next(); }
  std::optional<std::string> save(desk::SaveKind) override { return next(); }
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    win::initCommonControls();
    app.ctx.ui = &ui;
    app.ctx.prompter = &prompter;
    app.ctx.settings.EDPath = app.dir.path().string();
    prompter.setMainWindow(window.window());
    ui.preTranslate = [this](MSG& msg) { return window.translateKey(msg); };
    window.show();
    pump();
  }

  void pump() { ui.pump(); }
  void command(int id) {
    SendMessageW(window.window(), WM_COMMAND, static_cast<WPARAM>(id), 0);
    pump();
  }
  // A key typed to the list, Ctrl held down or not, through the window's message loop.
  void key(WPARAM key, bool ctrl = false) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(list(), WM_KEYDOWN, key, 1);
    pump();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
  void select(std::initializer_list<int> rows) {
    ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
    for (int row : rows) ListView_SetItemState(list(), row, LVIS_SELECTED, LVIS_SELECTED);
    pump();
  }
  // The next message box of this thread is answered with button; counts the boxes answered.
  void answerNextBox(int button, int triesLeft = 200) {
    ui.post([this, button, triesLeft] {
      HWND box = nullptr;
      EnumThreadWindows(
          GetCurrentThreadId(),
          [](HWND w, LPARAM found) {
            wchar_t name[16] = L"";
            GetClassNameW(w, name, 16);
            if (std::wstring(name) != L"#32770" || !IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(found) = w;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&box));
      if (box) {
        ++boxesAnswered;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      } else if (triesLeft > 0) {
        answerNextBox(button, triesLeft - 1);
      }
    });
  }
  HWND list() { return window.frame().listView().window(); }
  std::string status() { return window.frame().statusBar().text(win::StatusBar::kMessage); }

  test::TestApp app;
  win::WinUiThread ui;
  win::WinPrompter prompter;
  app::AppSession session{app.ctx, app.dir.file("ravelin.ini")};
  serverlist::ServerList servers;
  QueuedFiles files;
  MainWindow window{servers, session, ui, &files};
  int boxesAnswered = 0;
};

int id(desk::Command command) {
  return MainWindow::kCommandId + command;
}

TEST_F(MainWindowTest, WholeTasksByMessagesFromLoadingToClosing) {
  // The menus and the toolbar come from the command table, with their keys.
  HMENU file = GetSubMenu(GetMenu(window.window()), 0);
  wchar_t item[128] = L"";
  GetMenuStringW(file, 0, item, 128, MF_BYPOSITION);
  EXPECT_STREQ(item, L"Refresh standard server.met\tF5");
  HWND tools = window.frame().toolBar()->window();
  EXPECT_EQ(SendMessageW(tools, TB_BUTTONCOUNT, 0, 0), 9);  // five buttons, four separators
  EXPECT_TRUE(SendMessageW(tools, TB_ISBUTTONENABLED, id(desk::cmdRefreshStandard), 0));

  // Load a real MET file through the file command.
  files.chosen = {RAVELIN_SAMPLE_MET};
  command(id(desk::cmdRefreshMet));
  const size_t loaded = servers.size();
  ASSERT_GE(loaded, 4u);
  EXPECT_EQ(ListView_GetItemCount(list()), static_cast<int>(loaded));
  EXPECT_EQ(status(), "Added " + std::to_string(loaded) + " servers from " RAVELIN_SAMPLE_MET);

  // Sort by a header click; Space on the selected row flips its check mark.
  NMLISTVIEW click{};
  click.hdr = {list(), win::MainFrame::kListId, LVN_COLUMNCLICK};
  click.iSubItem = serverlist::fName;
  SendMessageW(window.window(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  for (size_t row = 1; row < servers.size(); ++row)
    EXPECT_LE(servers[row - 1].server.name, servers[row].server.name);
  select({0});
  const bool checked = servers[0].checked;
  key(VK_SPACE);
  EXPECT_NE(servers[0].checked, checked);
  if (const char* folder = std::getenv("RAVELIN_SCREENSHOT_DIR")) {
    select({1});
    test::saveWindowPicture(window.window(), std::string(folder) + "/main-window-" +
                                                 std::to_string(window.frame().dpi()) + "dpi.png");
  }

  // Delete two rows after the question; Ctrl+A and Ctrl+C copy the rest as links, the
  // cleared list takes them back with Ctrl+V.
  select({0, 1});
  answerNextBox(IDYES);
  key(VK_DELETE);
  EXPECT_EQ(boxesAnswered, 1);
  EXPECT_EQ(servers.size(), loaded - 2);
  key('A', true);
  EXPECT_EQ(window.frame().listView().selectedRows().size(), loaded - 2);
  key('C', true);
  EXPECT_NE(window.text().find("ed2k://|server|" + servers[0].server.ip), std::string::npos);
  answerNextBox(IDYES);
  command(MainWindow::kPopupId + serverlist::piClearList);
  ASSERT_EQ(servers.size(), 0u);
  key('V', true);
  EXPECT_EQ(servers.size(), loaded - 2);

  // Save: the file reads back as the list; a close after it asks nothing.
  const std::string saved = app.dir.file("saved.met");
  files.chosen = {saved};
  command(id(desk::cmdSaveMet));
  serverlist::ServerList back;
  test::RecordingProgressBar bar;
  ASSERT_TRUE(serverlist::readServersFromMet(back, saved, bar, app.ctx).gaveList());
  EXPECT_EQ(back.size(), servers.size());
  EXPECT_FALSE(servers.changedSinceSaved());

  // A change since: the close asks; Cancel keeps the window, No closes it unsaved.
  select({0});
  answerNextBox(IDYES);
  key(VK_DELETE);
  answerNextBox(IDCANCEL);
  SendMessageW(window.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(boxesAnswered, 4);
  EXPECT_TRUE(IsWindow(window.window()));
  answerNextBox(IDNO);
  SendMessageW(window.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(boxesAnswered, 5);
  EXPECT_EQ(window.window(), nullptr);
  // The window's place was kept in ravelin.ini.
  EXPECT_TRUE(app::loadWindowState(app.dir.file("ravelin.ini")).geometry);
}

TEST_F(MainWindowTest, ClosesWithoutAQuestionWhenNothingChangedAndFiltersMatchTheSystemsForm) {
  SendMessageW(window.window(), WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(window.window(), nullptr);
  EXPECT_EQ(boxesAnswered, 0);
  const std::wstring filters = win::systemFilters(desk::fileDialogText(desk::OpenKind::Met));
  constexpr wchar_t kExpected[] =
      L"MET-Files (*.met *.gz *.zip *.tar *.tgz)\0*.met;*.gz;*.zip;*.tar;*.tgz\0Any file (*)\0*\0";
  EXPECT_EQ(filters, std::wstring(kExpected, std::size(kExpected)));
}

}  // namespace
