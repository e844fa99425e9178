#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>

#include "client/transfer.h"

namespace ravelin::qt {

// "Ravelin: Data transfer to eDonkey client": the hand-over of the checked servers to the
// running client. The status line, where the servers go, and Cancel; the servers gone
// through are counted on the main window's load/save bar. Not modal, centred on the main
// window, without border icons; Escape and a close by the window manager are Cancel.
class TransferWindow : public QDialog, public client::TransferView {
 public:
  TransferWindow(runtime::ProgressBar& loadSaveBar, QWidget* parent = nullptr);

  // Disables and enables the main window around a hand-over.
  std::function<void(bool enabled)> onMainWindowEnabled;

  void show() override;
  void close() override { hide(); }
  void setMainWindowEnabled(bool enabled) override;
  void setHeadline(const std::string& text) override;
  void setDescription(const std::string& text) override;
  runtime::ProgressBar& progressBar() override { return loadSaveBar_; }

  QLabel* statusLabel() const { return status_; }
  QLabel* routeLabel() const { return route_; }
  QPushButton* cancelButton() const { return cancel_; }

 protected:
  void reject() override { cancel(); }
  void closeEvent(QCloseEvent* event) override;

 private:
  runtime::ProgressBar& loadSaveBar_;
  QLabel* status_;
  QLabel* route_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt
