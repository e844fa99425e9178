#pragma once
// A server as published lists hold them, its fields drawn from rng: the rows of the list
// view's measurements.
#include <random>
#include <string>

#include "serverlist/server.h"

namespace bench {

inline ravelin::serverlist::Server randomServer(std::mt19937& rng) {
  auto num = [&](unsigned lo, unsigned hi) { return std::to_string(lo + rng() % (hi - lo + 1)); };
  ravelin::serverlist::Server s;
  s.ip = num(1, 255) + "." + num(0, 255) + "." + num(0, 255) + "." + num(0, 255);
  s.port = rng() % 3 ? "4661" : num(1, 40000);
  s.name = "Server " + num(1, 99999);
  s.desc = rng() % 4 ? "eDonkey server " + num(1, 99) : "n/a";
  s.ping = num(5, 900);
  s.users = rng() % 10 ? num(0, 300000) : "n/a";
  s.files = num(0, 50000000);
  s.hist = num(0, 9);
  return s;
}

}  // namespace bench
