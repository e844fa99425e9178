#pragma once
#include <QCheckBox>
#include <QLabel>
#include <array>

#include "qt/qt_progress_bar.h"
#include "qt/progress_window.h"
#include "verify/verify_command.h"
#include "verify/verify_view.h"

namespace ravelin::qt {

// "Ravelin: Verify server list": the verify window. The bar of servers gone through with
// "(position/maximum)"; the details pane holds one status line per worker slot, green for
// a server that accepted, red for one that refused or timed out.
class VerifyWindow : public ProgressWindow, public verify::VerifyView {
 public:
  explicit VerifyWindow(QWidget* parent = nullptr);

  // A new run starts with idle status lines, whatever a cancelled run left in them.
  void show() override;
  void close() override { hide(); }
  void setMainWindowEnabled(bool enabled) override { enableMainWindow(enabled); }
  void setHeadline(const std::string& text) override;
  void setDescription(const std::string& text) override;
  runtime::ProgressBar& progressBar() override { return bar_; }
  void setSlotMark(int slot, verify::SlotMark mark) override;
  void setSlotCaption(int slot, const std::string& text) override;

  QLabel* slotLine(int slot) const { return lines_[index(slot)]; }

 protected:
  runtime::ProgressView& progressView() override { return *this; }
  void detailsChanged() override { drawDetails(); }

 private:
  static std::size_t index(int slot) { return static_cast<std::size_t>(slot); }
  void resetLines();

  QtProgressBar bar_;
  std::array<QLabel*, verify::kVerifySlotCount> lines_{};
};

// "Ravelin: Hint for server verification": the advice against verifying, asked before a
// verification that the user starts, with "Do not show this message box again".
class VerifyWarningWindow : public QDialog, public verify::VerifyWarningDialog {
 public:
  explicit VerifyWarningWindow(QWidget* parent = nullptr);

  bool showModal(const std::string& text, bool& checked) override;

  QLabel* textLabel() const { return text_; }
  QCheckBox* checkBox() const { return box_; }
  QPushButton* proceedButton() const { return proceed_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  QLabel* text_;
  QCheckBox* box_;
  QPushButton* proceed_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt
