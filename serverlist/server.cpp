#include "serverlist/server.h"

namespace ravelin::serverlist {

namespace {
constexpr std::array<std::string Server::*, kServerFieldCount> kFields = {
    &Server::ip,    &Server::port,  &Server::name, &Server::desc, &Server::ping,
    &Server::users, &Server::files, &Server::pref, &Server::hist};
}

std::string& Server::field(int index) {
  return this->*kFields.at(static_cast<size_t>(index));
}

const std::string& Server::field(int index) const {
  return this->*kFields.at(static_cast<size_t>(index));
}

}  // namespace ravelin::serverlist
