#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/startup.h"
#include "app/transfer_time_file.h"
#include "app/window_state.h"
#include "client/transfer_time.h"
#include "desk/dialog_texts.h"
#include "desk/script_editor_menu.h"
#include "peers/emule_peer.h"
#include "peers/loopback_peers.h"
#include "platform/wide_text.h"
#include "runtime/translate.h"
#include "serverlist/met_file.h"
#include "serverlist/server_filter.h"
#include "support/peer_process.h"
#include "support/test_support.h"
#include "support/update_bodies.h"
#include "win/common_controls.h"
#include "win/filter_window.h"
#include "win/insert_command_dialog.h"
#include "win/main_window.h"
#include "win/options_dialog.h"
#include "win/run_language.h"
#include "win/server_editor_dialog.h"
#include "win/text_room.h"
#include "win/win_prompter.h"
#include "win/window_picture.h"

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

// The test's manual clock runs a hundred times as fast as the wall's, so that the pauses
// of the long commands pass at once.
struct FastClock {
  explicit FastClock(test::TestApp& app) : clock(app.manualClock) { app.useManualClock(); }
  ~FastClock() { stop = true, ticker.join(); }
  platform::ManualClock& clock;
  std::atomic<bool> stop{false};
  std::thread ticker{[this] {
    for (; !stop; Sleep(1)) clock.advance(10);
  }};
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
  // Once seen() holds (looked at between messages, for at most 20 s), act is done.
  void whenSeen(std::function<bool()> seen, std::function<void()> act,
                DWORD until = GetTickCount() + 20000) {
    ui.post([this, seen, act, until] {
      if (seen()) return act();
      Sleep(1);
      if (GetTickCount() < until) whenSeen(seen, act, until);
    });
  }
  // Once a dialog of this thread other than the modeless filter window shows (a message
  // box too), act is done on it (looked for during at most 20 s).
  void whenDialogShows(std::function<void(HWND)> act, std::wstring titled = L"",
                       DWORD until = GetTickCount() + 20000) {
    ui.post([this, act, until, titled] {
      std::vector<HWND> shown;
      EnumThreadWindows(
          GetCurrentThreadId(),
          [](HWND w, LPARAM found) {
            wchar_t name[16] = L"";
            GetClassNameW(w, name, 16);
            if (std::wstring(name) == L"#32770" && IsWindowVisible(w))
              reinterpret_cast<std::vector<HWND>*>(found)->push_back(w);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&shown));
      std::erase(shown, window.filterWindow() ? window.filterWindow()->window() : nullptr);
      if (!titled.empty()) std::erase_if(shown, [&titled](HWND w) { return caption(w) != titled; });
      if (!shown.empty())
        act(shown.front());
      else if (GetTickCount() < until)
        whenDialogShows(act, titled, until);
    });
  }
  // The next message box of this thread is answered with button; counts the boxes answered.
  void answerNextBox(int button) {
    whenDialogShows([this, button](HWND box) {
      ++boxesAnswered;
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
  }
  // A key pressed in the dialog's focused control, as the dialog's loop gets it.
  static void pressKey(HWND dialog, WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus && IsChild(dialog, focus) ? focus : dialog, WM_KEYDOWN, key, 1);
  }
  // A picture of the window for a person to look at, when the run asks for them.
  void picture(HWND shown, const std::string& name) {
    const char* folder = std::getenv("RAVELIN_SCREENSHOT_DIR");
    if (!folder) return;
    // Drawn on screen first, where the picture is taken from.
    RedrawWindow(shown, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Wine hands what was drawn to the screen when the thread waits (a countdown on the
    // test's clock never does), and the X server shows the last controls a moment later:
    // without the wait a dialog's Cancel button could be missing from its picture.
    GdiFlush();
    MsgWaitForMultipleObjectsEx(0, nullptr, 300, 0, 0);
    test::saveWindowPicture(shown, std::string(folder) + "/" + name + "-" + test::runLanguage() +
                                       "-" + std::to_string(window.frame().dpi()) + "dpi.png");
  }
  // Options' tab chosen as a click on it does.
  static void showTab(HWND options, int tab) {
    HWND tabs = GetDlgItem(options, win::OptionsDialog::kTabsId);
    TabCtrl_SetCurSel(tabs, tab);
    NMHDR change{tabs, win::OptionsDialog::kTabsId, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(options, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
  }
  static void click(HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
  static std::wstring caption(HWND window) {
    wchar_t text[128] = L"";
    GetWindowTextW(window, text, 128);
    return text;
  }
  static std::string itemText(HWND dialog, int id) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(dialog, id, text, 512);
    return platform::utf8FromWide(text);
  }
  static int height(HWND shown) {
    RECT r{};
    GetWindowRect(shown, &r);
    return r.bottom - r.top;
  }
  bool inputEnabled() { return IsWindowEnabled(list()) != FALSE; }
  void addServer(const std::string& ip, std::uint16_t port, bool checked = true) {
    serverlist::Server server;
    server.ip = ip;
    server.port = std::to_string(port);
    servers.append(server, checked);
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
  select({1});
  picture(window.window(), "main-window");

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

TEST_F(MainWindowTest, ScriptTypedCheckedSavedRunReopenedAndClosedWithTheQuestion) {
  win::ScriptEditorWindow& editor = window.scriptEditor();
  HWND text = editor.textBox().window();
  command(id(desk::cmdScriptEditor));
  ASSERT_TRUE(IsWindowVisible(editor.window()));
  EXPECT_EQ(editor.statusText(0), "unsaved");
  const auto type = [&](const wchar_t* typed) {
    SendMessageW(text, EM_SETSEL, 0, -1);
    SendMessageW(text, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
  };
  const auto ctrlKey = [&](WPARAM letter) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(text, WM_KEYDOWN, letter, 1);
    pump();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  };
  const auto selection = [&] {
    CHARRANGE range{};
    SendMessageW(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return std::make_pair(range.cpMin, range.cpMax);
  };

  // Typed with a fault in its third line: Ctrl+Y selects that line and says why.
  type(L"ClearList\r\nRefreshCustomMET[sample.met]\r\nDelay[0\r\nCheckAll");
  ctrlKey('Y');
  EXPECT_TRUE(editor.statusText(1).starts_with("Error in line 3")) << editor.statusText(1);
  const LRESULT third = SendMessageW(text, EM_LINEINDEX, 2, 0);
  EXPECT_EQ(selection(), std::make_pair(static_cast<LONG>(third), static_cast<LONG>(third + 7)));
  SendMessageW(text, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"Delay[0]"));
  ctrlKey('Y');
  EXPECT_EQ(editor.statusText(1), "Syntax check successful!");

  // Saved beside a copy of the sample list, which the script names relative to itself.
  std::filesystem::copy_file(RAVELIN_SAMPLE_MET, app.dir.file("sample.met"));
  const std::string path = app.dir.file("edited.rvs");
  editor.chooseFile = [&](bool save) { return save ? std::optional(path) : std::nullopt; };
  SendMessageW(editor.window(), WM_COMMAND, win::ScriptEditorWindow::kItemId + desk::seSave, 0);
  EXPECT_EQ(test::ReadFile(path),
            test::SystemLines("ClearList\nRefreshCustomMET[sample.met]\nDelay[0]\nCheckAll\n"));
  EXPECT_EQ(editor.statusText(0), "edited.rvs");

  // Ctrl+R runs it in the main window: the list changed, the editor back on screen, the
  // script first among the recent ones, from where it runs again.
  ctrlKey('R');
  const size_t loaded = servers.size();
  EXPECT_GE(loaded, 4u);
  EXPECT_EQ(servers.checkedCount(), loaded);
  EXPECT_TRUE(IsWindowVisible(editor.window()));
  servers.clear();
  command(MainWindow::kRecentId);
  EXPECT_EQ(servers.size(), loaded);

  // The insert-command dialog shows Windows' paths and appends a double-clicked command.
  std::string description;
  whenDialogShows([&](HWND dialog) {
    HWND commands = GetDlgItem(dialog, win::InsertCommandDialog::kCommandsId);
    const auto row = static_cast<WPARAM>(script::ScriptCommand::RefreshCustomMET);
    SendMessageW(commands, LB_SETCURSEL, row, 0);
    SendMessageW(dialog, WM_COMMAND,
                 MAKEWPARAM(win::InsertCommandDialog::kCommandsId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(commands));
    wchar_t shown[1024] = L"";
    GetDlgItemTextW(dialog, win::InsertCommandDialog::kDescriptionId, shown, 1024);
    description = platform::utf8FromWide(shown);
    picture(dialog, "insert-command");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(win::InsertCommandDialog::kCommandsId, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(commands));
  });
  ctrlKey('I');
  EXPECT_NE(description.find("\r\nRefreshCustomMET[C:\\Program Files\\eMule\\config\\server.met]"),
            std::string::npos)
      << description;
  const std::string edited = editor.document().lines().back();
  EXPECT_EQ(edited, "RefreshCustomMET[]");
  const LRESULT last = SendMessageW(text, EM_LINEINDEX, 4, 0);
  EXPECT_EQ(selection().first, static_cast<LONG>(last + 17));
  picture(editor.window(), "script-editor");

  // Closing with that change asks: Cancel keeps the editor, No lets it go unsaved.
  answerNextBox(IDCANCEL);
  SendMessageW(editor.window(), WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(boxesAnswered, 1);
  EXPECT_TRUE(IsWindowVisible(editor.window()));
  answerNextBox(IDNO);
  SendMessageW(editor.window(), WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(boxesAnswered, 2);
  EXPECT_FALSE(IsWindowVisible(editor.window()));
  EXPECT_EQ(test::ReadFile(path),
            test::SystemLines("ClearList\nRefreshCustomMET[sample.met]\nDelay[0]\nCheckAll\n"));

  // The program's close asks about a changed script once, then goes (the list, nothing
  // checked, has nothing to save).
  serverlist::uncheckAllServers(servers, app.ctx);
  command(id(desk::cmdScriptEditor));
  type(L"CheckAll");
  answerNextBox(IDNO);
  SendMessageW(window.window(), WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(boxesAnswered, 3);
  EXPECT_EQ(window.window(), nullptr);
}

TEST_F(MainWindowTest, FilterEditDragAndAboutByKeys) {
  files.chosen = {RAVELIN_SAMPLE_MET};
  command(id(desk::cmdRefreshMet));
  ASSERT_GE(servers.size(), 4u);

  // The filter window: Name equal to the first row's name, Enter filters, No closes it.
  const std::string name = servers[0].server.name;
  command(MainWindow::kPopupId + serverlist::piFilter);
  HWND filter = window.filterWindow()->window();
  ASSERT_TRUE(IsWindowVisible(filter));
  EXPECT_EQ(caption(filter), L"Ravelin: Filter servers");
  SendDlgItemMessageW(filter, win::FilterWindow::kPropertyId, CB_SETCURSEL, serverlist::fName, 0);
  SendDlgItemMessageW(filter, win::FilterWindow::kOperatorId, CB_SETCURSEL, serverlist::foEqual, 0);
  SetDlgItemTextW(filter, win::FilterWindow::kValueId, platform::wideFromUtf8(name).c_str());
  picture(filter, "filter-window");
  answerNextBox(IDNO);
  pressKey(filter, VK_RETURN);
  pump();
  EXPECT_EQ(boxesAnswered, 1);
  EXPECT_FALSE(IsWindowVisible(filter));
  for (size_t row = 0; row < servers.size(); ++row)
    EXPECT_EQ(servers[row].checked, servers[row].server.name == name) << row;

  // The editor from Enter on the list: a letter is refused by the IP box; new values and
  // Enter change the row. Escape leaves a new server unadded.
  select({1});
  const std::string ip = servers[1].server.ip;
  whenDialogShows([this](HWND editor) {
    EXPECT_EQ(caption(editor), L"Ravelin: Edit server");
    picture(editor, "server-editor");
    const int ipBox = win::ServerEditorDialog::kFirstBoxId + int(serverlist::EditorBox::IP);
    SendDlgItemMessageW(editor, ipBox, WM_CHAR, 'x', 1);
    SetDlgItemTextW(editor, win::ServerEditorDialog::kFirstBoxId + int(serverlist::EditorBox::Port),
                    L"4242");
    SetDlgItemTextW(editor, win::ServerEditorDialog::kFirstBoxId + int(serverlist::EditorBox::Name),
                    L"Edited");
    pressKey(editor, VK_RETURN);
  });
  key(VK_RETURN);
  EXPECT_EQ(servers[1].server.ip, ip);
  EXPECT_EQ(servers[1].server.port, "4242");
  EXPECT_EQ(servers[1].server.name, "Edited");
  const size_t rows = servers.size();
  whenDialogShows([](HWND editor) { pressKey(editor, VK_ESCAPE); });
  command(MainWindow::kPopupId + serverlist::piAddServer);
  EXPECT_EQ(servers.size(), rows);

  // Drag the first row over the fourth: the insert mark stands in front of it, the drop
  // moves the row there.
  select({0});
  const std::string dragged = servers[0].server.ip;
  NMLISTVIEW begin{};
  begin.hdr = {list(), win::MainFrame::kListId, LVN_BEGINDRAG};
  SendMessageW(window.window(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  RECT target{};
  ListView_GetItemRect(list(), 3, &target, LVIR_BOUNDS);
  const LPARAM at = MAKELPARAM(target.left + 20, (target.top + target.bottom) / 2);
  SendMessageW(list(), WM_MOUSEMOVE, MK_LBUTTON, at);
  EXPECT_EQ(window.frame().listView().insertMark().row, 3);
  SendMessageW(list(), WM_LBUTTONUP, 0, at);
  pump();
  EXPECT_EQ(servers[2].server.ip, dragged);
  EXPECT_EQ(servers.selected(), std::optional<size_t>(2));
  EXPECT_EQ(window.frame().listView().insertMark().row, -1);

  // The about box closes by Escape and by Enter.
  for (WPARAM close : {VK_ESCAPE, VK_RETURN}) {
    std::wstring shown;
    whenDialogShows([this, &shown, close](HWND about) {
      shown = caption(about);
      if (close == VK_ESCAPE) picture(about, "about-box");
      pressKey(about, close);
    });
    command(id(desk::cmdAbout));
    EXPECT_EQ(shown, L"About Ravelin v" RAVELIN_VERSION);
  }
}

TEST_F(MainWindowTest, OptionsEditedOnTwoTabsAreKeptByOkAndDiscardedByCancel) {
  using win::OptionsDialog;
  using win::UrlListBox;
  app.ctx.settings.URLs = {{runtime::SourceKind::HTML, "http://127.0.0.1/a.htm"}};
  EXPECT_EQ(GetMenuState(GetMenu(window.window()), id(desk::cmdOptions), MF_BYCOMMAND) & MF_GRAYED,
            0u);
  const auto field = [](HWND options, const char* key) {
    return OptionsDialog::control(options, key);
  };
  whenDialogShows([&](HWND options) {
    EXPECT_EQ(caption(options), L"Ravelin: OPTIONS");
    SetWindowTextW(field(options, "ECHost"), L"127.0.0.2");
    showTab(options, 1);
    SendMessageW(GetWindow(field(options, "UpdTimeout"), GW_HWNDNEXT), UDM_SETPOS32, 0, 17);
    // Add a MET-file URL (the dialog puts the scheme in front), then move it to the top.
    whenDialogShows(
        [](HWND add) {
          SendDlgItemMessageW(add, win::UrlDialog::kKindId, CB_SETCURSEL, 1, 0);
          SetDlgItemTextW(add, win::UrlDialog::kUrlId, L"127.0.0.1/new.met");
          pressKey(add, VK_RETURN);
        },
        L"Ravelin: OPTIONS: Add URL");
    HWND urlPage = GetParent(field(options, "UpdTimeout"));
    click(GetDlgItem(urlPage, UrlListBox::kAddId));
    click(GetDlgItem(urlPage, UrlListBox::kUpId));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(urlPage, UrlListBox::kUpId)));
    for (int tab = 0; tab < OptionsDialog::kPageCount; ++tab) {
      showTab(options, tab);
      picture(options, "options-tab" + std::to_string(tab + 1));
    }
    // The client program is not found in the test's folder: OK asks whether to keep it.
    whenDialogShows(
        [this](HWND box) {
          ++boxesAnswered;
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        },
        L"Warning");
    PostMessageW(options, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  command(id(desk::cmdOptions));
  EXPECT_EQ(boxesAnswered, 1);
  const runtime::Settings& kept = app.ctx.settings;
  EXPECT_EQ(kept.ECHost, "127.0.0.2");
  EXPECT_EQ(kept.UpdTimeout, 17);
  ASSERT_EQ(kept.URLs.size(), 2u);
  EXPECT_EQ(kept.URLs[0].location, "http://127.0.0.1/new.met");
  EXPECT_EQ(kept.URLs[0].kind, runtime::SourceKind::MET);
  EXPECT_NE(test::ReadFile(app.dir.file("ravelin.ini")).find("127.0.0.1/new.met"),
            std::string::npos);

  // Reopened, the dialog shows what was kept; Escape drops a new edit.
  std::wstring shownHost;
  int shownRows = 0;
  whenDialogShows([&](HWND options) {
    wchar_t host[32] = L"";
    GetWindowTextW(field(options, "ECHost"), host, 32);
    shownHost = host;
    shownRows = ListView_GetItemCount(
        GetDlgItem(GetParent(field(options, "UpdTimeout")), UrlListBox::kListId));
    SetWindowTextW(field(options, "ECHost"), L"127.0.0.3");
    pressKey(options, VK_ESCAPE);
  });
  command(id(desk::cmdOptions));
  EXPECT_EQ(shownHost, L"127.0.0.2");
  EXPECT_EQ(shownRows, 2);
  EXPECT_EQ(kept.ECHost, "127.0.0.2");
}

// Run once per catalogue (RAVELIN_TEST_LANGUAGE) and at each DPI of the pictures: every
// dialog holds its captions uncut.
TEST_F(MainWindowTest, EveryDialogHoldsItsTextsInTheLanguageOfTheRun) {
  if (test::runLanguage() != "en") {
    ASSERT_NE(std::string(platform::catalogueHeader(runtime::kTextDomain))
                  .find("Language: " + test::runLanguage()),
              std::string::npos);
  }
  const auto expectRoom = [this](HWND shown, const std::string& name) {
    EXPECT_EQ(test::textsWithoutRoom(shown), std::vector<std::string>{}) << name;
    picture(shown, name);
  };
  const auto closeWithRoomChecked = [&](const std::string& name) {
    whenDialogShows([&expectRoom, name](HWND shown) {
      expectRoom(shown, name);
      pressKey(shown, VK_ESCAPE);
    });
  };
  files.chosen = {RAVELIN_SAMPLE_MET};
  command(id(desk::cmdRefreshMet));
  select({0});
  command(MainWindow::kPopupId + serverlist::piFilter);
  expectRoom(window.filterWindow()->window(), "filter-window");
  pressKey(window.filterWindow()->window(), VK_ESCAPE);
  pump();
  closeWithRoomChecked("server-editor");
  key(VK_RETURN);
  closeWithRoomChecked("about-box");
  command(id(desk::cmdAbout));
  closeWithRoomChecked("countdown");
  EXPECT_FALSE(static_cast<desk::MainView&>(window).runCloseCountdown());

  whenDialogShows([&](HWND options) {
    // The pages are children of the dialog, the hidden ones too.
    EXPECT_EQ(test::textsWithoutRoom(options), std::vector<std::string>{});
    for (int tab = 0; tab < win::OptionsDialog::kPageCount; ++tab) {
      showTab(options, tab);
      picture(options, "options-tab" + std::to_string(tab + 1));
    }
    whenDialogShows(
        [&expectRoom](HWND add) {
          expectRoom(add, "url-dialog");
          pressKey(add, VK_ESCAPE);
        },
        platform::wideFromUtf8(_(desk::kUrlAddCaption)));
    click(GetDlgItem(GetParent(win::OptionsDialog::control(options, "UpdTimeout")),
                     win::UrlListBox::kAddId));
    pressKey(options, VK_ESCAPE);
  });
  command(id(desk::cmdOptions));
  picture(window.window(), "main-window");

  // The long commands' windows as a run shows them, and the verify warning.
  const auto expectRoomWhileShown = [&expectRoom](runtime::ProgressView& view, const char* name) {
    view.show();
    expectRoom(dynamic_cast<win::Dialog&>(view).window(), name);
    view.close();
  };
  desk::MainView& main = window;
  expectRoomWhileShown(main.updateView(), "update-window");
  expectRoomWhileShown(main.verifyView(), "verify-window");
  expectRoomWhileShown(main.transferView(), "transfer-window");
  expectRoomWhileShown(main.versionCheckView(), "version-check-window");
  closeWithRoomChecked("verify-warning");
  bool checked = false;
  EXPECT_FALSE(main.verifyWarning()->showModal(verify::verifyWarningText(), checked));

  // The script editor and its insert-command dialog.
  command(id(desk::cmdScriptEditor));
  HWND editor = window.scriptEditor().window();
  expectRoom(editor, "script-editor");
  closeWithRoomChecked("insert-command");
  SendMessageW(editor, WM_COMMAND, win::ScriptEditorWindow::kItemId + desk::seInsertCommand, 0);
  pump();
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

TEST_F(MainWindowTest, LongCommandsUpdateFromLoopbackUrlsAndStopByEscapeAndByAClose) {
  using win::ProgressWindow;
  FastClock fast(app);
  test::TempDir files;
  test::WriteFile(files.file("a.met"),
                  test::MetBody(2, test::MetEntry(1, 2, 3, 4, 4661, "A", "a", 5) +
                                       test::MetEntry(5, 6, 7, 8, 4242, "B", "b", 7)));
  test::WriteFile(files.file("b.met"),
                  test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "A2", "", 9)));
  test::OddHttpServer http{{"", "", files.path().string(), "", ""}};
  const auto url = [&http](const char* path) { return test::Source("MET|" + http.url(path)); };
  app.ctx.settings.URLs = {url("/file/a.met"), url("/file/b.met")};
  app.ctx.settings.UpdThreadCount = 2;

  // The whole update from the menu: the window with a frame per slot, the main window
  // locked meanwhile, the list grown.
  HWND update = nullptr;
  int twoSlotHeight = 0;
  bool locked = false;
  whenSeen(
      [&] { return window.updateWindow() && IsWindowVisible(window.updateWindow()->window()); },
      [&] {
        update = window.updateWindow()->window();
        twoSlotHeight = height(update);
        locked = !inputEnabled();
      });
  command(id(desk::cmdUpdateAll));
  ASSERT_NE(update, nullptr);
  EXPECT_EQ(caption(update), L"Ravelin: Check URLs for new servers");
  EXPECT_TRUE(locked);
  EXPECT_EQ(servers.size(), 2u);
  EXPECT_EQ(app.logLines().back(), "Updated successfully and found <2> unique IPs");
  EXPECT_TRUE(inputEnabled() && !IsWindowVisible(update));

  // Escape while the one worker waits for a silent server: the list stays as it was.
  app.ctx.settings.URLs = {url("/file/b.met"), url("/silent"), url("/file/a.met")};
  app.ctx.settings.UpdThreadCount = 1;
  app.ctx.settings.UpdTimeout = 60;
  const auto waitingForSilence = [&] {
    return IsWindowVisible(update) &&
           itemText(update, ProgressWindow::rowItemId(0, 0)).find("/silent") != std::string::npos;
  };
  whenSeen(waitingForSilence, [&] {
    EXPECT_LT(height(update), twoSlotHeight);
    pressKey(update, VK_ESCAPE);
  });
  servers.clear();
  command(id(desk::cmdUpdateMet));
  EXPECT_EQ(itemText(update, ProgressWindow::kHeadlineId),
            "Waiting for working threads to close...");
  EXPECT_TRUE(servers.empty());
  EXPECT_EQ(app.logLines().back().rfind("Updated from <", 0), 0u);
  EXPECT_TRUE(inputEnabled() && !IsWindowVisible(update));

  // The main window closed during a run: the run is cancelled, then the window closes.
  whenSeen(waitingForSilence, [&] { PostMessageW(window.window(), WM_CLOSE, 0, 0); });
  command(id(desk::cmdUpdateMet));
  pump();
  EXPECT_EQ(window.window(), nullptr);
  EXPECT_EQ(boxesAnswered, 0);
}

TEST_F(MainWindowTest, LongCommandsVerifyAfterTheWarningAndACloseIsCancel) {
  using win::ProgressWindow;
  FastClock fast(app);
  test::LoopbackListener accepting;
  test::LoopbackListener silent(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(silent.fillAcceptQueue(), test::LoopbackListener::kFillLimit);
  addServer("127.0.0.1", accepting.port());
  addServer("127.0.0.1", test::ClosedLoopbackPort());
  app.ctx.settings.VrfThreadCount = 2;
  app.ctx.settings.VrfTimeout = 5;

  // The warning: the box ticked and Enter (Proceed) turn it off for good.
  std::string warning;
  whenDialogShows([&warning](HWND shown) {
    warning = itemText(shown, win::VerifyWarningWindow::kTextId);
    CheckDlgButton(shown, win::VerifyWarningWindow::kBoxId, BST_CHECKED);
    pressKey(shown, VK_RETURN);
  });
  // The user hides the details once a verdict shows: the window shrinks.
  HWND verify = nullptr;
  int shownHeight = 0, hiddenHeight = 0;
  const auto verdictShown = [this] {
    const win::VerifyWindow* shown = window.verifyWindow();
    return shown && IsWindowVisible(shown->window()) &&
           (shown->slotMark(0) != verify::SlotMark::Neutral ||
            shown->slotMark(1) != verify::SlotMark::Neutral);
  };
  whenSeen(verdictShown, [&] {
    verify = window.verifyWindow()->window();
    picture(verify, "verify-verdicts");
    shownHeight = height(verify);
    SendMessageW(verify, WM_COMMAND, MAKEWPARAM(ProgressWindow::kDetailsId, BN_CLICKED), 0);
    hiddenHeight = height(verify);
  });
  command(id(desk::cmdVerifyChecked));
  ASSERT_NE(verify, nullptr);
  EXPECT_EQ(warning.rfind("It is recommended NOT to use server verification.\r\n", 0), 0u);
  EXPECT_NE(test::ReadFile(app.dir.file("ravelin.ini")).find("VrfWarning=0"), std::string::npos);
  EXPECT_LT(hiddenHeight, shownHeight);
  EXPECT_TRUE(servers[0].checked && !servers[1].checked);
  EXPECT_EQ(itemText(verify, ProgressWindow::kDescriptionId), "(2/2)");
  EXPECT_EQ(app.logLines().back(), "Verification ended successfully");
  // The last verdicts stay, in their colours.
  EXPECT_EQ(int(window.verifyWindow()->slotMark(0)) + int(window.verifyWindow()->slotMark(1)),
            int(verify::SlotMark::Ok) + int(verify::SlotMark::Failed));

  // Closed (Alt+F4) while a silent server is tried: a Cancel; the untried keep their marks.
  SendMessageW(verify, WM_COMMAND, MAKEWPARAM(ProgressWindow::kDetailsId, BN_CLICKED), 0);
  for (int i = 0; i < 3; ++i) addServer("127.0.0.1", silent.port());
  app.ctx.settings.VrfThreadCount = 1;
  app.ctx.settings.VrfTimeout = 60;
  whenSeen(
      [&] {
        return itemText(verify, ProgressWindow::rowItemId(0, 0)).find("has been contacted") !=
               std::string::npos;
      },
      [&] { SendMessageW(verify, WM_CLOSE, 0, 0); });
  command(id(desk::cmdVerifyChecked));
  EXPECT_EQ(app.logLines().back(), "Verification cancelled");
  EXPECT_EQ(servers.checkedCount(), 4u);
  EXPECT_TRUE(inputEnabled() && !IsWindowVisible(verify));
}

TEST_F(MainWindowTest, LongCommandsTransferToEmuleAndCheckForUpdates) {
  FastClock fast(app);
  for (int i = 1; i <= 3; ++i) addServer("10.0.0." + std::to_string(i), 4661, i != 2);
  // The last hand-over was five hours ago; the fake eMule takes the links.
  app::TransferTimeFile(session.places().transferFile)
      .write(client::transferTimeValue(app.manualClock.wallMs() - 5 * 3600 * 1000));
  const std::string links = app.dir.file("links.txt");
  test::EmulePeer emule(links);
  ASSERT_EQ(emule.problem(), "");
  HWND transfer = nullptr;
  whenSeen(
      [&] { return window.transferWindow() && IsWindowVisible(window.transferWindow()->window()); },
      [&] {
        transfer = window.transferWindow()->window();
        picture(transfer, "transfer-running");
      });
  command(id(desk::cmdSaveRunning));
  ASSERT_NE(transfer, nullptr);
  EXPECT_EQ(test::ReadFile(links),
            "ed2k://|server|10.0.0.1|4661|/\ned2k://|server|10.0.0.3|4661|/\n");
  EXPECT_EQ(itemText(transfer, win::TransferWindow::kStatusId), "Transfer finished.");
  EXPECT_TRUE(inputEnabled() && !IsWindowVisible(transfer));

  // The check for updates from a loopback address finds a newer version; its box comes
  // while the check's window shows, and No opens nothing.
  test::TempDir files;
  test::WriteFile(files.file("newer.ini"), "[data]\r\nversion=999\r\nurlvers=999\r\n");
  test::OddHttpServer http{{"", "", files.path().string(), "", ""}};
  app.ctx.settings.UpdateInfoURL = http.url("/file/newer.ini");
  std::string question;
  bool checkShown = false;
  whenDialogShows(
      [&](HWND box) {
        question = itemText(box, 0xFFFF);
        checkShown = IsWindowVisible(window.versionCheckWindow()->window());
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
      },
      L"Info");
  command(id(desk::cmdCheckForUpdates));
  EXPECT_EQ(question.rfind("There is a new version of Ravelin", 0), 0u) << question;
  EXPECT_TRUE(checkShown && inputEnabled());
  EXPECT_FALSE(IsWindowVisible(window.versionCheckWindow()->window()));
}

}  // namespace
