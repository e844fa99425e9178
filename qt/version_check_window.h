#pragma once
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/version_check.h"

namespace ravelin::qt {

// "Ravelin: Checking for updates": on top of the other windows and centred on the main
// window, without border icons; the check's label, its bar and Cancel (also Escape).
class VersionCheckWindow : public QDialog, public app::VersionCheckView {
 public:
  explicit VersionCheckWindow(QWidget* parent = nullptr);

  void show() override;
  void close() override { hide(); }
  // The command frame of the main window keeps it disabled while the check runs.
  void setMainWindowEnabled(bool) override {}
  void setHeadline(const std::string& text) override;
  void setDescription(const std::string&) override {}
  void setProgress(int percent) override { bar_->setValue(percent); }

  QLabel* label() const { return label_; }
  QProgressBar* bar() const { return bar_; }
  QPushButton* cancelButton() const { return cancel_; }

 protected:
  void reject() override { cancel(); }

 private:
  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt
