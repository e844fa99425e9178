// The status answer parser on arbitrary datagrams: an accepted one is at least the fixed
// part long, starts with the answer's two bytes, and what follows the counts changes nothing.
#include <cstdlib>

#include "verify/udp_status_reply.h"

using namespace ravelin::verify;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto status = parseStatusReply(bytes);
  if (!status) return 0;
  const auto fixed = parseStatusReply(bytes.substr(0, kStatusAnswerMinSize));
  if (data[0] != kEd2kProtocol || data[1] != kStatusAnswer || !fixed ||
      fixed->challenge != status->challenge || fixed->users != status->users ||
      fixed->files != status->files || (status->challenge & 0xFF) != data[2])
    std::abort();
  return 0;
}
