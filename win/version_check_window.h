#pragma once
#include <windows.h>

#include "app/version_check.h"
#include "win/dialog.h"

namespace ravelin::win {

// "Ravelin: Checking for updates": on top of the other windows and centred on the main
// window, without a close box; the check's label, its bar and Cancel (also Escape).
class VersionCheckWindow : public Dialog, public app::VersionCheckView {
 public:
  static constexpr int kLabelId = 100;
  static constexpr int kBarId = 101;

  explicit VersionCheckWindow(HWND owner);

  void show() override;
  void close() override { ShowWindow(window(), SW_HIDE); }
  // The command frame of the main window keeps it disabled while the check runs.
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override { setItemText(kLabelId, text); }
  void setDescription(const std::string&) override {}
  void setProgress(int percent) override;

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;
};

}  // namespace ravelin::win
