#pragma once
#include <string>

namespace ravelin::serverlist {

// Why a list file gave less than a whole list, in the log's words ("<a.met> holds no
// server list: the file is empty"); no text when it was read whole. A reader that loads
// nothing says so here, so that a caller that reports failures (a script) can.
struct ListReadProblem {
  std::string text;
  // The file is not there (a caller may pass over that in silence).
  bool missing = false;
  // Some servers were read before the file ended; the reader has logged it.
  bool partial = false;

  explicit operator bool() const { return !text.empty(); }
  // The file gave its list, whole or cut short: an import that a front end reports as such.
  bool gaveList() const { return text.empty() || partial; }
};

}  // namespace ravelin::serverlist
