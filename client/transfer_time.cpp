#include "client/transfer_time.h"

#include <charconv>
#include <cmath>

namespace ravelin::client {

namespace {

// Days from 1899-12-30 to 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kMsPerDay = 86400000.0;

}  // namespace

std::string scrambleText(std::string_view text) {
  // A linear congruential generator; its upper bits give the key bytes.
  std::uint32_t state = static_cast<std::uint32_t>(text.size());
  std::string out(text);
  for (char& c : out) {
    state = state * 1664525u + 1013904223u;
    const auto key = static_cast<unsigned char>(0x80u | (state >> 25));
    c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
  }
  return out;
}

std::string transferTimeValue(std::int64_t wallMs) {
  const double days = kUnixEpochDays + static_cast<double>(wallMs) / kMsPerDay;
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, days, std::chars_format::fixed, 9);
  return scrambleText(std::string_view(buf, static_cast<size_t>(result.ptr - buf)));
}

std::optional<std::int64_t> parseTransferTimeValue(const std::string& value) {
  std::string text = scrambleText(value);
  for (char& c : text)
    if (c == ',') c = '.';
  double days = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), days);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(days))
    return std::nullopt;
  const double ms = (days - kUnixEpochDays) * kMsPerDay;
  // Far outside any calendar this program meets: no record of it.
  if (std::fabs(ms) > 1e15) return std::nullopt;
  return std::llround(ms);
}

}  // namespace ravelin::client
