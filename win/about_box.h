#pragma once
#include <windows.h>

#include "desk/about_facts.h"
#include "win/dialog.h"
#include "win/handles.h"

namespace ravelin::win {

// "About Ravelin v<version>": the product's name, version, licence and web address (a
// link that opens in the browser), and Close. Modal, centred on the main window.
class AboutBox : public Dialog {
 public:
  static constexpr int kFirstLineId = 200;  // caption, value: two ids a line
  static constexpr int kLinkId = 250;

  explicit AboutBox(desk::AboutFacts facts = desk::builtAboutFacts()) : facts_(std::move(facts)) {}
  void run(HWND owner) { runModal(owner); }

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;
  std::optional<INT_PTR> message(UINT message, WPARAM wParam, LPARAM lParam) override;

  desk::AboutFacts facts_;
  FontHandle titleFont_;
};

}  // namespace ravelin::win
