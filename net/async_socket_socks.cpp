#include "net/async_socket.h"
#include "net/async_socket_events.h"
#include "net/net_errors.h"
#include "net/socks_reply.h"

namespace ravelin::net {

// ---------------------------------------------------------------------------------------
// SOCKS 5

void AsyncSocket::socksData() {
  char buf[512];
  long n;
  int err = 0;
  do {
    n = platform::receiveBytes(fd_, buf, sizeof buf, err);
  } while (n < 0 && err == wsaeIntr);
  if (n < 0) {
    if (err == wsaeWouldBlock) return;
    return socksFail(err, "data receive error");
  }
  if (n == 0) {
    // The proxy hung up in the middle of the negotiation: the connect attempt has failed
    // and the caller must hear so now, not at its own time-out.
    return socksFail(wsaeConnAborted, "data receive error");
  }
  socksReplyBuffer_.append(buf, static_cast<std::size_t>(n));

  std::shared_ptr<bool> alive = alive_;
  const std::uint64_t conn = connection_;
  auto stillHere = [&] { return *alive && conn == connection_ && fd_ >= 0; };
  while (socksPhase_ != SocksPhase::None && !socksReplyBuffer_.empty()) {
    socks::Reply r;
    switch (socksPhase_) {
      case SocksPhase::WaitMethod:
        r = socks::parseMethodReply(socksReplyBuffer_);
        break;
      case SocksPhase::WaitAuth:
        r = socks::parseAuthReply(socksReplyBuffer_);
        break;
      case SocksPhase::WaitConnect:
        r = socks::parseConnectReply(socksReplyBuffer_);
        break;
      case SocksPhase::None:
        return;
    }
    if (r.status == socks::ParseStatus::NeedMore) return;
    if (r.status == socks::ParseStatus::Error) return socksFail(r.error, r.errorText);
    socksReplyBuffer_.erase(0, r.consumed);

    if (socksPhase_ == SocksPhase::WaitMethod) {
      if (r.method == 0) {
        if (socksUserPassOffered_ && !fire(onSocksAuthState, SocksAuthState::NotRequired)) return;
        if (!stillHere()) return;
        socksSendConnectRequest();
      } else {
        socksPhase_ = SocksPhase::WaitAuth;
        const std::string req = socks::buildAuthRequest(socksUsercode_, socksPassword_);
        send(req.data(), static_cast<int>(req.size()));
        if (!stillHere()) return;
        if (!fire(onSocksAuthState, SocksAuthState::Start)) return;
      }
    } else if (socksPhase_ == SocksPhase::WaitAuth) {
      if (!fire(onSocksAuthState, SocksAuthState::Success) || !stillHere()) return;
      socksSendConnectRequest();
    } else {
      socksBoundAddr_ = r.boundAddr;
      socksBoundPort_ = r.boundPort;
      socksLeftover_ = std::move(socksReplyBuffer_);
      socksReplyBuffer_.clear();
      socksPhase_ = SocksPhase::None;
      if (!fire(onSessionConnected, 0) || !stillHere()) return;
      // Bytes that came with the reply are the peer's first data.
      while (!socksLeftover_.empty()) {
        const long long before = readCount_;
        if (!fire(onDataAvailable, 0) || !stillHere()) return;
        if (readCount_ == before) socksLeftover_.clear();
      }
      return;
    }
    if (!stillHere()) return;
  }
}

void AsyncSocket::socksSendConnectRequest() {
  socksPhase_ = SocksPhase::WaitConnect;
  const std::string req = socks::buildConnectRequest(addr_, socksTargetPort_);
  send(req.data(), static_cast<int>(req.size()));
}

void AsyncSocket::socksFail(int code, const std::string& text) {
  std::shared_ptr<bool> alive = alive_;
  const std::uint64_t conn = connection_;
  lastError_ = code;
  if (!fire(onSocksError, code, text)) return;
  if (conn != connection_) return;
  socksPhase_ = SocksPhase::None;
  if (!fire(onSessionConnected, static_cast<std::uint16_t>(code))) return;
  if (conn != connection_) return;
  internalClose(true, code);
}

}  // namespace ravelin::net
