#pragma once
// The record of the last hand-over to the running client, which allows one hand-over in
// four hours.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravelin::client {

// The shortest time between two hand-overs.
inline constexpr std::int64_t kTransferIntervalMs = 4LL * 60 * 60 * 1000;

// A reversible scrambling, byte by byte: each byte is combined by exclusive-or with a key
// byte from 128 to 255 drawn from a generator seeded with the text's length. Applying it
// twice gives the text back.
std::string scrambleText(std::string_view text);

// Where the record lives between runs; the desktop program and ravelin-cli keep it in a
// small file beside ravelin.ini.
class TransferTimeStore {
 public:
  virtual ~TransferTimeStore() = default;
  // The stored value; nullopt when nothing was ever recorded.
  virtual std::optional<std::string> read() = 0;
  // Throws platform::FileError when the value cannot be stored.
  virtual void write(const std::string& value) = 0;
};

// The stored value for a calendar time (milliseconds since 1970 UTC): the time as days
// since 1899-12-30 00:00 UTC, the fraction being the time of day, written with a decimal
// point whatever the locale, then scrambled.
std::string transferTimeValue(std::int64_t wallMs);
// The calendar time of a stored value; nullopt when it is no such value. A decimal comma
// is accepted too.
std::optional<std::int64_t> parseTransferTimeValue(const std::string& value);

}  // namespace ravelin::client
