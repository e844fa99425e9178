#pragma once
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dns_lookup.h"
#include "platform/event_loop.h"
#include "verify/socket_errors.h"

// A failure of a socket call that is not reported through an event.
class ESocketException : public std::runtime_error {
 public:
  explicit ESocketException(const std::string& message, int errorCode = 0)
      : std::runtime_error(message), errorCode_(errorCode) {}
  int errorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

enum TSocketState {
  wsInvalidState,
  wsOpened,
  wsBound,
  wsConnecting,
  wsConnected,
  wsAccepting,
  wsListening,
  wsClosed
};

enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };

// Values of OnSocksAuthState.
enum TSocksAuthState { socksAuthStart, socksAuthSuccess, socksAuthFailure, socksAuthNotRequired };

// Options of the socket.
enum : unsigned { wsoNoReceiveLoop = 1u, wsoTcpNoDelay = 2u };

// One block of the send queue: a fixed-capacity byte array with a write count and a read
// count.
class TBuffer {
 public:
  // A capacity of 0 or less means 1514.
  explicit TBuffer(int capacity);
  // Appends as much of data as fits; returns the number of bytes taken.
  int Write(const char* data, int len);
  // The unread bytes.
  const char* Peek(int& len) const;
  // Marks len bytes as read.
  void Remove(int len);
  int Size() const { return wr_ - rd_; }
  bool Full() const { return wr_ >= static_cast<int>(buf_.size()); }
  int Capacity() const { return static_cast<int>(buf_.size()); }

 private:
  std::vector<char> buf_;
  int wr_ = 0;
  int rd_ = 0;
};

// The event-driven TCP client socket: connect (directly or through a SOCKS 5 proxy),
// send, receive, close and asynchronous name lookup. No call blocks except the resolution
// of a host name inside Connect(). Outcomes arrive as events (the std::function members
// below) on the thread that created the socket, while that thread processes its
// platform::EventLoop (processPending / waitAndProcess).
//
// A socket may be destroyed from inside any of its own event handlers.
//
// A failure inside a call raises ESocketException, or, when OnError is assigned, calls
// OnError instead and the failing call returns (LastErrorMessage() holds the text).
// An exception that escapes a handler while the socket dispatches its events is handed
// to OnBgException; unless that clears canClose, the socket is aborted.
class TWSocket {
 public:
  static constexpr int kSendBlockSize = 1460;

  // The socket uses the creating thread's EventLoop (created when the thread has none).
  TWSocket();
  explicit TWSocket(platform::EventLoop& loop);
  ~TWSocket();
  TWSocket(const TWSocket&) = delete;
  TWSocket& operator=(const TWSocket&) = delete;

  // Properties. The setters of Addr, Port, Proto, LocalAddr, LocalPort, SocksLevel,
  // SocksServer and SocksPort fail unless the state is wsClosed.
  const std::string& Addr() const { return addr_; }
  void SetAddr(const std::string& value);
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& value);
  const std::string& Proto() const { return proto_; }
  void SetProto(const std::string& value);
  const std::string& LocalAddr() const { return localAddr_; }
  void SetLocalAddr(const std::string& value);
  const std::string& LocalPort() const { return localPort_; }
  void SetLocalPort(const std::string& value);
  const std::string& SocksLevel() const { return socksLevel_; }
  void SetSocksLevel(const std::string& value);
  const std::string& SocksServer() const { return socksServer_; }
  void SetSocksServer(const std::string& value);
  const std::string& SocksPort() const { return socksPort_; }
  void SetSocksPort(const std::string& value);
  const std::string& SocksUsercode() const { return socksUsercode_; }
  void SetSocksUsercode(const std::string& value) { socksUsercode_ = value; }
  const std::string& SocksPassword() const { return socksPassword_; }
  void SetSocksPassword(const std::string& value) { socksPassword_ = value; }
  TSocksAuthentication SocksAuthentication() const { return socksAuthentication_; }
  void SetSocksAuthentication(TSocksAuthentication value) { socksAuthentication_ = value; }
  bool MultiThreaded() const { return multiThreaded_; }
  void SetMultiThreaded(bool value) { multiThreaded_ = value; }
  unsigned ComponentOptions() const { return options_; }
  void SetComponentOptions(unsigned value) { options_ = value; }
  // Linger applied to every new connection (default on, time-out 0).
  void SetLinger(bool on, int timeoutSeconds) {
    lingerOn_ = on;
    lingerTimeout_ = timeoutSeconds;
  }

  const std::string& DnsResult() const { return dnsResult_; }
  const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
  TSocketState State() const { return state_; }
  int LastError() const { return lastError_; }
  // The text of the last failure raised or handed to OnError.
  const std::string& LastErrorMessage() const { return lastErrorMessage_; }
  // The address and port the SOCKS proxy reported as bound.
  const std::string& SocksBoundAddr() const { return socksBoundAddr_; }
  const std::string& SocksBoundPort() const { return socksBoundPort_; }
  // Bytes waiting in the send queue.
  int BufferedByteCount() const;
  platform::EventLoop& Loop() const { return loop_; }

  // Starts a connection and returns at once.
  void Connect();
  // Shuts the connection down and closes it; OnSessionClosed fires once per connection.
  void Close();
  // Closes at once without shut-down and empties the send queue (OnSessionClosed fires).
  void Abort();
  // Queues data and sends what the network takes now. Returns len, or -1 (error 10057 in
  // function "Send") when not connected.
  int Send(const void* data, int len);
  int SendStr(const std::string& text) { return Send(text.data(), static_cast<int>(text.size())); }
  // Reads what has arrived: the byte count, 0 when the peer has closed, or -1 with the
  // network error in LastError() (10035 when nothing is waiting).
  int Receive(void* buffer, int size);
  // Everything waiting now, as a string (empty when nothing is).
  std::string ReceiveStr();

  // Asynchronous name lookup; a numeric address is answered before the call returns.
  void StartDnsLookup(const std::string& host);
  void StopDnsLookup();

  // Runs the pending events of the socket's thread once (the socket's own wait loops).
  void ProcessMessages();

  // Events. They run on the socket's thread only.
  std::function<void(TWSocket& sender, std::uint16_t error)> OnSessionConnected;
  std::function<void(TWSocket& sender, std::uint16_t error)> OnSessionClosed;
  std::function<void(TWSocket& sender, std::uint16_t error)> OnDataAvailable;
  std::function<void(TWSocket& sender, std::uint16_t error)> OnDataSent;
  std::function<void(TWSocket& sender, std::uint16_t error)> OnDnsLookupDone;
  std::function<void(TWSocket& sender)> OnError;
  std::function<void(TWSocket& sender, std::uint16_t error)> OnSocksConnected;
  std::function<void(TWSocket& sender, int error, const std::string& message)> OnSocksError;
  std::function<void(TWSocket& sender, TSocksAuthState state)> OnSocksAuthState;
  std::function<void(TWSocket& sender, TSocketState oldState, TSocketState newState)> OnChangeState;
  std::function<void(TWSocket& sender, const std::exception& e, bool& canClose)> OnBgException;

 private:
  enum class SocksPhase { None, WaitMethod, WaitAuth, WaitConnect };

  void raiseException(const std::string& message, int code = 0);
  void socketError(const std::string& function, int code);
  void changeState(TSocketState newState);
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
  template <class F>
  void guarded(F&& f);

  platform::EventLoop& loop_;
  // Shared with every callback the socket hands out; false once the socket is destroyed.
  std::shared_ptr<bool> alive_;
  bool destroying_ = false;

  std::string addr_, port_, proto_ = "tcp", localAddr_ = "0.0.0.0", localPort_ = "0";
  bool addrAssigned_ = false, portAssigned_ = false, protoAssigned_ = true;
  std::string socksLevel_ = "5", socksServer_, socksPort_, socksUsercode_, socksPassword_;
  TSocksAuthentication socksAuthentication_ = socksNoAuthentication;
  bool multiThreaded_ = false;
  unsigned options_ = 0;
  bool lingerOn_ = true;
  int lingerTimeout_ = 0;

  int fd_ = -1;
  platform::EventLoop::WatchId watchId_ = 0;
  unsigned watched_ = 0;
  // Counts connections, so that late notifications of an earlier one are ignored.
  std::uint64_t connection_ = 0;
  bool closeFired_ = true;
  bool connectNotified_ = false;
  TSocketState state_ = wsClosed;
  int lastError_ = 0;
  std::string lastErrorMessage_;

  std::deque<TBuffer> sendQueue_;
  bool dataSentPending_ = false;
  long long readCount_ = 0;

  SocksPhase socksPhase_ = SocksPhase::None;
  bool socksUserPassOffered_ = false;
  std::uint16_t socksTargetPort_ = 0;
  std::string socksReplyBuffer_;
  std::string socksLeftover_;
  std::string socksBoundAddr_, socksBoundPort_;

  std::shared_ptr<platform::DnsLookup> dnsLookup_;
  std::string dnsResult_;
  std::vector<std::string> dnsResultList_;
};
