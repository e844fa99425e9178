#pragma once
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/dns_lookup.h"
#include "net/socket_errors.h"
#include "platform/event_loop.h"

namespace ravelin::net {

// A failure of a socket call that is not reported through an event.
class SocketError : public std::runtime_error {
 public:
  explicit SocketError(const std::string& message, int errorCode = 0)
      : std::runtime_error(message), errorCode_(errorCode) {}
  int errorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

enum class SocketState {
  Invalid,
  Opened,
  Bound,
  Connecting,
  Connected,
  Accepting,
  Listening,
  Closed
};

// The transport a connection asks for. The socket connects over TCP; any other is refused
// when connect() is called.
enum class SocketProto { Tcp, Udp };
// "tcp", "udp": as the error texts name a protocol.
const char* protoName(SocketProto proto);

// The SOCKS version spoken with the proxy. Only version 5 is implemented; the others are
// refused when connect() is called.
enum class SocksLevel { V4, V4A, V5 };
// "4", "4A", "5": as the error texts name a level.
const char* socksLevelName(SocksLevel level);

enum class SocksAuthentication { None, Usercode };

// What onSocksAuthState reports.
enum class SocksAuthState { Start, Success, Failure, NotRequired };

struct SocketOptions {
  // onDataAvailable fires once per readiness, not again while unread data lasts.
  bool noReceiveLoop = false;
  // Sends each piece at once (TCP_NODELAY).
  bool tcpNoDelay = false;
};

// One block of the send queue: a fixed-capacity byte array with a write count and a read
// count.
class SocketBuffer {
 public:
  // A capacity of 0 or less means 1514.
  explicit SocketBuffer(int capacity);
  // Appends as much of data as fits; returns the number of bytes taken.
  int write(const char* data, int len);
  // The unread bytes.
  const char* peek(int& len) const;
  // Marks len bytes as read.
  void remove(int len);
  int size() const { return wr_ - rd_; }
  bool full() const { return wr_ >= static_cast<int>(buf_.size()); }
  int capacity() const { return static_cast<int>(buf_.size()); }

 private:
  std::vector<char> buf_;
  int wr_ = 0;
  int rd_ = 0;
};

// The event-driven TCP client socket: connect (directly or through a SOCKS 5 proxy),
// send, receive, close and asynchronous name lookup. No call blocks except the resolution
// of a host name inside connect(). Outcomes arrive as events (the std::function members
// below) on the thread that created the socket, while that thread processes its
// platform::EventLoop (processPending / waitAndProcess).
//
// A socket may be destroyed from inside any of its own event handlers.
//
// A failure inside a call raises SocketError, or, when onError is assigned, calls
// onError instead and the failing call returns (lastErrorMessage() holds the text).
// An exception that escapes a handler while the socket dispatches its events is handed
// to onBgException; unless that clears canClose, the socket is aborted.
class AsyncSocket {
 public:
  static constexpr int kSendBlockSize = 1460;

  // The socket uses the creating thread's EventLoop (created when the thread has none).
  AsyncSocket();
  explicit AsyncSocket(platform::EventLoop& loop);
  ~AsyncSocket();
  AsyncSocket(const AsyncSocket&) = delete;
  AsyncSocket& operator=(const AsyncSocket&) = delete;

  // Properties. The setters of Addr, Port, Proto, LocalAddr, LocalPort, SocksLevel,
  // SocksServer and SocksPort fail unless the state is SocketState::Closed.
  const std::string& addr() const { return addr_; }
  void setAddr(const std::string& value);
  const std::string& port() const { return port_; }
  void setPort(const std::string& value);
  SocketProto proto() const { return proto_; }
  void setProto(SocketProto value);
  const std::string& localAddr() const { return localAddr_; }
  void setLocalAddr(const std::string& value);
  // 0: any port.
  std::uint16_t localPort() const { return localPort_; }
  void setLocalPort(std::uint16_t value);
  SocksLevel socksLevel() const { return socksLevel_; }
  void setSocksLevel(SocksLevel value);
  const std::string& socksServer() const { return socksServer_; }
  void setSocksServer(const std::string& value);
  // 0: not given, which a connect through the proxy refuses.
  std::uint16_t socksPort() const { return socksPort_; }
  void setSocksPort(std::uint16_t value);
  const std::string& socksUsercode() const { return socksUsercode_; }
  void setSocksUsercode(const std::string& value) { socksUsercode_ = value; }
  const std::string& socksPassword() const { return socksPassword_; }
  void setSocksPassword(const std::string& value) { socksPassword_ = value; }
  SocksAuthentication socksAuthentication() const { return socksAuthentication_; }
  void setSocksAuthentication(SocksAuthentication value) { socksAuthentication_ = value; }
  bool multiThreaded() const { return multiThreaded_; }
  void setMultiThreaded(bool value) { multiThreaded_ = value; }
  const SocketOptions& options() const { return options_; }
  void setOptions(const SocketOptions& value) { options_ = value; }
  // Linger applied to every new connection (default on, time-out 0).
  void setLinger(bool on, int timeoutSeconds) {
    lingerOn_ = on;
    lingerTimeout_ = timeoutSeconds;
  }

  const std::string& dnsResult() const { return dnsResult_; }
  const std::vector<std::string>& dnsResultList() const { return dnsResultList_; }
  SocketState state() const { return state_; }
  int lastError() const { return lastError_; }
  // The text of the last failure raised or handed to onError.
  const std::string& lastErrorMessage() const { return lastErrorMessage_; }
  // The address and port the SOCKS proxy reported as bound.
  const std::string& socksBoundAddr() const { return socksBoundAddr_; }
  const std::string& socksBoundPort() const { return socksBoundPort_; }
  // Bytes waiting in the send queue.
  int bufferedByteCount() const;
  platform::EventLoop& loop() const { return loop_; }

  // Starts a connection and returns at once.
  void connect();
  // Shuts the connection down and closes it; onSessionClosed fires once per connection.
  void close();
  // Closes at once without shut-down and empties the send queue (onSessionClosed fires).
  void abort();
  // Queues data and sends what the network takes now. Returns len, or -1 (error wsaeNotConn
  // in function "Send") when not connected.
  int send(const void* data, int len);
  int sendStr(const std::string& text) { return send(text.data(), static_cast<int>(text.size())); }
  // Reads what has arrived: the byte count, 0 when the peer has closed, or -1 with the
  // network error in lastError() (wsaeWouldBlock when nothing is waiting).
  int receive(void* buffer, int size);
  // Everything waiting now, as a string (empty when nothing is).
  std::string receiveStr();

  // Asynchronous name lookup; a numeric address is answered before the call returns.
  void startDnsLookup(const std::string& host);
  void stopDnsLookup();

  // Runs the pending events of the socket's thread once (the socket's own wait loops).
  void processMessages();

  // Events. They run on the socket's thread only.
  std::function<void(AsyncSocket& sender, std::uint16_t error)> onSessionConnected;
  std::function<void(AsyncSocket& sender, std::uint16_t error)> onSessionClosed;
  std::function<void(AsyncSocket& sender, std::uint16_t error)> onDataAvailable;
  std::function<void(AsyncSocket& sender, std::uint16_t error)> onDataSent;
  std::function<void(AsyncSocket& sender, std::uint16_t error)> onDnsLookupDone;
  std::function<void(AsyncSocket& sender)> onError;
  std::function<void(AsyncSocket& sender, std::uint16_t error)> onSocksConnected;
  std::function<void(AsyncSocket& sender, int error, const std::string& message)> onSocksError;
  std::function<void(AsyncSocket& sender, SocksAuthState state)> onSocksAuthState;
  std::function<void(AsyncSocket& sender, SocketState oldState, SocketState newState)>
      onChangeState;
  std::function<void(AsyncSocket& sender, const std::exception& e, bool& canClose)> onBgException;

 private:
  enum class SocksPhase { None, WaitMethod, WaitAuth, WaitConnect };

  void raiseException(const std::string& message, int code = 0);
  void socketError(const std::string& function, int code);
  void changeState(SocketState newState);
  void resetConnection();
  void internalClose(bool shutdown, int error);
  void watch(unsigned events);
  void onFdReady(unsigned revents);
  void onConnectDone(int error);
  void onReadable();
  void receiveLoop();
  bool tryToSend();
  void socksData();
  void socksFail(int code, const std::string& text);
  void socksSendConnectRequest();
  void dnsAnswer(int error, const std::vector<std::string>& addresses);
  void handleBgException(const std::exception& e);
  // Defined in async_socket_events.h.
  template <class F>
  void guarded(F&& f);
  template <class Event, class... Args>
  bool fire(const Event& event, Args&&... args);

  platform::EventLoop& loop_;
  // Shared with every callback the socket hands out; false once the socket is destroyed.
  std::shared_ptr<bool> alive_;
  bool destroying_ = false;

  std::string addr_, port_, localAddr_ = "0.0.0.0";
  SocketProto proto_ = SocketProto::Tcp;
  std::uint16_t localPort_ = 0;
  bool addrAssigned_ = false, portAssigned_ = false;
  SocksLevel socksLevel_ = SocksLevel::V5;
  std::uint16_t socksPort_ = 0;
  std::string socksServer_, socksUsercode_, socksPassword_;
  SocksAuthentication socksAuthentication_ = SocksAuthentication::None;
  bool multiThreaded_ = false;
  SocketOptions options_;
  bool lingerOn_ = true;
  int lingerTimeout_ = 0;

  int fd_ = -1;
  platform::EventLoop::WatchId watchId_ = 0;
  unsigned watched_ = 0;
  // Counts connections, so that late notifications of an earlier one are ignored.
  std::uint64_t connection_ = 0;
  bool closeFired_ = true;
  bool connectNotified_ = false;
  SocketState state_ = SocketState::Closed;
  int lastError_ = 0;
  std::string lastErrorMessage_;

  std::deque<SocketBuffer> sendQueue_;
  bool dataSentPending_ = false;
  long long readCount_ = 0;

  SocksPhase socksPhase_ = SocksPhase::None;
  bool socksUserPassOffered_ = false;
  std::uint16_t socksTargetPort_ = 0;
  std::string socksReplyBuffer_;
  std::string socksLeftover_;
  std::string socksBoundAddr_, socksBoundPort_;

  std::shared_ptr<net::DnsLookup> dnsLookup_;
  std::string dnsResult_;
  std::vector<std::string> dnsResultList_;
};

}  // namespace ravelin::net
