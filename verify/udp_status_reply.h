#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravelin::verify {

// The eD2k server-status exchange over UDP: the request is the protocol byte 0xE3, the
// opcode 0x96 and a 4-byte challenge; the answer is 0xE3, 0x97, the same challenge, then
// the user and file counts. Servers append further 32-bit fields after these (max users,
// soft and hard file limits, UDP flags, low-ID users, ...), which are read past. Every
// number is little-endian.
inline constexpr std::uint8_t kEd2kProtocol = 0xE3;
inline constexpr std::uint8_t kStatusRequest = 0x96;
inline constexpr std::uint8_t kStatusAnswer = 0x97;
// Protocol, opcode, challenge, users and files.
inline constexpr std::size_t kStatusAnswerMinSize = 14;

// The challenge of a request: 0x55AA in the high 16 bits, the random value in the low.
constexpr std::uint32_t statusChallenge(std::uint16_t random) {
  return 0x55AA0000u | random;
}

// The 6-byte request datagram for the challenge.
std::string buildStatusRequest(std::uint32_t challenge);

struct ServerStatus {
  std::uint32_t challenge = 0;
  std::uint32_t users = 0;
  std::uint32_t files = 0;
};

// One answer datagram; nothing when it is not a status answer or too short to hold the
// counts. Whatever follows the counts is ignored.
std::optional<ServerStatus> parseStatusReply(std::string_view datagram);

}  // namespace ravelin::verify
