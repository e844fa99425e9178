#include "app/transfer_time_file.h"

#include "app/ini_file.h"
#include "app/startup.h"

#include <utility>

namespace ravelin::app {

namespace {
constexpr const char* kSection = "transfer";
constexpr const char* kKey = "last";
}  // namespace

TransferTimeFile::TransferTimeFile(std::string path) : path_(std::move(path)) {}

std::optional<std::string> TransferTimeFile::read() {
  const IniFile ini(path_);
  if (!ini.valueExists(kSection, kKey)) return std::nullopt;
  return ini.readString(kSection, kKey, "");
}

void TransferTimeFile::write(const std::string& value) {
  ensureIniDirectory(path_);
  IniFile ini(path_);
  ini.writeString(kSection, kKey, value);
  ini.updateFile();
}

}  // namespace ravelin::app
