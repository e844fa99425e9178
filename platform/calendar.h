#pragma once
// Calendar time: seconds since 1970-01-01 00:00 UTC broken down into date and time of day.
#include <cstdint>
#include <ctime>
#include <string>

namespace ravelin::platform {

// In the user's time zone.
std::tm localCalendarTime(std::int64_t unixSeconds);
std::tm utcCalendarTime(std::int64_t unixSeconds);

// The time written with a strftime format under the conventions of the named locale ("":
// the user's; an unknown name: the "C" locale's), whatever locale the process runs in.
std::string formatInLocale(const std::tm& t, const char* format, const char* localeName);

}  // namespace ravelin::platform
