#pragma once
#include <windows.h>

#include "script/script_language.h"
#include "win/dialog.h"

namespace ravelin::win {

// "Ravelin: Script Editor: Insert command": the command catalogue on the left, the chosen
// command's description on the right; OK or a double click takes the command.
class InsertCommandDialog : public Dialog {
 public:
  static constexpr int kCommandsId = 300;
  static constexpr int kDescriptionId = 301;

  // The chosen catalogue entry, or none when cancelled; modal over owner.
  const script::ScriptCommandInfo* choose(HWND owner);

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;
  void showDescription();

  int chosen_ = -1;
};

}  // namespace ravelin::win
