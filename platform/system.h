#pragma once
// The conventions of the system this build runs on, for the layers above that follow them
// without knowing the system: how paths and text lines are written, and which system it is.

#include <string_view>

namespace ravelin::platform {

#ifdef _WIN32
inline constexpr bool kWindows = true;
inline constexpr char kPathSeparator = '\\';
inline constexpr const char* kLineEnd = "\r\n";
#else
inline constexpr bool kWindows = false;
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kLineEnd = "\n";
#endif

// The characters that separate the parts of a path (Windows takes '/' as well as '\').
inline constexpr std::string_view kPathSeparators = kWindows ? "\\/" : "/";
constexpr bool isPathSeparator(char c) {
  return kPathSeparators.find(c) != std::string_view::npos;
}

}  // namespace ravelin::platform
