#pragma once
#include "script/script_host.h"

namespace ravelin::desk {

class MainPresenter;

// The script host of the desktop programs: the readers and writers drive the main window's
// load/save bar, the updates, verifications and the hand-over to the running client run
// in their windows, CloseUtils counts down in its window, HideWindows hides the program's
// windows until the script ends.
class DeskScriptHost : public script::ScriptHost {
 public:
  explicit DeskScriptHost(MainPresenter& presenter) : presenter_(presenter) {}

  runtime::ProgressBar& loadSaveBar() override;
  update::UpdateOutcome update(update::UpdateKind kind) override;
  verify::VerifyOutcome verify(bool all) override;
  bool closeCountdown() override;
  void hideWindows() override;
  void restoreWindows() override;
  void saveRunningEDonkey() override;
  void sendToEDonkeyConsole(const std::string& text) override;
  void startEDonkey() override;
  void startFile(const std::string& path) override;

 private:
  MainPresenter& presenter_;
};

}  // namespace ravelin::desk
