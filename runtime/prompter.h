#pragma once
#include <string>

namespace ravelin::runtime {

enum class MsgIcon { None, Error, Exclamation, Question, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// The message boxes of the program. The GUI shows real boxes, ravelin-cli prints the
// text to stderr and takes the default answer, tests script the answers. Callers check
// scriptRunning themselves: while a script runs nothing is asked at all.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual MsgResult message(const std::string& title, const std::string& text, MsgIcon icon,
                            MsgButtons buttons) = 0;
};

}  // namespace ravelin::runtime
