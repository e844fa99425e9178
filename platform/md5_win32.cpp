#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <stdexcept>

#include "platform/md5.h"

namespace ravelin::platform {

// Through CNG's create, hash and finish calls (BCryptHash, one call, needs Windows 10).
std::array<unsigned char, 16> md5(std::string_view bytes) {
  std::array<unsigned char, 16> digest{};
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0) != 0)
    throw std::runtime_error("MD5 is not available");
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
  ok = ok && BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                            static_cast<ULONG>(bytes.size()), 0) == 0;
  ok = ok && BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0) == 0;
  if (hash) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!ok) throw std::runtime_error("MD5 failed");
  return digest;
}

}  // namespace ravelin::platform
