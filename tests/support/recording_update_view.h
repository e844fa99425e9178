#pragma once
// An update window for tests: keeps the current texts and bars and records every change.
#include <array>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "update/update_view.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::update;

namespace test {

class RecordingUpdateView : public UpdateView {
 public:
  RecordingUpdateView() {
    for (int i = 0; i < kSlots; ++i) {
      slotCaption[i] = "Thread " + std::to_string(i + 1) + ":";
      slotLabel[i] = "< Thread not used >";
    }
  }
  bool shown = false;
  bool mainEnabled = true;
  int showCount = 0, closeCount = 0;
  std::string headline, desc;
  std::vector<std::string> headlines, descs;
  std::array<std::string, kSlots> slotCaption, slotLabel;
  // Every label text and caption a slot showed, in order.
  std::array<std::vector<std::string>, kSlots> labelHistory, captionHistory;
  RecordingProgressBar urls;
  std::array<RecordingProgressBar, kSlots> bars;
  // Runs on every change of a slot label (tests use it to press Cancel at a given point).
  std::function<void(int slot, const std::string& text)> onLabel;

  void show() override {
    shown = true;
    ++showCount;
  }
  void close() override {
    shown = false;
    ++closeCount;
  }
  void setMainWindowEnabled(bool enabled) override { mainEnabled = enabled; }
  void setHeadline(const std::string& t) override {
    headline = t;
    headlines.push_back(t);
  }
  void setDescription(const std::string& t) override {
    desc = t;
    descs.push_back(t);
  }
  ProgressBar& urlsBar() override { return urls; }
  void setSlotCaption(int slot, const std::string& t) override {
    slotCaption[slot] = t;
    captionHistory[slot].push_back(t);
  }
  void setSlotLabel(int slot, const std::string& t) override {
    slotLabel[slot] = t;
    labelHistory[slot].push_back(t);
    if (onLabel) onLabel(slot, t);
  }
  ProgressBar& slotBar(int slot) override { return bars[slot]; }
};

}  // namespace test
