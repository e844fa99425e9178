#pragma once
// The main window as its presenter drives it.
#include <string>
#include <vector>

#include "desk/views.h"

namespace ravelin::update {
class UpdateView;
}
namespace ravelin::verify {
class VerifyView;
class VerifyWarningDialog;
}
namespace ravelin::client {
class TransferView;
}
namespace ravelin::app {
class VersionCheckView;
}

namespace ravelin::desk {

class MainView {
 public:
  virtual ~MainView() = default;

  // The status bar: the list's counts in the first panel; in the last one what the last
  // command did (detail: the whole text, where the panel shows a part of it).
  virtual void showListStatus(const std::string& text) = 0;
  virtual void showMessage(const std::string& text, const std::string& detail) = 0;
  // Input to the window (list, toolbar, menus); enabled again, the keys go to the list.
  virtual void setInputEnabled(bool enabled) = 0;
  // The busy pointer over the window while a list is read.
  virtual void setBusy(bool busy) = 0;
  virtual bool isShown() const = 0;
  // Asks the window to close, as the user's close would: it comes back as a close
  // decision to the presenter.
  virtual void requestClose() = 0;
  // Raises the window (a minimized one shown again) and gives it the focus.
  virtual void bringToFront() = 0;
  // The submenu of the recently used scripts.
  virtual void showRecentScripts(const std::vector<std::string>& captions) = 0;
  // The wait loops of the program end early (true), or no longer (a refused close).
  virtual void setTerminating(bool terminating) = 0;
  // A close while a command runs: the long commands' windows cancel what they wait for.
  virtual void cancelLongCommands() = 0;
  // HideWindows: the program's visible windows hide until the script ends.
  virtual void hideWindowsForScript() = 0;
  virtual void restoreWindowsAfterScript() = 0;
  // The window's normal place and whether it is maximized. Placing it fits the place to the
  // screen it lies on (fitIntoScreen), or keeps only the size when that screen is gone.
  virtual WindowPlace place() const = 0;
  virtual bool isMaximized() const = 0;
  virtual void placeWindow(const WindowPlace& place) = 0;
  virtual void maximize() = 0;

  // The dialogs and windows that the commands open, each modal until it is done.
  virtual void editServer() = 0;
  virtual void addServer() = 0;
  virtual void openFilter() = 0;
  virtual void runOptions() = 0;
  virtual void showAbout() = 0;
  // CloseUtils' countdown; true: it ran out.
  virtual bool runCloseCountdown() = 0;
  virtual update::UpdateView& updateView() = 0;
  virtual verify::VerifyView& verifyView() = 0;
  virtual verify::VerifyWarningDialog* verifyWarning() = 0;
  virtual client::TransferView& transferView() = 0;
  virtual app::VersionCheckView& versionCheckView() = 0;
  virtual ScriptEditor& scriptWindow() = 0;
};

}  // namespace ravelin::desk
