#include "serverlist/server.h"

namespace {
constexpr std::array<std::string Server::*, kServerFieldCount> kFields = {
    &Server::IP,    &Server::Port,  &Server::Name, &Server::Desc, &Server::Ping,
    &Server::Users, &Server::Files, &Server::Pref, &Server::Hist};
}

std::string& Server::field(int index) { return this->*kFields.at(static_cast<size_t>(index)); }

const std::string& Server::field(int index) const {
  return this->*kFields.at(static_cast<size_t>(index));
}
