#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "runtime/progress_view.h"

namespace ravelin::qt {

// What the update and verify windows share: a headline, a description line and a bar over
// Cancel and Details, and the details pane below them with one row per slot of the run.
// The window is as high as what it shows, drawn from the view's details state and slot
// count. It stays on top of the main window, without border icons; Escape and a close by
// the window manager are Cancel, since the run ends the window, not the user.
class ProgressWindow : public QDialog {
 public:
  ProgressWindow(QWidget* parent, const char* caption);

  // Disables and enables the main window around a run.
  std::function<void(bool enabled)> onMainWindowEnabled;

  QLabel* headlineLabel() const { return headline_; }
  QLabel* descriptionLabel() const { return description_; }
  QProgressBar* bar() const { return bar_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* detailsButton() const { return details_; }
  QGroupBox* detailsBox() const { return detailsBox_; }

 protected:
  // The view that the window implements.
  virtual runtime::ProgressView& progressView() = 0;
  // The rows of the details pane go here, one per slot in slot order.
  QVBoxLayout* detailsLayout() const { return detailsLayout_; }
  void showCentred();
  void enableMainWindow(bool enabled);
  void drawDetails();

  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* headline_;
  QLabel* description_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  QPushButton* details_;
  QGroupBox* detailsBox_;
  QVBoxLayout* detailsLayout_;
};

}  // namespace ravelin::qt
