#include "verify/udp_status_reply.h"

namespace ravelin::verify {

namespace {

std::uint32_t readLe32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace

std::string buildStatusRequest(std::uint32_t challenge) {
  std::string request{static_cast<char>(kEd2kProtocol), static_cast<char>(kStatusRequest)};
  for (int i = 0; i < 4; ++i) request += static_cast<char>((challenge >> (8 * i)) & 0xFF);
  return request;
}

std::optional<ServerStatus> parseStatusReply(std::string_view datagram) {
  if (datagram.size() < kStatusAnswerMinSize) return std::nullopt;
  if (static_cast<std::uint8_t>(datagram[0]) != kEd2kProtocol ||
      static_cast<std::uint8_t>(datagram[1]) != kStatusAnswer)
    return std::nullopt;
  return ServerStatus{readLe32(datagram, 2), readLe32(datagram, 6), readLe32(datagram, 10)};
}

}  // namespace ravelin::verify
