#pragma once
// Script files opened by the program through the user's registry: HKEY_CURRENT_USER's
// Software\Classes, which Windows merges into HKEY_CLASSES_ROOT, so that no administrator
// right is needed.
#include <string>

#include "app/script_association.h"

namespace ravelin::app {

inline constexpr const char* kScriptExtensionKey = ".rvs";
inline constexpr const char* kScriptTypeKey = "rvsfile";

class RegistryScriptAssociation : public ScriptAssociation {
 public:
  // executable: the program that script files start (the running one); classesKey: where
  // below HKEY_CURRENT_USER the classes are kept.
  explicit RegistryScriptAssociation(std::string executable,
                                     std::string classesKey = "Software\\Classes")
      : executable_(std::move(executable)), classesKey_(std::move(classesKey)) {}

  // .rvs is of the type rvsfile, whose open, edit and run commands start this executable.
  bool isRegistered() const override;
  // Writes .rvs, rvsfile with its icon (the program's first) and its verbs, and tells the
  // shell.
  void registerScripts() const override;

  // A verb's command: the program quoted, so that a folder with a blank in its name cannot
  // be taken for a shorter program, the verb's option, then the file. Open (a double click)
  // has no option: the program does what ScrExecOrEdit says.
  std::string verbCommand(const std::string& option) const;
  std::string openCommand() const { return verbCommand(""); }

 private:
  std::string executable_;
  std::string classesKey_;
};

}  // namespace ravelin::app
