#pragma once
#include <QPointer>
#include <QProgressBar>

#include "runtime/progress_bar.h"

namespace ravelin::gui {

// The main window's load/save bar as the readers and writers drive it.
class LoadSaveBar : public runtime::ProgressBar {
 public:
  explicit LoadSaveBar(QProgressBar* bar = nullptr) : bar_(bar) {}
  void attach(QProgressBar* bar) {
    bar_ = bar;
    changed();
  }

 protected:
  void changed() override;

 private:
  QPointer<QProgressBar> bar_;
};

}  // namespace ravelin::gui
