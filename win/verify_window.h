#pragma once
#include <windows.h>

#include <array>

#include "verify/verify_command.h"
#include "verify/verify_view.h"
#include "win/progress_window.h"

namespace ravelin::win {

// "Ravelin: Verify server list": the verify window. The bar of servers gone through with
// "(position/maximum)"; the details pane holds one status line per worker slot, green for
// a server that accepted, red for one that refused or timed out, in white letters.
class VerifyWindow : public ProgressWindow, public verify::VerifyView {
 public:
  explicit VerifyWindow(HWND owner);

  // A new run starts with idle status lines, whatever a cancelled run left in them.
  void show() override;
  void close() override { hideWindow(); }
  void setMainWindowEnabled(bool enabled) override { enableMainWindow(enabled); }
  void setHeadline(const std::string& text) override { setItemText(kHeadlineId, text); }
  void setDescription(const std::string& text) override { setItemText(kDescriptionId, text); }
  runtime::ProgressBar& progressBar() override { return bar(); }
  void setSlotMark(int slot, verify::SlotMark mark) override;
  void setSlotCaption(int slot, const std::string& text) override;

  verify::SlotMark slotMark(int slot) const { return marks_[static_cast<size_t>(slot)]; }

 protected:
  runtime::ProgressView& progressView() override { return *this; }
  void detailsChanged() override { drawDetails(); }
  void addRow(DialogTemplate& form, int slot, RECT units) const override;
  void rowsCreated() override { resetLines(); }

 private:
  std::optional<INT_PTR> message(UINT message, WPARAM wParam, LPARAM lParam) override;
  void resetLines();

  std::array<verify::SlotMark, verify::kVerifySlotCount> marks_{};
};

// "Ravelin: Hint for server verification": the advice against verifying, asked before a
// verification that the user starts, with "Do not show this message box again".
class VerifyWarningWindow : public Dialog, public verify::VerifyWarningDialog {
 public:
  static constexpr int kTextId = 100;
  static constexpr int kBoxId = 101;

  explicit VerifyWarningWindow(HWND owner) : owner_(owner) {}

  bool showModal(const std::string& text, bool& checked) override;

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;

  HWND owner_;
  std::string text_;
  bool checked_ = false;
};

}  // namespace ravelin::win
