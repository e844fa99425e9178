#include "runtime/settings.h"

#include <cstdlib>

namespace ravelin::runtime {

namespace {
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif
}  // namespace

std::string Settings::defaultEDPath() {
#ifdef _WIN32
  return "C:\\";
#else
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "") + "/.aMule/";
#endif
}

std::string Settings::defaultEDFilename() {
#ifdef _WIN32
  return "gdonkey.exe";
#else
  return "amule";
#endif
}

bool Settings::defaultMetAddressTags() {
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

std::string clientFile(const std::string& dir, const std::string& fileName) {
  if (dir.empty() || dir.back() == kSeparator) return dir + fileName;
  return dir + kSeparator + fileName;
}

}  // namespace ravelin::runtime
