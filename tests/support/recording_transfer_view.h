#pragma once
// A transfer window for tests: records its texts, its bar and how it was shown.
#include <functional>
#include <string>
#include <vector>

#include "client/transfer.h"
#include "support/test_support.h"

namespace test {

class RecordingTransferView : public ravelin::client::TransferView {
 public:
  class Bar : public ravelin::runtime::ProgressBar {
   public:
    int steps = 0;  // positions reached while visible
    int lastMax = 0;

   protected:
    void changed() override {
      if (visible() && position() > 0) ++steps;
      if (visible()) lastMax = max();
    }
  };

  std::vector<std::string> headlines;
  std::string description;
  int shown = 0, closed = 0;
  bool mainEnabled = true;
  Bar bar;
  // Runs at every status text, with the text.
  std::function<void(const std::string&)> onHeadline;

  void show() override { ++shown; }
  void close() override { ++closed; }
  void setMainWindowEnabled(bool enabled) override { mainEnabled = enabled; }
  void setHeadline(const std::string& text) override {
    headlines.push_back(text);
    if (onHeadline) onHeadline(text);
  }
  void setDescription(const std::string& text) override { description = text; }
  ravelin::runtime::ProgressBar& progressBar() override { return bar; }
};

}  // namespace test
