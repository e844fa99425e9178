#pragma once

namespace ravelin::runtime {

// A progress bar as the core drives it: loadSaveBar, the update and verify bars and the
// slot bars are all this. Front ends override changed() to show it.
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;

  int min() const { return min_; }
  int max() const { return max_; }
  int step() const { return step_; }
  int position() const { return position_; }
  bool visible() const { return visible_; }

  void setMin(int v) {
    min_ = v;
    changed();
  }
  void setMax(int v) {
    max_ = v;
    changed();
  }
  void setStep(int v) {
    step_ = v;
    changed();
  }
  void setPosition(int v) {
    position_ = v;
    changed();
  }
  void setVisible(bool v) {
    visible_ = v;
    changed();
  }

  // Minimum 0, step 1, position 0, the given maximum, visible: how every long loop starts.
  void start(int maximum) {
    min_ = 0;
    max_ = maximum;
    step_ = 1;
    position_ = 0;
    visible_ = true;
    changed();
  }
  // Advances by one step; like the native control it wraps to the minimum past the end.
  void stepIt() {
    position_ += step_;
    if (position_ > max_) position_ = min_;
    changed();
  }
  void hide() { setVisible(false); }

 protected:
  virtual void changed() {}

 private:
  int min_ = 0;
  int max_ = 100;
  int step_ = 1;
  int position_ = 0;
  bool visible_ = false;
};

}  // namespace ravelin::runtime
