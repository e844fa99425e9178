#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/event_loop.h"

namespace ravelin::net {

// An IPv4 address (host byte order) and a port.
struct UdpEndpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
  bool operator==(const UdpEndpoint&) const = default;
};

// The endpoint of a numeric address text (the classic forms the platform's parser reads,
// as the TCP socket does), or nothing when the text is not one.
std::optional<UdpEndpoint> udpEndpoint(const std::string& address, std::uint16_t port);

// A non-blocking IPv4 datagram socket on an ephemeral local port, watched by the loop it
// is given: many exchanges with many peers share it. Datagrams arrive through onDatagram
// on the loop's thread, while that thread processes its loop. The socket may be destroyed
// from inside onDatagram.
class UdpSocket {
 public:
  using DatagramHandler = std::function<void(std::string_view datagram, UdpEndpoint from)>;

  explicit UdpSocket(platform::EventLoop& loop);
  ~UdpSocket();
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;

  // Creates and binds the socket; throws SocketError ("Error <code> in function ...").
  // Loop thread only.
  void open();
  bool isOpen() const { return fd_ >= 0; }
  void close();
  // Sends one datagram; returns 0 or the network error number (wsaeNetUnreach, ...).
  int sendTo(UdpEndpoint to, std::string_view datagram);

  DatagramHandler onDatagram;

 private:
  void readAll();
  platform::EventLoop& loop_;
  int fd_ = -1;
  platform::EventLoop::WatchId watchId_ = 0;
  std::shared_ptr<bool> alive_;
};

}  // namespace ravelin::net
