#pragma once
#include "script/script_host.h"
#include "support/test_support.h"

namespace test {

// A host for scripts that use none of the long commands: it counts the calls.
class PlainScriptHost : public ravelin::script::ScriptHost {
 public:
  RecordingProgressBar bar;
  int calls = 0;
  ravelin::runtime::ProgressBar& loadSaveBar() override { return bar; }
  ravelin::update::UpdateOutcome update(ravelin::update::UpdateKind) override {
    ++calls;
    return ravelin::update::UpdateOutcome::Ended;
  }
  ravelin::verify::VerifyOutcome verify(bool) override {
    ++calls;
    return ravelin::verify::VerifyOutcome::Ended;
  }
  bool closeCountdown() override { return ++calls, false; }
  void hideWindows() override { ++calls; }
  void restoreWindows() override { ++calls; }
  void saveRunningEDonkey() override { ++calls; }
  void sendToEDonkeyConsole(const std::string&) override { ++calls; }
  void startEDonkey() override { ++calls; }
  void startFile(const std::string&) override { ++calls; }
};

}  // namespace test
