#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "support/peer_process.h"
#include "support/test_support.h"

namespace test {

// danted (dante-server) as a SOCKS 5 proxy on 127.0.0.1 and a free port; it relays only
// to 127.0.0.0/8. With username set it requires user/password authentication against the
// system's users (needs root: a throwaway user is created and removed again).
class DanteProxy {
 public:
  struct Options {
    bool usernameAuth = false;
  };
  explicit DanteProxy(Options options);
  DanteProxy() : DanteProxy(Options{}) {}
  ~DanteProxy();
  DanteProxy(const DanteProxy&) = delete;
  DanteProxy& operator=(const DanteProxy&) = delete;
  // Empty when the proxy runs; otherwise why it could not be started.
  const std::string& failure() const { return failure_; }
  std::uint16_t port() const { return port_; }
  const std::string& user() const { return user_; }
  const std::string& password() const { return password_; }
  std::string log() const;

  static bool available();
  static bool canCreateUsers();

 private:
  TempDir dir_;
  std::string failure_;
  std::uint16_t port_ = 0;
  std::unique_ptr<PeerProcess> process_;
  std::string user_, password_;
  bool userCreated_ = false;
};

}  // namespace test
