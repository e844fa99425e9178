#include "client/launch.h"

#include <algorithm>

#include "platform/file_io.h"
#include "platform/process.h"
#include "platform/system.h"
#include "runtime/app_context.h"

namespace ravelin::client {

namespace {

constexpr const char* kAmuleNames[] = {"amule", "amuled"};

std::string resolveProgram(const std::string& edPath, const std::string& name) {
  if (name.find_first_of(platform::kPathSeparators) != std::string::npos) return name;
  if (name.empty()) return {};
  const std::string beside = runtime::clientFile(edPath, name);
  if (platform::fileExists(beside)) return beside;
  if constexpr (platform::kWindows) {
    const auto running = platform::runningExecutablesNamed(name);
    if (!running.empty()) return running.front();
  }
  return platform::findOnPath(name);
}

}  // namespace

std::string clientExecutable(const runtime::Settings& settings) {
  return resolveProgram(settings.EDPath, settings.EDFilename);
}

std::vector<std::string> localClientPrograms(const runtime::Settings& settings) {
  std::vector<std::string> programs;
  const auto add = [&](const std::string& program) {
    if (!program.empty() && std::find(programs.begin(), programs.end(), program) == programs.end())
      programs.push_back(program);
  };
  add(clientExecutable(settings));
  const std::string& configured = settings.EDFilename;
  const auto slash = configured.find_last_of(platform::kPathSeparators);
  if constexpr (platform::kWindows) {
    if (slash == std::string::npos)
      for (const std::string& running : platform::runningExecutablesNamed(configured)) add(running);
    return programs;
  }
  for (const char* name : kAmuleNames) {
    if (slash != std::string::npos)
      add(configured.substr(0, slash + 1) + name);
    else
      add(resolveProgram(settings.EDPath, name));
  }
  return programs;
}

bool isLocalClientRunning(const runtime::Settings& settings) {
  for (const std::string& program : localClientPrograms(settings))
    if (platform::isProcessRunning(program)) return true;
  return false;
}

bool startEDonkey(runtime::AppContext& ctx) {
  const std::string path = clientExecutable(ctx.settings);
  if (path.empty() || !platform::fileExists(path)) return false;
  if (!platform::spawnDetached(path, {}, false)) return false;
  ctx.log.writeLog("EDonkey2000 started with <" + path + ">");
  return true;
}

bool startFile(const std::string& path, runtime::AppContext& ctx) {
  if (!platform::fileExists(path)) return false;
  if (!platform::openWithDefaultApplication(path)) return false;
  ctx.log.writeLog("<" + path + "> executed");
  return true;
}

}  // namespace ravelin::client
