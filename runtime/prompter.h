#pragma once
#include <string>

namespace ravelin::runtime {

enum class MsgIcon { None, Error, Exclamation, Question, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// The message boxes of the program. The GUI shows real boxes, ravelin-cli prints the
// text to stderr and takes the default answer, tests script the answers. Nothing calls a
// prompter but AppContext::message, which asks nothing while a script runs and hands over
// the texts already in the user's language: a prompter shows them as they are.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual MsgResult message(const std::string& title, const std::string& text, MsgIcon icon,
                            MsgButtons buttons) = 0;
};

}  // namespace ravelin::runtime
