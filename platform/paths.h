#pragma once
// std::filesystem paths and the UTF-8 that every name is in here. A path made from a plain
// std::string, and its string(), use the system's narrow encoding, which on Windows is not
// UTF-8 (a name outside Latin-1 came back as different bytes); these go through char8_t,
// which is UTF-8 everywhere and a plain copy of the bytes on POSIX.
#include <filesystem>
#include <string>
#include <string_view>

namespace ravelin::platform {

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace ravelin::platform
