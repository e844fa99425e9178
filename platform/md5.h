#pragma once
#include <array>
#include <string_view>

namespace ravelin::platform {

// The MD5 digest of the bytes. Throws std::runtime_error when the system cannot make it.
std::array<unsigned char, 16> md5(std::string_view bytes);

}  // namespace ravelin::platform
