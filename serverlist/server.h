#pragma once
#include <array>
#include <string>

#include "runtime/translate.h"

namespace ravelin::serverlist {

// Field indexes of a server record: the column order of the list, the filter's property
// index, the column order of the text and HTML writers and of the template placeholders.
enum ServerField : int { fIP = 0, fPort, fName, fDesc, fPing, fUsers, fFiles, fPref, fHist };
inline constexpr int kServerFieldCount = 9;

// The text of an unknown value.
inline constexpr const char* kNA = "n/a";

// One eDonkey2000 server: nine texts, kept exactly as they were read or typed.
struct Server {
  std::string ip = kNA;
  std::string port = kNA;
  std::string name = kNA;
  std::string desc = kNA;
  std::string ping = kNA;
  std::string users = kNA;
  std::string files = kNA;
  std::string pref = "Normal";
  std::string hist = kNA;

  std::string& field(int index);
  const std::string& field(int index) const;

  bool operator==(const Server&) const = default;
};

inline constexpr std::array<const char*, kServerFieldCount> kColumnCaptions = {
    N_("IP"),    N_("Port"),  N_("Name"), N_("Description"), N_("Ping"),
    N_("Users"), N_("Files"), N_("Pref"), N_("Hist")};

}  // namespace ravelin::serverlist
