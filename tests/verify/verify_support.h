#pragma once
// A verify window that records what it is shown, and a warning dialog with scripted
// answers.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "verify/verify_command.h"
#include "verify/verify_coordinator.h"
#include "verify/verify_view.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::verify;

namespace test {

struct SlotLine {
  SlotMark mark;
  std::string text;
};

class RecordingVerifyView : public VerifyView {
 public:
  std::vector<std::string> headlines;
  std::vector<std::string> descriptions;
  RecordingProgressBar bar;
  // Every status line shown per slot, in order (colour as set before the caption).
  std::map<int, std::vector<SlotLine>> slots;
  int shows = 0, closes = 0;
  bool mainEnabled = true;
  std::vector<bool> mainEnabledHistory;
  // Whether the workers hold each verdict for half a second, as a window needs.
  bool displayPauses = true;
  bool keepsDisplayPauses() const override { return displayPauses; }
  // The tally after each batch, and the most attempts it ever had in flight.
  int done = 0, reachable = 0, maxInFlight = 0;
  void setCounts(int d, int r, int inFlight) override {
    done = d;
    reachable = r;
    maxInFlight = std::max(maxInFlight, inFlight);
  }
  // Runs after every caption change of a slot (on the user-interface thread).
  std::function<void(int slot, const std::string& text)> onSlotCaption;

  void show() override { ++shows; }
  void close() override { ++closes; }
  void setMainWindowEnabled(bool enabled) override {
    mainEnabled = enabled;
    mainEnabledHistory.push_back(enabled);
  }
  void setHeadline(const std::string& text) override { headlines.push_back(text); }
  void setDescription(const std::string& text) override { descriptions.push_back(text); }
  ProgressBar& progressBar() override { return bar; }
  void setSlotMark(int slot, SlotMark mark) override { pendingMark_[slot] = mark; }
  void setSlotCaption(int slot, const std::string& text) override {
    slots[slot].push_back({pendingMark_[slot], text});
    if (onSlotCaption) onSlotCaption(slot, text);
  }

  // All lines of all slots that contain the text.
  int linesContaining(const std::string& text) const {
    int n = 0;
    for (auto& [slot, lines] : slots)
      for (auto& l : lines)
        if (l.text.find(text) != std::string::npos) ++n;
    return n;
  }
  const SlotLine* findLine(const std::string& text) const {
    for (auto& [slot, lines] : slots)
      for (auto& l : lines)
        if (l.text == text) return &l;
    return nullptr;
  }

 private:
  std::map<int, SlotMark> pendingMark_;
};

class ScriptedWarningDialog : public VerifyWarningDialog {
 public:
  int shown = 0;
  std::string lastText;
  bool initialChecked = false;
  bool proceed = true;
  bool tick = false;  // the box's state when the dialog closes
  bool showModal(const std::string& text, bool& checked) override {
    ++shown;
    lastText = text;
    initialChecked = checked;
    checked = tick;
    return proceed;
  }
};

}  // namespace test
