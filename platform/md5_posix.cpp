#include "platform/md5.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace ravelin::platform {

std::array<unsigned char, 16> md5(std::string_view bytes) {
  std::array<unsigned char, 16> digest{};
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr) != 1 ||
      length != digest.size())
    throw std::runtime_error("MD5 failed");
  return digest;
}

}  // namespace ravelin::platform
