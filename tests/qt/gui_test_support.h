#pragma once
// What the window tests share: a main window over a real session in a scratch directory,
// answers to modal dialogs, and lists of servers.
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "qt/main_window.h"
#include "qt/qt_ui_thread.h"
#include "platform/clock.h"
#include "serverlist/server_list.h"
#include "support/test_support.h"

namespace test::gui {

using namespace ravelin;

// Runs act once, as soon as holds() is true (checked every millisecond while events run).
void onceWhen(std::function<bool()> holds, std::function<void()> act);
// Runs act on the next modal dialog that opens.
void whenModal(std::function<void(QWidget*)> act);

// A manual clock for the context that moves 10 ms per millisecond of events served, so
// that pauses and time-outs pass ten times faster than written.
class FastClock {
 public:
  explicit FastClock(runtime::AppContext& ctx);
  ~FastClock();
  platform::ManualClock clock;

 private:
  runtime::AppContext& ctx_;
  std::unique_ptr<QTimer> ticker_;
};
// Chooses the file in the next modal file dialog; for a save dialog also the filter.
void chooseFile(const std::string& path, int filterIndex = 0);
// Lets pending events run (the model reports its changes from the event loop).
void settle();
// The texts that the window and its children show cut off or elided, as "class: text":
// labels and buttons narrower than their text, header sections narrower than their
// caption, menu items (the bold default one in its bold font) narrower than their text.
QStringList cutOffTexts(QWidget* window);

serverlist::Server server(const std::string& ip, const std::string& port,
                          const std::string& name = "n/a", const std::string& users = "n/a");
// A server.met holding the servers.
void writeMetFile(const std::string& path, const std::vector<serverlist::Server>& servers);
// The servers of a MET file, in file order.
std::vector<serverlist::Server> readMetFile(const std::string& path);

// A main window as the program builds it, with ravelin.ini, the client directory and the
// log in a scratch directory; message boxes are answered by a scripted prompter.
class MainWindowFixture {
 public:
  MainWindowFixture();
  ~MainWindowFixture();

  TempDir dir;
  ScriptedPrompter prompter;
  ravelin::qt::QtUiThread ui;
  runtime::AppContext ctx;
  std::unique_ptr<app::AppSession> session;
  serverlist::ServerList list;
  std::unique_ptr<ravelin::qt::MainWindow> window;

  // The messages of this run's log, without time stamps.
  std::vector<std::string> logLines() const;
  // Column texts of the model, row by row.
  std::vector<std::string> column(int field);
};

}  // namespace test::gui
