#pragma once
#include <windows.h>

#include <string>

#include "runtime/progress_bar.h"
#include "win/handles.h"

namespace ravelin::win {

// A panel's text of a status bar control (msctls_statusbar32), in UTF-8.
void setPanelText(HWND bar, int panel, const std::string& utf8);
std::string panelText(HWND bar, int panel);

// The main window's status bar: panel 0 the list's counts, panel 1 the load/save bar
// while the core shows it, panel 2 what the last command did. The hidden bar leaves its
// room to the last panel, whose texts are long.
class StatusBar : public runtime::ProgressBar {
 public:
  enum Panel { kCounts = 0, kMessage = 2 };

  StatusBar(HWND parent, int id);
  HWND window() const { return bar_; }

  void setText(Panel panel, const std::string& utf8);
  std::string text(Panel panel) const;
  // Places the bar along the parent's bottom and its panels for dpi; returns its height.
  int layout(UINT dpi);

 protected:
  void changed() override;

 private:
  void placePanels();

  HWND bar_;
  HWND progress_;
  UINT dpi_ = 96;
  bool progressShown_ = false;
};

}  // namespace ravelin::win
