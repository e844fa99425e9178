#include "net/tls_session.h"

namespace ravelin::net {

namespace http {

// This build has no TLS library: every session is in the Error state from the start, so an
// https address fails at its handshake with this text.
struct TlsSession::Impl {};

namespace {
constexpr const char* kUnavailable = "TLS is not available in this build yet";
}  // namespace

TlsSession::TlsSession(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
  status_ = Status::Error;
  error_ = kUnavailable;
}
TlsSession::~TlsSession() = default;

std::unique_ptr<TlsSession> TlsSession::client(const std::string&, const ClientOptions&) {
  return std::unique_ptr<TlsSession>(new TlsSession(std::make_unique<Impl>()));
}

std::unique_ptr<TlsSession> TlsSession::server(const std::string&, const std::string&) {
  return std::unique_ptr<TlsSession>(new TlsSession(std::make_unique<Impl>()));
}

void TlsSession::receive(std::string_view) {}

TlsSession::Status TlsSession::pump(std::string&) {
  return status_;
}

TlsSession::Status TlsSession::write(std::string_view) {
  return status_;
}

std::string TlsSession::takeOutgoing() {
  return {};
}

bool TlsSession::hasOutgoing() const {
  return false;
}

}  // namespace http

}  // namespace ravelin::net
