#pragma once
#include <windows.h>

#include "client/transfer.h"
#include "win/dialog.h"

namespace ravelin::win {

// "Ravelin: Data transfer to eDonkey client": the hand-over of the checked servers to the
// running client. The status line, where the servers go, and Cancel; the servers gone
// through are counted on the main window's load/save bar. Not modal, centred on the main
// window, without a close box; Escape and Alt+F4 are Cancel.
class TransferWindow : public Dialog, public client::TransferView {
 public:
  static constexpr int kStatusId = 100;
  static constexpr int kRouteId = 101;

  TransferWindow(runtime::ProgressBar& loadSaveBar, HWND owner);

  // Disables and enables the main window around a hand-over.
  std::function<void(bool enabled)> onMainWindowEnabled;

  void show() override;
  void close() override { ShowWindow(window(), SW_HIDE); }
  void setMainWindowEnabled(bool enabled) override;
  void setHeadline(const std::string& text) override { setItemText(kStatusId, text); }
  void setDescription(const std::string& text) override;
  runtime::ProgressBar& progressBar() override { return loadSaveBar_; }

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;

  runtime::ProgressBar& loadSaveBar_;
  FontHandle bold_;
};

}  // namespace ravelin::win
