#include "platform/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace ravelin::platform {

std::string executablePath() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

namespace {
std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
}  // namespace

std::string userConfigBase() {
  return environmentValue("XDG_CONFIG_HOME");
}

std::string userStateBase() {
  return environmentValue("XDG_STATE_HOME");
}

std::string sharedDataBase() {
  return {};
}

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  struct passwd pw {};
  struct passwd* found = nullptr;
  char buf[4096];
  if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return {};
}

}  // namespace ravelin::platform
