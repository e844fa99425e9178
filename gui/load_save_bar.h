#pragma once
#include <QPointer>
#include <QProgressBar>

#include "runtime/progress_bar.h"

namespace ravelin::gui {

// A core progress bar drawn by a QProgressBar: the main window's load/save bar as the
// readers and writers drive it, which shows and hides with the core's bar, and the bars of
// the progress windows, which are always shown (followVisibility false).
class LoadSaveBar : public runtime::ProgressBar {
 public:
  explicit LoadSaveBar(QProgressBar* bar = nullptr, bool followVisibility = true)
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

}  // namespace ravelin::gui
