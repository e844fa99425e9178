#pragma once
// A transfer window for tests: counts the bar's steps and how it was closed.
#include <functional>
#include <string>

#include "client/transfer.h"

namespace test {

class RecordingTransferView : public ravelin::client::TransferView {
 public:
  struct Bar : ravelin::runtime::ProgressBar {
    int steps = 0;  // positions reached while shown
    void changed() override { steps += visible() && position() > 0; }
  } bar;
  int closed = 0;
  bool mainEnabled = true;
  std::function<void(const std::string&)> onHeadline;

  void show() override {}
  void close() override { ++closed; }
  void setMainWindowEnabled(bool enabled) override { mainEnabled = enabled; }
  void setHeadline(const std::string& text) override {
    if (onHeadline) onHeadline(text);
  }
  void setDescription(const std::string&) override {}
  ravelin::runtime::ProgressBar& progressBar() override { return bar; }
};

}  // namespace test
