#include "client/launch.h"

#include "platform/file_io.h"
#include "platform/process.h"
#include "runtime/app_context.h"

namespace ravelin::client {

bool startEDonkey(runtime::AppContext& ctx) {
  const std::string path = runtime::clientFile(ctx.settings.EDPath, ctx.settings.EDFilename);
  if (!platform::fileExists(path)) return false;
  if (!platform::spawnDetached(path, {}, false)) return false;
  ctx.log.writeLog("EDonkey2000 started with <" + path + ">");
  return true;
}

bool startFile(const std::string& path, runtime::AppContext& ctx) {
  if (!platform::fileExists(path)) return false;
  if (!platform::spawnDetached("xdg-open", {path}, true)) return false;
  ctx.log.writeLog("<" + path + "> executed");
  return true;
}

}  // namespace ravelin::client
