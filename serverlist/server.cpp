#include "serverlist/server.h"

namespace {
constexpr std::array<std::string TServer::*, kServerFieldCount> kFields = {
    &TServer::IP,    &TServer::Port,  &TServer::Name, &TServer::Desc, &TServer::Ping,
    &TServer::Users, &TServer::Files, &TServer::Pref, &TServer::Hist};
}

std::string& TServer::field(int index) { return this->*kFields.at(static_cast<size_t>(index)); }

const std::string& TServer::field(int index) const {
  return this->*kFields.at(static_cast<size_t>(index));
}
