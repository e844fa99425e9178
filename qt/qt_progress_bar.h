#pragma once
#include <QPointer>
#include <QProgressBar>

#include "runtime/progress_bar.h"

namespace ravelin::qt {

// A core progress bar drawn by a QProgressBar: the main window's load/save bar, which shows
// and hides with the core's bar, and the bars of the progress windows, which are always
// shown (followVisibility false).
class QtProgressBar : public runtime::ProgressBar {
 public:
  explicit QtProgressBar(QProgressBar* bar = nullptr, bool followVisibility = true)
      : bar_(bar), followVisibility_(followVisibility) {}
  void attach(QProgressBar* bar) {
    bar_ = bar;
    changed();
  }

 protected:
  void changed() override;

 private:
  QPointer<QProgressBar> bar_;
  bool followVisibility_;
};

}  // namespace ravelin::qt
