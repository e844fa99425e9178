#pragma once
// UTF-8, which every name and text of this program is in, and the UTF-16 of the Windows
// API's wide-character calls. Used by the Windows side of the platform layer only.
#include <string>
#include <string_view>

namespace ravelin::platform {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

}  // namespace ravelin::platform
