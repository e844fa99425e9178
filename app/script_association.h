#pragma once
// Script files (.rvs) open with the program: the first activation asks once per start
// whether to make it so, unless it is so already or NoRegCheck says not to ask.
#include <string>

#include "runtime/app_context.h"

namespace ravelin::app {

// Where the system keeps which program opens script files: the desktop's MIME database on
// Linux (file_association.h), the user's registry on Windows (registry_association.h).
class ScriptAssociation {
 public:
  virtual ~ScriptAssociation() = default;
  // Whether script files open with the running program (one that was moved does not).
  virtual bool isRegistered() const = 0;
  // Makes them open with the running program; throws std::runtime_error (or
  // platform::FileError) with the reason when a step fails.
  virtual void registerScripts() const = 0;
};

// The check of the first activation: unless the type is registered or NoRegCheck (read
// from the ini file now) is set, asks the user, and registers on Yes. A failure to
// register is shown as a warning and logged. Returns whether the user was asked.
bool offerScriptAssociation(runtime::AppContext& ctx, const std::string& iniPath,
                            const ScriptAssociation& association);

}  // namespace ravelin::app
