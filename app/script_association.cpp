#include "app/script_association.h"

#include <stdexcept>

#include "app/settings_store.h"
#include "runtime/translate.h"

namespace ravelin::app {

bool offerScriptAssociation(runtime::AppContext& ctx, const std::string& iniPath,
                            const ScriptAssociation& association) {
  if (association.isRegistered()) return false;
  if (loadSettings(iniPath).NoRegCheck) return false;
  const runtime::MsgResult answer = ctx.message(
      N_("Info"),
      N_("The file extension .rvs (Ravelin script) is not registered.\r\n"
         "Do you want to associate .rvs with Ravelin?"),
      runtime::MsgIcon::Information, runtime::MsgButtons::YesNo, runtime::MsgResult::No);
  if (answer != runtime::MsgResult::Yes) return true;
  try {
    association.registerScripts();
    ctx.log.writeLog("Script files (.rvs) associated with Ravelin");
  } catch (const std::exception& e) {
    ctx.log.writeLog(std::string("Script files could not be associated: ") + e.what());
    ctx.message(N_("Warning"),
                runtime::fillIn(_("Script files could not be associated: %s"), {e.what()}),
                runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  }
  return true;
}

}  // namespace ravelin::app
