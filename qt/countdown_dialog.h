#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "client/close_countdown.h"

namespace ravelin::qt {

// "Ravelin: CLOSE Ravelin": the close countdown of CloseUtils, on top of the other windows
// and centred on the main window, counting the seconds in red, with Cancel.
class CountdownDialog : public QDialog, public client::CountdownView {
 public:
  explicit CountdownDialog(QWidget* parent = nullptr);

  // Shows the window and runs the countdown; returns whether it ran out.
  bool run(runtime::AppContext& ctx);

  void showSeconds(int seconds) override;
  bool cancelled() override { return cancelled_; }
  void closed() override;

  QLabel* secondsLabel() const { return seconds_; }
  QPushButton* cancelButton() const { return cancel_; }

 protected:
  void reject() override;

 private:
  QLabel* seconds_;
  QPushButton* cancel_;
  bool cancelled_ = false;
};

}  // namespace ravelin::qt
