#pragma once
#include <QPointer>
#include <QWidget>

#include "runtime/prompter.h"

namespace ravelin::qt {

// The program's message boxes, over the window in front (the filter window and the script
// editor stay on top of the main window, so no question may open behind them).
class QtPrompter : public runtime::Prompter {
 public:
  explicit QtPrompter(QWidget* mainWindow = nullptr) : mainWindow_(mainWindow) {}
  void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

  runtime::MsgResult message(const std::string& title, const std::string& text,
                             runtime::MsgIcon icon, runtime::MsgButtons buttons) override;

 private:
  QPointer<QWidget> mainWindow_;
};

}  // namespace ravelin::qt
