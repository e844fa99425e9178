#pragma once
#include <windows.h>

#include <functional>
#include <optional>

#include "win/dialog.h"

namespace ravelin::win {

// A dialog inside another one (a tab's page): its controls join the parent's tab order
// and keys, and what they report goes to the owner of the page.
class DialogPage : public Dialog {
 public:
  using CommandHandler = std::function<void(int id, int code)>;
  using MessageHandler = std::function<std::optional<INT_PTR>(UINT, WPARAM, LPARAM)>;

  // form must have the style WS_CHILD.
  DialogPage(DialogTemplate form, CommandHandler onCommand, MessageHandler onMessage)
      : form_(std::move(form)),
        onCommand_(std::move(onCommand)),
        onMessage_(std::move(onMessage)) {}

  // Creates the page, hidden, inside parent.
  void create(HWND parent) { createModeless(parent); }

 private:
  DialogTemplate layout() const override { return form_; }
  void command(int id, int code) override { onCommand_(id, code); }
  std::optional<INT_PTR> message(UINT message, WPARAM wParam, LPARAM lParam) override {
    return onMessage_(message, wParam, lParam);
  }

  DialogTemplate form_;
  CommandHandler onCommand_;
  MessageHandler onMessage_;
};

}  // namespace ravelin::win
