#include "net/async_socket.h"

#include <algorithm>
#include <cstring>

#include "net/async_socket_events.h"
#include "net/net_errors.h"

namespace ravelin::net {

// ---------------------------------------------------------------------------------------
// SocketBuffer

SocketBuffer::SocketBuffer(int capacity)
    : buf_(static_cast<std::size_t>(capacity > 0 ? capacity : 1514)) {}

int SocketBuffer::write(const char* data, int len) {
  const int room = capacity() - wr_;
  const int n = std::max(0, std::min(room, len));
  if (n > 0) std::memcpy(buf_.data() + wr_, data, static_cast<std::size_t>(n));
  wr_ += n;
  return n;
}

const char* SocketBuffer::peek(int& len) const {
  len = wr_ - rd_;
  return buf_.data() + rd_;
}

void SocketBuffer::remove(int len) {
  rd_ += std::max(0, std::min(len, wr_ - rd_));
  if (rd_ == wr_) rd_ = wr_ = 0;
}

// ---------------------------------------------------------------------------------------
// Sending

int AsyncSocket::send(const void* data, int len) {
  if (state_ != SocketState::Connected) {
    socketError("Send", wsaeNotConn);
    return -1;
  }
  if (len <= 0) return 0;
  const char* p = static_cast<const char*>(data);
  int left = len;
  while (left > 0) {
    if (sendQueue_.empty() || sendQueue_.back().full()) sendQueue_.emplace_back(kSendBlockSize);
    const int n = sendQueue_.back().write(p, left);
    p += n;
    left -= n;
  }
  std::shared_ptr<bool> alive = alive_;
  const std::uint64_t conn = connection_;
  if (tryToSend() && *alive && conn == connection_ && !dataSentPending_) {
    // The queue ran empty at once: onDataSent follows from the loop, never from inside Send.
    dataSentPending_ = true;
    loop_.post([this, conn, tok = std::weak_ptr<bool>(alive_)] {
      auto a = tok.lock();
      if (!a || !*a || conn != connection_) return;
      dataSentPending_ = false;
      if (fd_ < 0 || bufferedByteCount() > 0 || socksPhase_ != SocksPhase::None) return;
      guarded([&] { fire(onDataSent, 0); });
    });
  }
  return len;
}

// Sends from the queue what the network takes now. True when the queue is empty
// afterwards (and the connection still open).
bool AsyncSocket::tryToSend() {
  while (fd_ >= 0 && !sendQueue_.empty()) {
    SocketBuffer& block = sendQueue_.front();
    int len = 0;
    const char* data = block.peek(len);
    if (len == 0) {
      if (sendQueue_.size() > 1) {
        sendQueue_.pop_front();
        continue;
      }
      break;
    }
    int code = 0;
    const long n = platform::sendBytes(fd_, data, static_cast<std::size_t>(len), code);
    if (n < 0) {
      if (code == wsaeIntr) continue;
      if (code == wsaeWouldBlock) {
        watch(platform::EventLoop::kRead | platform::EventLoop::kWrite);
        return false;
      }
      lastError_ = code;
      if (code == wsaeInval || code == wsaeNotSock || code == wsaeConnAborted ||
          code == wsaeConnReset || code == wsaeNotConn) {
        internalClose(false, code);
        return false;
      }
      socketError("TryToSend failed", code);
      return false;
    }
    block.remove(static_cast<int>(n));
    if (block.size() == 0 && sendQueue_.size() > 1) sendQueue_.pop_front();
  }
  if (fd_ < 0) return false;
  if (connectNotified_) watch(platform::EventLoop::kRead);
  return true;
}

}  // namespace ravelin::net
